// The decoded fields of what the real EDIDs beside the checkout rarely or never carry, each
// built by hand from the standards' layouts and read back at its `info --json` path: the HDMI
// Forum blocks' VRR, FRL and DSC fields, the HDMI block's latencies and HDMI VICs, AMD's 10-bit
// maximum, the audio room blocks, HDR dynamic metadata, the video preference and 4:2:0 blocks,
// Type VII timings, data blocks that overrun or are cut short, DisplayID 1.3 and 2.x data blocks,
// the block map, and the E-EDID 1.4 descriptors and range limits.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "model/edid_extensions.h"
#include "report/edid_json.h"
#include "report/edid_report.h"
#include "report_test_support.h"
#include "test_support.h"

namespace tolvex {
namespace {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<uint8_t>;

// A CTA-861 revision 3 block holding `dataBlocks` and no detailed timing.
EdidBytes Cta(const std::vector<Bytes>& dataBlocks) {
  EdidBytes block{0x02, 0x03, 0x00, 0xF0};
  size_t at = 4;
  for (const Bytes& data : dataBlocks) {
    std::copy(data.begin(), data.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
    at += data.size();
  }
  block[2] = static_cast<uint8_t>(at);
  block[127] = ComputeChecksum(block);
  return block;
}

// A DisplayID extension of `version` (0x13, 0x20) holding `dataBlocks`, its section checksum right.
EdidBytes DisplayId(uint8_t version, const std::vector<Bytes>& dataBlocks) {
  EdidBytes block{0x70, version, 0x00, 0x00, 0x00};
  size_t at = 5;
  for (const Bytes& data : dataBlocks) {
    std::copy(data.begin(), data.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
    at += data.size();
  }
  block[2] = static_cast<uint8_t>(at - 5);
  unsigned sum = 0;
  for (size_t i = 1; i < at; ++i) sum += block[i];
  block[at] = static_cast<uint8_t>(0x100 - (sum & 0xFF));
  block[127] = ComputeChecksum(block);
  return block;
}

// A 20-byte DisplayID Type VII timing of `clockKHz`, `width` x `height`, 16:9.
Bytes Type7Timing(int clockKHz, int width, int height) {
  const auto le = [](int value, int bytes) {
    Bytes out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return out;
  };
  Bytes timing = le(clockKHz - 1, 3);
  timing.push_back(0x04);
  for (const int size : {width, 1320, 352, 176, height, 180, 16, 20}) {
    const Bytes part = le(size - 1, 2);
    timing.insert(timing.end(), part.begin(), part.end());
  }
  return timing;
}

// The base block of a 1.4 digital DisplayPort panel, 8 bits a colour, with established timings
// III, CVT codes, colour management and range limits with rate offsets and CVT support.
EdidBytes Base14() {
  EdidBlock block(test::FixedDate(2026, 12, 8));
  block.SetVersion(1, 4);
  EdidBytes bytes = block.Bytes();
  bytes[16] = 0xFF;  // model year
  bytes[20] = 0xA5;
  bytes[21] = 79;  // landscape, (79 + 99) / 100 = 1.78
  bytes[22] = 0;
  const uint8_t descriptors[4][18] = {
      {0, 0, 0, 0xF7, 0, 0x0A, 0x80, 0x01},
      {0, 0, 0, 0xF8, 0, 0x01, 0x1B, 0x24, 0x29},
      {0, 0, 0, 0xF9, 0, 0x03, 0x23, 0x01},
      {0, 0, 0, 0xFD, 0x0E, 0x30, 0x2D, 0x0F, 0x2D, 0x8C, 0x04, 0x11, 0x0D, 0x40, 0xE0, 0x38, 0x90, 0x3C},
  };
  for (int d = 0; d < 4; ++d) std::copy(std::begin(descriptors[d]), std::end(descriptors[d]), bytes.begin() + 54 + 18 * d);
  return bytes;
}

struct Expect {
  const char* path;
  Json value;
};

struct Case {
  const char* name;
  std::vector<EdidBytes> extensions;
  std::vector<Expect> expects;
  EdidBytes base = EdidBlock(test::FixedDate(2026, 12, 8)).Bytes();
};

std::vector<Case> Cases() {
  return {
      {"HDMI Forum VSDB: rates, VRR, FRL, DSC",
       {Cta({{0x6D, 0xD8, 0x5D, 0xC4, 0x01, 0x78, 0xC0, 0x63, 0x02, 0x70, 0x90, 0x81, 0x53, 0x03}})},
       {{"blocks[1].hdmi_forum.max_tmds_mhz", 600}, {"blocks[1].hdmi_forum.scdc_present", true},
        {"blocks[1].hdmi_forum.vrr_min_hz", 48}, {"blocks[1].hdmi_forum.vrr_max_hz", 400},
        {"blocks[1].hdmi_forum.max_frl_rate", "12x4"}, {"blocks[1].hdmi_forum.max_frl_gbps", 48},
        {"blocks[1].hdmi_forum.dc_36bit_420", true}, {"blocks[1].hdmi_forum.uhd_vic", false},
        {"blocks[1].hdmi_forum.allm", true}, {"blocks[1].hdmi_forum.dsc_1p2", true},
        {"blocks[1].hdmi_forum.dsc_max_slices", "4-340"}, {"blocks[1].hdmi_forum.dsc_max_frl_gbps", 40},
        {"blocks[1].hdmi_forum.dsc_total_chunk_kbytes", 3}, {"blocks[1].hdmi_forum.scdb", false}}},
      {"HDMI Forum SCDB",
       {Cta({{0xE6, 0x79, 0x00, 0x00, 0x01, 0x64, 0x80}})},
       {{"blocks[1].hdmi_forum.scdb", true}, {"blocks[1].hdmi_forum.kind", "hdmi-forum"},
        {"blocks[1].hdmi_forum.max_tmds_mhz", 500}, {"blocks[1].hdmi_forum.bytes", {132, 138}}}},
      {"HDMI VSDB: deep colour, latencies, HDMI VICs, 3D",
       {Cta({{0x72, 0x03, 0x0C, 0x00, 0x21, 0x00, 0xB8, 0x3C, 0xE3, 0x0B, 0x11, 0x21, 0x21, 0xA8, 0x42, 0x01, 0x03,
              0x00, 0x01}})},
       {{"blocks[1].hdmi.physical_address", "2.1.0.0"}, {"blocks[1].hdmi.max_tmds_mhz", 300},
        {"blocks[1].hdmi.dc_36bit", true}, {"blocks[1].hdmi.dc_48bit", false}, {"blocks[1].hdmi.cnc_photo", true},
        {"blocks[1].hdmi.video_latency_ms", 20}, {"blocks[1].hdmi.audio_latency_ms", 32},
        {"blocks[1].hdmi.i_video_latency_ms", 64}, {"blocks[1].hdmi.3d_present", true},
        {"blocks[1].hdmi.3d_multi_present", "all"}, {"blocks[1].hdmi.image_size", "aspect"},
        {"blocks[1].hdmi.hdmi_vics[0].vic", 95}, {"blocks[1].hdmi.hdmi_vics[1].hdmi_vic", 3},
        {"blocks[1].hdmi.fields_3d", "00 01"}, {"blocks[1].oui", nullptr}}},
      {"AMD version 3 with a 10-bit maximum",
       {Cta({{0x6F, 0x1A, 0x00, 0x00, 0x03, 0x01, 0x30, 0xF0, 0x00, 0x00, 0x60, 0x30, 0x00, 0x00, 0x2C, 0x01}})},
       {{"blocks[1].freesync.min_hz", 48}, {"blocks[1].freesync.max_hz", 300}, {"blocks[1].freesync.version", 3},
        {"blocks[1].data_blocks[0].oui", "00-00-1A"}}},
      {"room configuration and speaker locations",
       {Cta({{0xEB, 0x13, 0xE1, 0x03, 0x00, 0x00, 0x20, 0x30, 0x10, 0x20, 0xE0, 0x00},
             {0xE8, 0x14, 0x60, 0x00, 0x40, 0xC0, 0x00, 0x21, 0x01}})},
       {{"blocks[1].data_blocks[0].speaker_count", 2}, {"blocks[1].data_blocks[0].fl_fr", true},
        {"blocks[1].data_blocks[0].lfe1", true}, {"blocks[1].data_blocks[0].fc", false},
        {"blocks[1].data_blocks[0].x_max_dm", 32}, {"blocks[1].data_blocks[0].display_x", 0.5},
        {"blocks[1].data_blocks[0].display_y", -0.5}, {"blocks[1].data_blocks[1].speakers[0].x", 1},
        {"blocks[1].data_blocks[1].speakers[0].y", -1}, {"blocks[1].data_blocks[1].speakers[1].speaker_id", "fr"},
        {"blocks[1].data_blocks[1].speakers[1].active", true}, {"blocks[1].data_blocks[1].speakers[1].coordinates", false}}},
      {"HDR dynamic metadata, video format preference, 4:2:0 only VICs",
       {Cta({{0xE5, 0x07, 0x03, 0x04, 0x00, 0x01}, {0xE3, 0x0D, 0x10, 0x81}, {0xE3, 0x0E, 0x61, 0x60}})},
       {{"blocks[1].data_blocks[0].entries[0].type", 4}, {"blocks[1].data_blocks[0].entries[0].version", 1},
        {"blocks[1].data_blocks[1].svrs[0].svr", 16}, {"blocks[1].data_blocks[1].svrs[1].svr", 129},
        {"blocks[1].ycbcr420_only_vics", {97, 96}}}},
      {"4:2:0 capability map by VDB position; SVD 0 is no format",
       {Cta({{0x45, 0x90, 0x04, 0x5F, 0x61, 0x00}, {0xE2, 0x0F, 0x0C}})},
       {{"blocks[1].video[0].vic", 16}, {"blocks[1].video[0].native", true}, {"blocks[1].video[3].vic", 97},
        {"blocks[1].video[4]", nullptr}, {"blocks[1].data_blocks[0].svds[4].vic", 0},
        {"blocks[1].ycbcr420_capability_vics", {95, 97}}, {"blocks[1].data_blocks[1].all_svds", false}}},
      {"an empty 4:2:0 capability map marks every SVD",
       {Cta({{0x43, 0x10, 0x04, 0x5F}, {0xE1, 0x0F}})},
       {{"blocks[1].ycbcr420_capability_vics", {16, 4, 95}}, {"blocks[1].data_blocks[1].all_svds", true}}},
      {"DisplayID Type VII timing in a CTA block",
       {[] {
         Bytes data{0xF6, 0x22, 0x00};
         const Bytes timing = Type7Timing(2376000, 7680, 4320);
         data.insert(data.end(), timing.begin(), timing.end());
         return Cta({data});
       }()},
       {{"blocks[1].data_blocks[0].kind", "displayid-type-7"},
        {"blocks[1].data_blocks[0].timings[0].pixel_clock_khz", 2376000},
        {"blocks[1].data_blocks[0].timings[0].h_active", 7680}, {"blocks[1].data_blocks[0].timings[0].v_active", 4320},
        {"blocks[1].data_blocks[0].timings[0].aspect", "16:9"}}},
      {"unknown blocks stay tag and bytes",
       {Cta({{0xE2, 0x55, 0xAB}, {0x63, 0x4B, 0x04, 0x00}})},
       {{"blocks[1].data_blocks[0].kind", "unknown"}, {"blocks[1].data_blocks[0].extended_tag", 85},
        {"blocks[1].data_blocks[0].payload", "ab"}, {"blocks[1].data_blocks[1].kind", "vendor"},
        {"blocks[1].data_blocks[1].oui", "00-04-4B"}}},
      {"a data block past byte d is read on; one past the block is cut short",
       {[] {
          EdidBytes block = Cta({{0x45, 0x10, 0x04, 0x03, 0x02, 0x01}});
          block[2] = 7;  // the VDB runs two bytes past d
          block[127] = ComputeChecksum(block);
          return block;
        }(),
        [] {
          EdidBytes block{0x02, 0x03, 0x7F, 0x00};
          block[4] = 0x5F;  // claims 31 bytes; 122 remain before the checksum
          block[36] = 0x5F;
          block[68] = 0x5F;
          block[100] = 0x5F;
          block[127] = ComputeChecksum(block);
          return block;
        }()},
       {{"blocks[1].data_blocks[0].overruns_collection", true}, {"blocks[1].data_blocks[0].bytes", {132, 137}},
        {"blocks[1].video[4].vic", 1}, {"blocks[2].data_blocks[3].cut_short", true},
        {"blocks[2].data_blocks[3].kind", "unknown"}, {"blocks[2].data_blocks[3].bytes", {356, 382}}}},
      {"CTA revision 1: no flags, no data blocks",
       {[] {
         EdidBytes block = test::MakeCtaBlock();
         block[1] = 1;
         block[127] = ComputeChecksum(block);
         return block;
       }()},
       {{"blocks[1].revision", 1}, {"blocks[1].underscan", nullptr}, {"blocks[1].data_blocks", nullptr},
        {"blocks[1].dtds[0].h_active", 1920}, {"blocks[1].dtds[0].pixel_clock_khz", 148500}}},
      {"DisplayID 2.0 data blocks",
       {DisplayId(0x20, {{0x2B, 0x00, 0x06, 0x01, 0x10, 0x30, 0x8F, 0x00, 0x10},
                         {0x28, 0x00, 0x16, 0x82, 0x10, 0x10, 0x00, 0x7F, 0x07, 0x6F, 0x08, 0x00, 0x00, 0x00, 0x00,
                          0x00, 'A', 'B', 'C', 0x34, 0x12, 0x01, 0x00, 0x00, 0x00},
                         {0x26, 0x00, 0x09, 0x0E, 0x06, 0x00, 0x02, 0x02, 0xE0, 0x41, 0x00, 0x00},
                         {0x29, 0x00, 0x10, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                         {0x81, 0x00, 0x05, 0x44, 0x10, 0x04, 0x03, 0x02},
                         [] {
                           Bytes data{0x22, 0x00, 0x14};
                           const Bytes timing = Type7Timing(1188000, 5120, 2880);
                           data.insert(data.end(), timing.begin(), timing.end());
                           return data;
                         }(),
                         {0x7E, 0x00, 0x03, 0x3A, 0x02, 0x92}})},
       {{"blocks[1].version", "2.0"}, {"blocks[1].section_checksum_right", true},
        {"blocks[1].data_blocks[0].ranges[0].min_hz", 48}, {"blocks[1].data_blocks[0].ranges[0].max_hz", 144},
        {"blocks[1].data_blocks[0].ranges[0].native_range", true}, {"blocks[1].data_blocks[1].tiles_h", 2},
        {"blocks[1].data_blocks[1].tiles_v", 1}, {"blocks[1].data_blocks[1].tile_h", 1},
        {"blocks[1].data_blocks[1].tile_width", 1920}, {"blocks[1].data_blocks[1].tile_height", 2160},
        {"blocks[1].data_blocks[1].product_code", 4660}, {"blocks[1].data_blocks[1].serial", 1},
        {"blocks[1].data_blocks[1].single_tile_behaviour", "scaled"}, {"blocks[1].data_blocks[1].single_enclosure", true},
        {"blocks[1].data_blocks[2].rgb_bpc", {8, 10, 12}}, {"blocks[1].data_blocks[2].ycbcr420_bpc", {10}},
        {"blocks[1].data_blocks[2].min_420_rate_mhz", 148.5}, {"blocks[1].data_blocks[2].bt2020_pq", true},
        {"blocks[1].data_blocks[3].container_id", "00010203-0405-0607-0809-0a0b0c0d0e0f"},
        {"blocks[1].data_blocks[4].data_blocks[0].svds[0].vic", 16}, {"blocks[1].timings[0].h_active", 5120},
        {"blocks[1].timings[0].pixel_clock_khz", 1188000}, {"blocks[1].data_blocks[6].kind", "unknown"},
        {"blocks[1].data_blocks[6].payload", "3a 02 92"}}},
      {"DisplayID 1.3: Type I timing and display parameters",
       {DisplayId(0x13, {{0x03, 0x00, 0x14, 0x4C, 0xD0, 0x00, 0x84, 0xFF, 0x0E, 0x9F, 0x00, 0x2F, 0x80, 0x1F, 0x00,
                          0x6F, 0x08, 0x02, 0x00, 0x04, 0x00, 0x05, 0x00},
                         {0x01, 0x00, 0x0C, 0xA0, 0x0F, 0x38, 0x0A, 0x00, 0x0F, 0x70, 0x08, 0x00, 0x78, 0x4E, 0x77}})},
       {{"blocks[1].version", "1.3"}, {"blocks[1].timings[0].pixel_clock_khz", 533250},
        {"blocks[1].timings[0].h_active", 3840}, {"blocks[1].timings[0].v_active", 2160},
        {"blocks[1].timings[0].preferred", true}, {"blocks[1].data_blocks[1].native_width", 3840},
        {"blocks[1].data_blocks[1].image_width", 4000}, {"blocks[1].data_blocks[1].gamma", 2.2},
        {"blocks[1].data_blocks[1].bpc_overall", 8}, {"blocks[1].data_blocks[1].bpc_native", 8}}},
      {"the block map names the blocks after it",
       {[] {
          EdidBytes map{0xF0, 0x02, 0x70};
          map[127] = ComputeChecksum(map);
          return map;
        }(),
        test::MakeCtaBlock(), DisplayId(0x20, {})},
       {{"blocks[1].kind", "block-map"}, {"blocks[1].entries[0].block", 2}, {"blocks[1].entries[0].tag", 2},
        {"blocks[1].entries[1].block", 3}, {"blocks[1].entries[1].tag", 112}, {"blocks[3].kind", "displayid"}}},
      {"E-EDID 1.4: byte 20, aspect ratio, model year, descriptors 0xF7-0xF9, range limits with offsets and CVT",
       {},
       {{"blocks[0].version", "1.4"}, {"blocks[0].bit_depth", 8}, {"blocks[0].interface", "displayport"},
        {"blocks[0].aspect_ratio", 1.78}, {"blocks[0].model_year", 2026}, {"blocks[0].week", nullptr},
        {"blocks[0].descriptors[0].kind", "established-timings-3"}, {"blocks[0].descriptors[0].dmt_01", true},
        {"blocks[0].descriptors[0].dmt_02", false}, {"blocks[0].descriptors[0].dmt_25", true},
        {"blocks[0].descriptors[1].codes[0].lines", 1080}, {"blocks[0].descriptors[1].codes[0].aspect", "16:9"},
        {"blocks[0].descriptors[1].codes[0].preferred_rate", 60}, {"blocks[0].descriptors[1].codes[0].rate_60", true},
        {"blocks[0].descriptors[1].codes[0].rate_60_rb", true}, {"blocks[0].descriptors[1].codes[0].rate_50", false},
        {"blocks[0].descriptors[1].codes[1]", nullptr}, {"blocks[0].descriptors[2].red_a3", 291},
        {"blocks[0].descriptors[3].min_v_hz", 48}, {"blocks[0].descriptors[3].max_v_hz", 300},
        {"blocks[0].descriptors[3].min_h_khz", 270}, {"blocks[0].descriptors[3].max_h_khz", 300},
        {"blocks[0].descriptors[3].max_pixel_clock_mhz", 1400}, {"blocks[0].descriptors[3].timing_support", "cvt"},
        {"blocks[0].descriptors[3].max_pixel_clock_precise_mhz", 1399.25},
        {"blocks[0].descriptors[3].max_active_pixels", 2560}, {"blocks[0].descriptors[3].aspect_4_3", true},
        {"blocks[0].descriptors[3].aspect_15_9", false}, {"blocks[0].descriptors[3].preferred_aspect", "16:9"},
        {"blocks[0].descriptors[3].cvt_reduced_blanking", true}, {"blocks[0].descriptors[3].h_shrink", true},
        {"blocks[0].descriptors[3].v_stretch", true}, {"blocks[0].descriptors[3].preferred_refresh_hz", 60}},
       Base14()},
  };
}

TEST(DecodedFields, EachKindReadsAtItsJsonPath) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> whole = test::MakeWholeEdid(c.base, c.extensions);
    const Json json = EdidJson(DecodeEdid(whole));
    for (const Expect& e : c.expects) {
      const Json* got = test::JsonAt(json, e.path);
      if (e.value.is_null()) {
        EXPECT_EQ(got, nullptr) << e.path << " is there: " << (got ? got->dump() : "");
      } else if (!got) {
        ADD_FAILURE() << e.path << " is missing";
      } else if (e.value.is_number_float()) {
        EXPECT_NEAR(got->get<double>(), e.value.get<double>(), 0.005) << e.path;
      } else {
        EXPECT_EQ(*got, e.value) << e.path;
      }
    }
  }
}

// The report shows the 1.4 reading in its own section after the base dump, which a reader skips.
TEST(DecodedFields, The14SectionFollowsTheBaseDumpAndReadsBack) {
  EdidBlock block(test::FixedDate(2026, 12, 8));
  block.Bytes() = Base14();
  block.UpdateChecksum();
  const std::string report = FormatEdidReport(block);
  const std::string base = FormatReport(block) + FormatHexDump(block);
  ASSERT_EQ(report.substr(0, base.size()), base);
  const std::string section = report.substr(base.size());
  EXPECT_NE(section.find("\r\nE-EDID 1.4 reading of the base block\r\n"), std::string::npos);
  EXPECT_NE(section.find("\tEstablished Timings III (bytes 54-71)\r\n"), std::string::npos);
  EXPECT_NE(section.find("\t\t640x350 85 Hz                   :  yes\r\n"), std::string::npos);
  EXPECT_EQ(section.find("640x400 85 Hz"), std::string::npos);  // the flags not set stay out
  EXPECT_NE(section.find("\t\tMax vertical rate (Hz)          :  300\r\n"), std::string::npos);
  // A 1.3 block gets no such section.
  block.SetVersion(1, 3);
  EXPECT_EQ(FormatEdidReport(block), FormatReport(block) + FormatHexDump(block));
}

}  // namespace
}  // namespace tolvex
