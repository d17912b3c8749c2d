// The VESA Display Monitor Timings (DMT 1.0 rev 13) by DMT ID, with their full timings and the
// standard timing (2-byte) and CVT (3-byte) codes that name them, where they have one; and
// established timings III (E-EDID 1.4 table 3.26), 44 bits naming DMT IDs.
#pragma once

#include <array>
#include <cstdint>

#include "model/video_timing.h"

namespace tolvex {

struct DmtEntry {
  uint8_t id;
  uint16_t standardCode;  // bytes 1-2 of a standard timing naming it, 0 when none does
  uint32_t cvtCode;       // the three bytes of a CVT code naming it, 0 when none does
  bool reducedBlanking;
  VideoTiming timing;
};

// In the order of the DMT standard (by resolution, then rate), not by ID. Timing columns as in
// the VIC table.
inline constexpr std::array<DmtEntry, 88> kDmtTable = {{
    {0x01, 0     , 0       , false, {  640,  350,   31500,   32,  64,   96, 32,  3,  60, false, true , false,  64,  35}},  // 640x350p 85.079948 Hz
    {0x02, 0x3119, 0       , false, {  640,  400,   31500,   32,  64,   96,  1,  3,  41, false, false, true ,  16,  10}},  // 640x400p 85.079948 Hz
    {0x03, 0     , 0       , false, {  720,  400,   35500,   36,  72,  108,  1,  3,  42, false, false, true ,   9,   5}},  // 720x400p 85.038902 Hz
    {0x04, 0x3140, 0       , false, {  640,  480,   25175,    8,  96,   40,  2,  2,  25, false, false, false,   4,   3, false, 8, 8}},  // 640x480p 59.940476 Hz
    {0x05, 0x314c, 0       , false, {  640,  480,   31500,   16,  40,  120,  1,  3,  20, false, false, false,   4,   3, false, 8, 8}},  // 640x480p 72.808802 Hz
    {0x06, 0x314f, 0       , false, {  640,  480,   31500,   16,  64,  120,  1,  3,  16, false, false, false,   4,   3}},  // 640x480p 75.000000 Hz
    {0x07, 0x3159, 0       , false, {  640,  480,   36000,   56,  56,   80,  1,  3,  25, false, false, false,   4,   3}},  // 640x480p 85.008312 Hz
    {0x08, 0     , 0       , false, {  800,  600,   36000,   24,  72,  128,  1,  2,  22, false, true , true ,   4,   3}},  // 800x600p 56.250000 Hz
    {0x09, 0x4540, 0       , false, {  800,  600,   40000,   40, 128,   88,  1,  4,  23, false, true , true ,   4,   3}},  // 800x600p 60.316541 Hz
    {0x0a, 0x454c, 0       , false, {  800,  600,   50000,   56, 120,   64, 37,  6,  23, false, true , true ,   4,   3}},  // 800x600p 72.187572 Hz
    {0x0b, 0x454f, 0       , false, {  800,  600,   49500,   16,  80,  160,  1,  3,  21, false, true , true ,   4,   3}},  // 800x600p 75.000000 Hz
    {0x0c, 0x4559, 0       , false, {  800,  600,   56250,   32,  64,  152,  1,  3,  27, false, true , true ,   4,   3}},  // 800x600p 85.061274 Hz
    {0x0d, 0     , 0       , true , {  800,  600,   73250,   48,  32,   80,  3,  4,  29, false, true , false,   4,   3}},  // 800x600p 119.971829 Hz
    {0x0e, 0     , 0       , false, {  848,  480,   33750,   16, 112,  112,  6,  8,  23, false, true , true ,  16,   9}},  // 848x480p 60.000427 Hz
    {0x0f, 0     , 0       , false, { 1024,  768,   44900,    8, 176,   56,  0,  4,  20, true , true , true ,   4,   3}},  // 1024x768i 86.957532 Hz
    {0x10, 0x6140, 0       , false, { 1024,  768,   65000,   24, 136,  160,  3,  6,  29, false, false, false,   4,   3}},  // 1024x768p 60.003840 Hz
    {0x11, 0x614c, 0       , false, { 1024,  768,   75000,   24, 136,  144,  3,  6,  29, false, false, false,   4,   3}},  // 1024x768p 70.069359 Hz
    {0x12, 0x614f, 0       , false, { 1024,  768,   78750,   16,  96,  176,  1,  3,  28, false, true , true ,   4,   3}},  // 1024x768p 75.028582 Hz
    {0x13, 0x6159, 0       , false, { 1024,  768,   94500,   48,  96,  208,  1,  3,  36, false, true , true ,   4,   3}},  // 1024x768p 84.996690 Hz
    {0x14, 0     , 0       , true , { 1024,  768,  115500,   48,  32,   80,  3,  4,  38, false, true , false,   4,   3}},  // 1024x768p 119.988531 Hz
    {0x15, 0x714f, 0       , false, { 1152,  864,  108000,   64, 128,  256,  1,  3,  32, false, true , true ,   4,   3}},  // 1152x864p 75.000000 Hz
    {0x55, 0x81c0, 0       , false, { 1280,  720,   74250,  110,  40,  220,  5,  5,  20, false, true , true ,  16,   9}},  // 1280x720p 60.000000 Hz
    {0x16, 0     , 0x7f1c21, true , { 1280,  768,   68250,   48,  32,   80,  3,  7,  12, false, true , false,   5,   3}},  // 1280x768p 59.994726 Hz
    {0x17, 0     , 0x7f1c28, false, { 1280,  768,   79500,   64, 128,  192,  3,  7,  20, false, false, true ,   5,   3}},  // 1280x768p 59.870228 Hz
    {0x18, 0     , 0x7f1c44, false, { 1280,  768,  102250,   80, 128,  208,  3,  7,  27, false, false, true ,   5,   3}},  // 1280x768p 74.893062 Hz
    {0x19, 0     , 0x7f1c62, false, { 1280,  768,  117500,   80, 136,  216,  3,  7,  31, false, false, true ,   5,   3}},  // 1280x768p 84.837055 Hz
    {0x1a, 0     , 0       , false, { 1280,  768,  140250,   48,  32,   80,  3,  7,  35, false, true , false,   5,   3}},  // 1280x768p 119.798073 Hz
    {0x1b, 0     , 0x8f1821, true , { 1280,  800,   71000,   48,  32,   80,  3,  6,  14, false, true , false,  16,  10}},  // 1280x800p 59.909545 Hz
    {0x1c, 0x8100, 0x8f1828, false, { 1280,  800,   83500,   72, 128,  200,  3,  6,  22, false, false, true ,  16,  10}},  // 1280x800p 59.810326 Hz
    {0x1d, 0x810f, 0x8f1844, false, { 1280,  800,  106500,   80, 128,  208,  3,  6,  29, false, false, true ,  16,  10}},  // 1280x800p 74.934142 Hz
    {0x1e, 0x8119, 0x8f1862, false, { 1280,  800,  122500,   80, 136,  216,  3,  6,  34, false, false, true ,  16,  10}},  // 1280x800p 84.879879 Hz
    {0x1f, 0     , 0       , true , { 1280,  800,  146250,   48,  32,   80,  3,  6,  38, false, true , false,  16,  10}},  // 1280x800p 119.908501 Hz
    {0x20, 0x8140, 0       , false, { 1280,  960,  108000,   96, 112,  312,  1,  3,  36, false, true , true ,   4,   3}},  // 1280x960p 60.000000 Hz
    {0x21, 0x8159, 0       , false, { 1280,  960,  148500,   64, 160,  224,  1,  3,  47, false, true , true ,   4,   3}},  // 1280x960p 85.002473 Hz
    {0x22, 0     , 0       , true , { 1280,  960,  175500,   48,  32,   80,  3,  4,  50, false, true , false,   4,   3}},  // 1280x960p 119.837758 Hz
    {0x23, 0x8180, 0       , false, { 1280, 1024,  108000,   48, 112,  248,  1,  3,  38, false, true , true ,   5,   4}},  // 1280x1024p 60.019740 Hz
    {0x24, 0x818f, 0       , false, { 1280, 1024,  135000,   16, 144,  248,  1,  3,  38, false, true , true ,   5,   4}},  // 1280x1024p 75.024675 Hz
    {0x25, 0x8199, 0       , false, { 1280, 1024,  157500,   64, 160,  224,  1,  3,  44, false, true , true ,   5,   4}},  // 1280x1024p 85.024098 Hz
    {0x26, 0     , 0       , true , { 1280, 1024,  187250,   48,  32,   80,  3,  7,  50, false, true , false,   5,   4}},  // 1280x1024p 119.958231 Hz
    {0x27, 0     , 0       , false, { 1360,  768,   85500,   64, 112,  256,  3,  6,  18, false, true , true ,  85,  48}},  // 1360x768p 60.015162 Hz
    {0x28, 0     , 0       , true , { 1360,  768,  148250,   48,  32,   80,  3,  5,  37, false, true , false,  85,  48}},  // 1360x768p 119.966660 Hz
    {0x51, 0     , 0       , false, { 1366,  768,   85500,   70, 143,  213,  3,  3,  24, false, true , true ,  85,  48}},  // 1366x768p 59.789541 Hz
    {0x56, 0     , 0       , true , { 1366,  768,   72000,   14,  56,   64,  1,  3,  28, false, true , true ,  85,  48}},  // 1366x768p 60.000000 Hz
    {0x29, 0     , 0x0c2021, true , { 1400, 1050,  101000,   48,  32,   80,  3,  4,  23, false, true , false,   4,   3}},  // 1400x1050p 59.947768 Hz
    {0x2a, 0x9040, 0x0c2028, false, { 1400, 1050,  121750,   88, 144,  232,  3,  4,  32, false, false, true ,   4,   3}},  // 1400x1050p 59.978442 Hz
    {0x2b, 0x904f, 0x0c2044, false, { 1400, 1050,  156000,  104, 144,  248,  3,  4,  42, false, false, true ,   4,   3}},  // 1400x1050p 74.866680 Hz
    {0x2c, 0x9059, 0x0c2062, false, { 1400, 1050,  179500,  104, 152,  256,  3,  4,  48, false, false, true ,   4,   3}},  // 1400x1050p 84.959958 Hz
    {0x2d, 0     , 0       , true , { 1400, 1050,  208000,   48,  32,   80,  3,  4,  55, false, true , false,   4,   3}},  // 1400x1050p 119.904077 Hz
    {0x2e, 0     , 0xc11821, true , { 1440,  900,   88750,   48,  32,   80,  3,  6,  17, false, true , false,  16,  10}},  // 1440x900p 59.901458 Hz
    {0x2f, 0x9500, 0xc11828, false, { 1440,  900,  106500,   80, 152,  232,  3,  6,  25, false, false, true ,  16,  10}},  // 1440x900p 59.887445 Hz
    {0x30, 0x950f, 0xc11844, false, { 1440,  900,  136750,   96, 152,  248,  3,  6,  33, false, false, true ,  16,  10}},  // 1440x900p 74.984427 Hz
    {0x31, 0x9519, 0xc11868, false, { 1440,  900,  157000,  104, 152,  256,  3,  6,  39, false, false, true ,  16,  10}},  // 1440x900p 84.842118 Hz
    {0x32, 0     , 0       , true , { 1440,  900,  182750,   48,  32,   80,  3,  6,  44, false, true , false,  16,  10}},  // 1440x900p 119.851784 Hz
    {0x53, 0xa9c0, 0       , true , { 1600,  900,  108000,   24,  80,   96,  1,  3,  96, false, true , true ,  16,   9}},  // 1600x900p 60.000000 Hz
    {0x33, 0xa940, 0       , false, { 1600, 1200,  162000,   64, 192,  304,  1,  3,  46, false, true , true ,   4,   3}},  // 1600x1200p 60.000000 Hz
    {0x34, 0xa945, 0       , false, { 1600, 1200,  175500,   64, 192,  304,  1,  3,  46, false, true , true ,   4,   3}},  // 1600x1200p 65.000000 Hz
    {0x35, 0xa94a, 0       , false, { 1600, 1200,  189000,   64, 192,  304,  1,  3,  46, false, true , true ,   4,   3}},  // 1600x1200p 70.000000 Hz
    {0x36, 0xa94f, 0       , false, { 1600, 1200,  202500,   64, 192,  304,  1,  3,  46, false, true , true ,   4,   3}},  // 1600x1200p 75.000000 Hz
    {0x37, 0xa959, 0       , false, { 1600, 1200,  229500,   64, 192,  304,  1,  3,  46, false, true , true ,   4,   3}},  // 1600x1200p 85.000000 Hz
    {0x38, 0     , 0       , true , { 1600, 1200,  268250,   48,  32,   80,  3,  4,  64, false, true , false,   4,   3}},  // 1600x1200p 119.917209 Hz
    {0x39, 0     , 0x0c2821, true , { 1680, 1050,  119000,   48,  32,   80,  3,  6,  21, false, true , false,  16,  10}},  // 1680x1050p 59.883253 Hz
    {0x3a, 0xb300, 0x0c2828, false, { 1680, 1050,  146250,  104, 176,  280,  3,  6,  30, false, false, true ,  16,  10}},  // 1680x1050p 59.954250 Hz
    {0x3b, 0xb30f, 0x0c2844, false, { 1680, 1050,  187000,  120, 176,  296,  3,  6,  40, false, false, true ,  16,  10}},  // 1680x1050p 74.892027 Hz
    {0x3c, 0xb319, 0x0c2868, false, { 1680, 1050,  214750,  128, 176,  304,  3,  6,  46, false, false, true ,  16,  10}},  // 1680x1050p 84.940512 Hz
    {0x3d, 0     , 0       , true , { 1680, 1050,  245500,   48,  32,   80,  3,  6,  53, false, true , false,  16,  10}},  // 1680x1050p 119.985533 Hz
    {0x3e, 0xc140, 0       , false, { 1792, 1344,  204750,  128, 200,  328,  1,  3,  46, false, false, true ,   4,   3}},  // 1792x1344p 59.999789 Hz
    {0x3f, 0xc14f, 0       , false, { 1792, 1344,  261000,   96, 216,  352,  1,  3,  69, false, false, true ,   4,   3}},  // 1792x1344p 74.996724 Hz
    {0x40, 0     , 0       , true , { 1792, 1344,  333250,   48,  32,   80,  3,  4,  72, false, true , false,   4,   3}},  // 1792x1344p 119.973532 Hz
    {0x41, 0xc940, 0       , false, { 1856, 1392,  218250,   96, 224,  352,  1,  3,  43, false, false, true ,   4,   3}},  // 1856x1392p 59.995184 Hz
    {0x42, 0xc94f, 0       , false, { 1856, 1392,  288000,  128, 224,  352,  1,  3, 104, false, false, true ,   4,   3}},  // 1856x1392p 75.000000 Hz
    {0x43, 0     , 0       , true , { 1856, 1392,  356500,   48,  32,   80,  3,  4,  74, false, true , false,   4,   3}},  // 1856x1392p 120.051132 Hz
    {0x52, 0xd1c0, 0       , false, { 1920, 1080,  148500,   88,  44,  148,  4,  5,  36, false, true , true ,  16,   9}},  // 1920x1080p 60.000000 Hz
    {0x44, 0     , 0x572821, true , { 1920, 1200,  154000,   48,  32,   80,  3,  6,  26, false, true , false,  16,  10}},  // 1920x1200p 59.950171 Hz
    {0x45, 0xd100, 0x572828, false, { 1920, 1200,  193250,  136, 200,  336,  3,  6,  36, false, false, true ,  16,  10}},  // 1920x1200p 59.884600 Hz
    {0x46, 0xd10f, 0x572844, false, { 1920, 1200,  245250,  136, 208,  344,  3,  6,  46, false, false, true ,  16,  10}},  // 1920x1200p 74.930340 Hz
    {0x47, 0xd119, 0x572862, false, { 1920, 1200,  281250,  144, 208,  352,  3,  6,  53, false, false, true ,  16,  10}},  // 1920x1200p 84.931608 Hz
    {0x48, 0     , 0       , true , { 1920, 1200,  317000,   48,  32,   80,  3,  6,  62, false, true , false,  16,  10}},  // 1920x1200p 119.908612 Hz
    {0x49, 0xd140, 0       , false, { 1920, 1440,  234000,  128, 208,  344,  1,  3,  56, false, false, true ,   4,   3}},  // 1920x1440p 60.000000 Hz
    {0x4a, 0xd14f, 0       , false, { 1920, 1440,  297000,  144, 224,  352,  1,  3,  56, false, false, true ,   4,   3}},  // 1920x1440p 75.000000 Hz
    {0x4b, 0     , 0       , true , { 1920, 1440,  380500,   48,  32,   80,  2,  3,  78, false, true , false,   4,   3}},  // 1920x1440p 120.113390 Hz
    {0x54, 0xe1c0, 0       , true , { 2048, 1152,  162000,   26,  80,   96,  1,  3,  44, false, true , true ,  16,   9}},  // 2048x1152p 60.000000 Hz
    {0x4c, 0     , 0x1f3821, true , { 2560, 1600,  268500,   48,  32,   80,  3,  6,  37, false, true , false,  16,  10}},  // 2560x1600p 59.971589 Hz
    {0x4d, 0     , 0x1f3828, false, { 2560, 1600,  348500,  192, 280,  472,  3,  6,  49, false, false, true ,  16,  10}},  // 2560x1600p 59.986588 Hz
    {0x4e, 0     , 0x1f3844, false, { 2560, 1600,  443250,  208, 280,  488,  3,  6,  63, false, false, true ,  16,  10}},  // 2560x1600p 74.972193 Hz
    {0x4f, 0     , 0x1f3862, false, { 2560, 1600,  505250,  208, 280,  488,  3,  6,  73, false, false, true ,  16,  10}},  // 2560x1600p 84.950918 Hz
    {0x50, 0     , 0       , true , { 2560, 1600,  552750,   48,  32,   80,  3,  6,  85, false, true , false,  16,  10}},  // 2560x1600p 119.962758 Hz
    {0x57, 0     , 0       , true , { 4096, 2160,  556744,    8,  32,   40, 48,  8,   6, false, true , false, 256, 135}},  // 4096x2160p 59.999966 Hz
    {0x58, 0     , 0       , true , { 4096, 2160,  556188,    8,  32,   40, 48,  8,   6, false, true , false, 256, 135}},  // 4096x2160p 59.940046 Hz
}};

// Established timings III: bit 7 of the descriptor's byte 6 first, down to bit 4 of byte 11
// (bits 3-0 of byte 11 are reserved).
inline constexpr std::array<uint8_t, 44> kEstablishedTimings3 = {
    // byte 6
    0x01, 0x02, 0x03, 0x07, 0x0e, 0x0c, 0x13, 0x15,
    // byte 7
    0x16, 0x17, 0x18, 0x19, 0x20, 0x21, 0x23, 0x25,
    // byte 8
    0x27, 0x2e, 0x2f, 0x30, 0x31, 0x29, 0x2a, 0x2b,
    // byte 9
    0x2c, 0x39, 0x3a, 0x3b, 0x3c, 0x33, 0x34, 0x35,
    // byte 10
    0x36, 0x37, 0x3e, 0x3f, 0x41, 0x42, 0x44, 0x45,
    // byte 11, bits 7-4
    0x46, 0x47, 0x49, 0x4a,
};

// The entry of a DMT ID, or nothing.
const DmtEntry* FindDmt(int id);

}  // namespace tolvex
