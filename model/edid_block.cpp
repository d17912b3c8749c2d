#include "model/edid_block.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/bits.h"

namespace tolvex {

namespace {

// Truncation toward zero that stays defined for any double; callers keep only low bits.
int64_t Truncate(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 4.0e18;
  value = std::clamp(value, -kLimit, kLimit);
  return static_cast<int64_t>(value);
}

uint8_t Low8(int64_t value) { return static_cast<uint8_t>(static_cast<uint64_t>(value) & 0xFFu); }

// Gamma byte: low 8 bits of truncate((gamma - 1 + offset) x 100), in double precision.
uint8_t EncodeGamma(float gamma, double offset) {
  return Low8(Truncate((static_cast<double>(gamma) - 1.0 + offset) * 100.0));
}

constexpr std::string_view kLetters = " ABCDEFGHIJKLMNOPQRSTUVWXYZ";

}  // namespace

uint8_t ComputeChecksum(const EdidBytes& bytes) {
  uint8_t sum = 0;
  for (int i = 0; i < kEdidSize - 1; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
  return static_cast<uint8_t>(0u - sum);
}

unsigned EncodeChromaValue(float coordinate) {
  return static_cast<uint16_t>(Truncate(static_cast<double>(coordinate) * 1024.0 + 0.5));
}

float DecodeChromaValue(unsigned v) {
  return static_cast<float>(static_cast<double>(Truncate((v * 0.0009765625 + 0.0005) * 1000.0)) * 0.001);
}

// ---- Block level ---------------------------------------------------------------------------

EdidBlock::EdidBlock() : EdidBlock(&TodayLocal) {}

EdidBlock::EdidBlock(DateSource today) : today_(std::move(today)) { Reset(); }

EdidBlock::~EdidBlock() = default;

void EdidBlock::Reset() {
  std::copy(kEdidHeader.begin(), kEdidHeader.end(), bytes_.begin());
  std::fill(bytes_.begin() + 8, bytes_.end() - 1, uint8_t{0});
  const CalendarDate today = today_();
  SetWeek(WeekOfManufacture(today));
  SetYear(today.year);
  SetVersion(1, 2);
  std::fill(bytes_.begin() + 38, bytes_.begin() + 54, uint8_t{0x01});
  UpdateChecksum();
}

void EdidBlock::UpdateChecksum() { bytes_[127] = ComputeChecksum(bytes_); }

// ---- Identification ------------------------------------------------------------------------

void EdidBlock::SetManufacturerId(std::string_view text) {
  const auto letter = [&](size_t i) -> unsigned {
    return i < text.size() ? static_cast<unsigned char>(text[i]) & 0x1Fu : ' ' & 0x1Fu;
  };
  const unsigned code = letter(0) * 1024 + letter(1) * 32 + letter(2);
  bytes_[8] = static_cast<uint8_t>(code / 256);
  bytes_[9] = static_cast<uint8_t>(code % 256);
}

std::string EdidBlock::GetManufacturerId() const {
  const unsigned codes[3] = {GetBits(bytes_[8], 6, 2),
                             GetBits(bytes_[8], 1, 0) << 3 | GetBits(bytes_[9], 7, 5),
                             GetBits(bytes_[9], 4, 0)};
  std::string id;
  for (unsigned code : codes) {
    if (code < kLetters.size()) id += kLetters[code];  // codes 27-31 give no character
  }
  return id == "   " ? std::string() : id;
}

void EdidBlock::SetProductCode(uint16_t code) {
  bytes_[10] = static_cast<uint8_t>(code & 0xFF);
  bytes_[11] = static_cast<uint8_t>(code >> 8);
}

uint16_t EdidBlock::GetProductCode() const { return static_cast<uint16_t>(bytes_[10] | bytes_[11] << 8); }

void EdidBlock::SetSerialNumber(uint32_t serial) {
  for (int i = 0; i < 4; ++i) bytes_[12 + i] = static_cast<uint8_t>(serial >> (8 * i));
}

void EdidBlock::SetSerialText(std::string_view text) {
  // The first character goes to byte 15, the last to byte 12.
  for (size_t i = 0; i < 4; ++i) bytes_[15 - i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
}

uint32_t EdidBlock::GetSerialNumber() const {
  return static_cast<uint32_t>(bytes_[12]) | static_cast<uint32_t>(bytes_[13]) << 8 |
         static_cast<uint32_t>(bytes_[14]) << 16 | static_cast<uint32_t>(bytes_[15]) << 24;
}

void EdidBlock::SetWeek(int week) { bytes_[16] = static_cast<uint8_t>(week & 0x3F); }
int EdidBlock::GetWeek() const { return bytes_[16] & 0x3F; }
void EdidBlock::SetYear(int year) { bytes_[17] = static_cast<uint8_t>((year - 1990) & 0x3F); }
int EdidBlock::GetYear() const { return (bytes_[17] & 0x3F) + 1990; }

void EdidBlock::SetVersion(uint8_t version, uint8_t revision) {
  bytes_[18] = version;
  bytes_[19] = revision;
}

EdidVersion EdidBlock::GetVersion() const { return {bytes_[18], bytes_[19]}; }

// ---- Video input definition ----------------------------------------------------------------

void EdidBlock::SetDigitalInput(int flag) {
  if (flag) {
    bytes_[20] = 0x80;  // a digital input has none of the analog bits
  } else {
    SetBit(bytes_[20], 7, 0);
  }
}

int EdidBlock::IsDigitalInput() const { return GetBit(bytes_[20], 7); }
void EdidBlock::SetSignalLevel(unsigned code) { SetBits(bytes_[20], 6, 5, code & 3); }
unsigned EdidBlock::GetSignalLevel() const { return GetBits(bytes_[20], 6, 5); }
void EdidBlock::SetBlankToBlackSetup(int flag) { SetBit(bytes_[20], 4, flag); }
int EdidBlock::GetBlankToBlackSetup() const { return GetBit(bytes_[20], 4); }
void EdidBlock::SetSeparateSync(int flag) { SetBit(bytes_[20], 3, flag); }
int EdidBlock::GetSeparateSync() const { return GetBit(bytes_[20], 3); }
void EdidBlock::SetCompositeSync(int flag) { SetBit(bytes_[20], 2, flag); }
int EdidBlock::GetCompositeSync() const { return GetBit(bytes_[20], 2); }
void EdidBlock::SetSyncOnGreen(int flag) { SetBit(bytes_[20], 1, flag); }
int EdidBlock::GetSyncOnGreen() const { return GetBit(bytes_[20], 1); }
void EdidBlock::SetSerration(int flag) { SetBit(bytes_[20], 0, flag); }
int EdidBlock::GetSerration() const { return GetBit(bytes_[20], 0); }

// ---- Size, gamma and features --------------------------------------------------------------

// The 0.0051 lets a value 0.49 of a step above a two-decimal gamma round up.
void EdidBlock::SetGamma(float gamma) { bytes_[23] = EncodeGamma(gamma, 0.0051); }
double EdidBlock::GetGamma() const { return 1 + bytes_[23] * 0.01; }

void EdidBlock::SetStandby(int flag) { SetBit(bytes_[24], 7, flag); }
int EdidBlock::GetStandby() const { return GetBit(bytes_[24], 7); }
void EdidBlock::SetSuspend(int flag) { SetBit(bytes_[24], 6, flag); }
int EdidBlock::GetSuspend() const { return GetBit(bytes_[24], 6); }
void EdidBlock::SetActiveOff(int flag) { SetBit(bytes_[24], 5, flag); }
int EdidBlock::GetActiveOff() const { return GetBit(bytes_[24], 5); }
void EdidBlock::SetDisplayType(unsigned code) { SetBits(bytes_[24], 4, 3, code & 3); }
unsigned EdidBlock::GetDisplayType() const { return GetBits(bytes_[24], 4, 3); }
void EdidBlock::SetStandardColorSpace(int flag) { SetBit(bytes_[24], 2, flag); }
int EdidBlock::GetStandardColorSpace() const { return GetBit(bytes_[24], 2); }
void EdidBlock::SetPreferredTiming(int flag) { SetBit(bytes_[24], 1, flag); }
int EdidBlock::GetPreferredTiming() const { return GetBit(bytes_[24], 1); }
void EdidBlock::SetGtfSupported(int flag) { SetBit(bytes_[24], 0, flag); }
int EdidBlock::GetGtfSupported() const { return GetBit(bytes_[24], 0); }

// ---- Colour characteristics ----------------------------------------------------------------

void EdidBlock::SetChromaticity(const Chromaticity& xy) {
  bytes_[25] = 0;
  bytes_[26] = 0;
  for (int i = 0; i < 8; ++i) {
    const unsigned v = EncodeChromaValue(xy[i]);
    // Two bits per coordinate, red x in bits 7-6 of byte 25 down to white y in bits 1-0 of byte 26.
    const int high = 7 - 2 * (i % 4);
    SetBits(bytes_[25 + i / 4], high, high - 1, v & 3);
    bytes_[27 + i] = static_cast<uint8_t>((v >> 2) & 0xFF);
  }
}

Chromaticity EdidBlock::GetChromaticity() const {
  Chromaticity xy{};
  for (int i = 0; i < 8; ++i) {
    const int high = 7 - 2 * (i % 4);
    const unsigned v = bytes_[27 + i] * 4u + GetBits(bytes_[25 + i / 4], high, high - 1);
    xy[i] = DecodeChromaValue(v);
  }
  return xy;
}

void EdidBlock::SetEstablishedTimings(uint8_t timingsI, uint8_t timingsII, uint8_t manufacturers) {
  bytes_[35] = timingsI;
  bytes_[36] = timingsII;
  bytes_[37] = manufacturers;
}

std::array<uint8_t, 3> EdidBlock::GetEstablishedTimings() const { return {bytes_[35], bytes_[36], bytes_[37]}; }

// ---- Standard timings ----------------------------------------------------------------------

unsigned EdidBlock::StdTimingOffset(int slot) const {
  // Callers pass 0-13; anything else is pinned to that range so no access leaves the block.
  slot = std::clamp(slot, 0, kStdTimingSlots - 1);
  if (slot < kBaseStdTimingSlots) return 38 + 2 * static_cast<unsigned>(slot);
  return descriptorOffset_ + 5 + 2 * static_cast<unsigned>(slot - kBaseStdTimingSlots);
}

void EdidBlock::SetStdTimingWidth(int slot, unsigned pixels) {
  const unsigned width = std::clamp<unsigned>(static_cast<uint16_t>(pixels), 256, 2288);
  bytes_[StdTimingOffset(slot)] = static_cast<uint8_t>(width / 8 - 31);
}

unsigned EdidBlock::GetStdTimingWidth(int slot) const { return (bytes_[StdTimingOffset(slot)] + 31u) * 8; }

void EdidBlock::SetStdTimingAspect(int slot, unsigned code) { SetBits(bytes_[StdTimingOffset(slot) + 1], 7, 6, code & 3); }

unsigned EdidBlock::GetStdTimingAspect(int slot) const { return GetBits(bytes_[StdTimingOffset(slot) + 1], 7, 6); }

void EdidBlock::SetStdTimingRefresh(int slot, unsigned hz) {
  const unsigned rate = std::clamp<unsigned>(static_cast<uint8_t>(hz), 60, 123);
  SetBits(bytes_[StdTimingOffset(slot) + 1], 5, 0, rate - 60);
}

unsigned EdidBlock::GetStdTimingRefresh(int slot) const { return GetBits(bytes_[StdTimingOffset(slot) + 1], 5, 0) + 60; }

bool EdidBlock::IsStdTimingUnused(int slot) const {
  return GetStdTimingWidth(slot) == 256 && GetStdTimingAspect(slot) == 0 && GetStdTimingRefresh(slot) == 61;
}

// ---- Descriptor selection and classification -----------------------------------------------

void EdidBlock::SelectDescriptor(unsigned index) {
  descriptorIndex_ = static_cast<uint8_t>(index & 3);
  descriptorOffset_ = static_cast<uint8_t>(descriptorIndex_ * kDescriptorSize + kFirstDescriptorOffset);
}

DescriptorTag EdidBlock::GetDescriptorTag() const {
  const uint8_t tag = Desc(3);
  if (IsVersion10()) return {false, tag};  // 1.0 knows detailed timings only
  if (Desc(0) != 0 || Desc(1) != 0 || Desc(2) != 0) return {false, tag};
  if (tag == 0 || Desc(4) != 0) return {false, tag};
  return {true, tag};
}

void EdidBlock::WriteDescriptorHeader(uint8_t tag) {
  Desc(0) = 0;
  Desc(1) = 0;
  Desc(2) = 0;
  Desc(3) = tag;
  Desc(4) = 0;
}

// ---- Detailed timing -----------------------------------------------------------------------

void EdidBlock::SetPixelClock(float mhz) {
  const auto units = static_cast<uint16_t>(static_cast<uint64_t>(Truncate(static_cast<double>(mhz) * 100.0 + 0.51)) & 0xFFFF);
  Desc(0) = static_cast<uint8_t>(units & 0xFF);
  Desc(1) = static_cast<uint8_t>(units >> 8);
}

double EdidBlock::GetPixelClock() const { return (Desc(0) | Desc(1) << 8) * 0.01; }

// 12-bit fields: bits 7-0 in their own byte, bits 11-8 in one nibble of a shared byte.
void EdidBlock::SetTwelveBits(int lowByte, int nibbleByte, bool upperNibble, unsigned value) {
  Desc(lowByte) = static_cast<uint8_t>(value & 0xFF);
  const int high = upperNibble ? 7 : 3;
  SetBits(Desc(nibbleByte), high, high - 3, (value >> 8) & 0x0F);
}

unsigned EdidBlock::GetTwelveBits(int lowByte, int nibbleByte, bool upperNibble) const {
  const int high = upperNibble ? 7 : 3;
  return Desc(lowByte) | GetBits(Desc(nibbleByte), high, high - 3) << 8;
}

void EdidBlock::SetHActive(unsigned pixels) { SetTwelveBits(2, 4, true, pixels); }
unsigned EdidBlock::GetHActive() const { return GetTwelveBits(2, 4, true); }
void EdidBlock::SetHBlanking(unsigned pixels) { SetTwelveBits(3, 4, false, pixels); }
unsigned EdidBlock::GetHBlanking() const { return GetTwelveBits(3, 4, false); }
void EdidBlock::SetVActive(unsigned lines) { SetTwelveBits(5, 7, true, lines); }
unsigned EdidBlock::GetVActive() const { return GetTwelveBits(5, 7, true); }
void EdidBlock::SetVBlanking(unsigned lines) { SetTwelveBits(6, 7, false, lines); }
unsigned EdidBlock::GetVBlanking() const { return GetTwelveBits(6, 7, false); }
void EdidBlock::SetHImageSize(unsigned mm) { SetTwelveBits(12, 14, true, mm); }
unsigned EdidBlock::GetHImageSize() const { return GetTwelveBits(12, 14, true); }
void EdidBlock::SetVImageSize(unsigned mm) { SetTwelveBits(13, 14, false, mm); }
unsigned EdidBlock::GetVImageSize() const { return GetTwelveBits(13, 14, false); }

void EdidBlock::SetHSyncOffset(unsigned pixels) {
  Desc(8) = static_cast<uint8_t>(pixels & 0xFF);
  SetBits(Desc(11), 7, 6, (pixels >> 8) & 3);
}
unsigned EdidBlock::GetHSyncOffset() const { return Desc(8) | GetBits(Desc(11), 7, 6) << 8; }

void EdidBlock::SetHSyncWidth(unsigned pixels) {
  Desc(9) = static_cast<uint8_t>(pixels & 0xFF);
  SetBits(Desc(11), 5, 4, (pixels >> 8) & 3);
}
unsigned EdidBlock::GetHSyncWidth() const { return Desc(9) | GetBits(Desc(11), 5, 4) << 8; }

void EdidBlock::SetVSyncOffset(unsigned lines) {
  SetBits(Desc(10), 7, 4, lines & 0x0F);
  SetBits(Desc(11), 3, 2, (lines >> 4) & 3);
}
unsigned EdidBlock::GetVSyncOffset() const { return GetBits(Desc(10), 7, 4) | GetBits(Desc(11), 3, 2) << 4; }

void EdidBlock::SetVSyncWidth(unsigned lines) {
  SetBits(Desc(10), 3, 0, lines & 0x0F);
  SetBits(Desc(11), 1, 0, (lines >> 4) & 3);
}
unsigned EdidBlock::GetVSyncWidth() const { return GetBits(Desc(10), 3, 0) | GetBits(Desc(11), 1, 0) << 4; }

void EdidBlock::SetHBorder(uint8_t pixels) { Desc(15) = pixels; }
unsigned EdidBlock::GetHBorder() const { return Desc(15); }
void EdidBlock::SetVBorder(uint8_t lines) { Desc(16) = lines; }
unsigned EdidBlock::GetVBorder() const { return Desc(16); }

void EdidBlock::SetInterlaced(int flag) { SetBit(Desc(17), 7, flag); }
int EdidBlock::GetInterlaced() const { return GetBit(Desc(17), 7); }

// Stereo code: flag bits 6-5 are its bits 2-1, flag bit 0 its bit 0.
void EdidBlock::SetStereoMode(unsigned code) {
  SetBits(Desc(17), 6, 5, (code >> 1) & 3);
  SetBits(Desc(17), 0, 0, code & 1);
}
unsigned EdidBlock::GetStereoMode() const { return GetBits(Desc(17), 6, 5) << 1 | GetBits(Desc(17), 0, 0); }

void EdidBlock::SetSyncMode(unsigned code) { SetBits(Desc(17), 4, 1, code & 0x0F); }
unsigned EdidBlock::GetSyncMode() const { return GetBits(Desc(17), 4, 1); }

// ---- Monitor descriptors -------------------------------------------------------------------

void EdidBlock::SetDescriptorText(uint8_t tag, std::string_view text) {
  // Text, then a line feed, then blanks, cut to the 13 payload bytes.
  std::string payload(text.substr(0, 13));
  payload += '\n';
  payload.append(12, ' ');
  WriteDescriptorHeader(tag);
  for (int i = 0; i < 13; ++i) Desc(5 + i) = static_cast<uint8_t>(payload[i]);
}

std::string EdidBlock::GetDescriptorText() const {
  std::string text;
  for (int i = 5; i < kDescriptorSize; ++i) {
    const uint8_t c = Desc(i);
    if (c < 0x20 || c > 0x7F) break;
    text += static_cast<char>(c);
  }
  return text;
}

void EdidBlock::SetRangeLimits(uint8_t minHorizontalKHz, uint8_t maxHorizontalKHz, uint8_t minVerticalHz,
                               uint8_t maxVerticalHz, uint16_t maxPixelClockMHz) {
  for (int i = 12; i < kDescriptorSize; ++i) Desc(i) = 0x20;
  WriteDescriptorHeader(kTagRangeLimits);
  Desc(5) = minVerticalHz;
  Desc(6) = maxVerticalHz;
  Desc(7) = minHorizontalKHz;
  Desc(8) = maxHorizontalKHz;
  Desc(9) = static_cast<uint8_t>(((maxPixelClockMHz + 5) / 10) & 0xFF);  // units of 10 MHz, rounded
  Desc(10) = 0x00;  // no secondary timing formula
  Desc(11) = 0x0A;
}

RangeLimits EdidBlock::GetRangeLimits() const {
  return {Desc(7), Desc(8), Desc(5), Desc(6), static_cast<uint16_t>(Desc(9) * 10)};
}

void EdidBlock::SetSecondaryGtf(uint8_t code, unsigned startKHz, unsigned c, uint16_t m, unsigned k, unsigned j) {
  Desc(10) = code;
  Desc(11) = 0;
  Desc(12) = static_cast<uint8_t>((startKHz / 2) & 0xFF);
  Desc(13) = static_cast<uint8_t>((c * 2) & 0xFF);
  Desc(14) = static_cast<uint8_t>(m & 0xFF);
  Desc(15) = static_cast<uint8_t>(m >> 8);
  Desc(16) = static_cast<uint8_t>(k & 0xFF);
  Desc(17) = static_cast<uint8_t>((j * 2) & 0xFF);
}

SecondaryGtf EdidBlock::GetSecondaryGtf() const {
  return {Desc(10),     Desc(12) * 2u, Desc(13) / 2u, static_cast<uint16_t>(Desc(14) | Desc(15) << 8),
          Desc(16) * 1u, Desc(17) / 2u};
}

void EdidBlock::SetColorPoint(unsigned whitePoint, uint8_t index, float x, float y, float gamma) {
  const int k = 5 * static_cast<int>(whitePoint & 1);
  WriteDescriptorHeader(kTagColorPoint);
  Desc(15) = 0x0A;
  Desc(16) = 0x20;
  Desc(17) = 0x20;
  Desc(5 + k) = index;
  const unsigned xv = EncodeChromaValue(x);
  const unsigned yv = EncodeChromaValue(y);
  Desc(6 + k) = static_cast<uint8_t>((xv & 3) * 4 + (yv & 3));
  Desc(7 + k) = static_cast<uint8_t>((xv / 4) & 0xFF);
  Desc(8 + k) = static_cast<uint8_t>((yv / 4) & 0xFF);
  // The colour-point gamma rounds with 0.005 where the base block uses 0.0051.
  Desc(9 + k) = EncodeGamma(gamma, 0.005);
}

ColorPoint EdidBlock::GetColorPoint(unsigned whitePoint) const {
  const int k = 5 * static_cast<int>(whitePoint & 1);
  const uint8_t low = Desc(6 + k);
  return {Desc(5 + k), DecodeChromaValue(GetBits(low, 3, 2) + Desc(7 + k) * 4u),
          DecodeChromaValue(GetBits(low, 1, 0) + Desc(8 + k) * 4u), Desc(9 + k) * 0.01 + 1};
}

std::array<uint8_t, 5> EdidBlock::GetColorPointBytes(unsigned whitePoint) const {
  const int k = 5 * static_cast<int>(whitePoint & 1);
  return {Desc(5 + k), Desc(6 + k), Desc(7 + k), Desc(8 + k), Desc(9 + k)};
}

void EdidBlock::SetColorPointBytes(unsigned whitePoint, const std::array<uint8_t, 5>& stored) {
  const int k = 5 * static_cast<int>(whitePoint & 1);
  for (int i = 0; i < 5; ++i) Desc(5 + k + i) = stored[static_cast<size_t>(i)];
  Desc(15) = 0x0A;
  Desc(16) = 0x20;
  Desc(17) = 0x20;
}

}  // namespace tolvex
