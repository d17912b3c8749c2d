// The VIC, DMT and HDMI VIC tables against a peer: every entry's timing is the one edid-decode
// gives for that code (--vic, --dmt, --hdmi-vic with long timings), refresh rate included.
// Skipped without edid-decode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>

#include "model/dmt_table.h"
#include "model/vic_table.h"
#include "test_support.h"

namespace tolvex {
namespace {

// "1920x1080i 50.000000 Hz 16:9 ... 72.000000 MHz / Hfront 32 Hsync 168 Hback 184 Hpol P
// [Hborder 8] / Vfront ..." as the same words our table gives.
std::string PeerTiming(const std::string& output) {
  static const std::regex kHead(R"(:\s+(\d+x\d+i?)\s+([\d.]+) Hz\s+(\d+:\d+)\s+[\d.]+ kHz\s+([\d.]+) MHz)");
  static const std::regex kH(R"(Hfront\s+(\d+) Hsync\s+(\d+) Hback\s+(-?\d+) Hpol ([PN])(?: Hborder (\d+))?)");
  static const std::regex kV(R"(Vfront\s+(\d+) Vsync\s+(\d+) Vback\s+(-?\d+) Vpol ([PN])(?: Vborder (\d+))?)");
  std::smatch head, h, v;
  if (!std::regex_search(output, head, kHead) || !std::regex_search(output, h, kH) || !std::regex_search(output, v, kV)) {
    return "unparsed: " + output;
  }
  char text[256];
  std::snprintf(text, sizeof text, "%s %.4f Hz %s %ld kHz h %s %s %s %s %s v %s %s %s %s %s", head[1].str().c_str(),
                std::stod(head[2].str()), head[3].str().c_str(), std::lround(std::stod(head[4].str()) * 1000),
                h[1].str().c_str(), h[2].str().c_str(), h[3].str().c_str(), h[4].str().c_str(),
                h[5].matched ? h[5].str().c_str() : "0", v[1].str().c_str(), v[2].str().c_str(), v[3].str().c_str(),
                v[4].str().c_str(), v[5].matched ? v[5].str().c_str() : "0");
  return text;
}

std::string OurTiming(const VideoTiming& t) {
  char text[256];
  std::snprintf(text, sizeof text, "%dx%d%s %.4f Hz %d:%d %u kHz h %d %d %d %c %d v %d %d %d %c %d", t.hActive, t.vActive,
                t.interlaced ? "i" : "", t.RefreshHz(), t.aspectH, t.aspectV, t.pixelClockKHz, t.hFront, t.hSync, t.hBack,
                t.hSyncPositive ? 'P' : 'N', t.hBorder, t.vFront, t.vSync, t.vBack, t.vSyncPositive ? 'P' : 'N', t.vBorder);
  return text;
}

TEST(VideoTablesAgainstEdidDecode, EveryVicDmtAndHdmiVic) {
  if (test::RunCommand("command -v edid-decode").empty()) GTEST_SKIP() << "edid-decode is not installed";
  for (const VicEntry& entry : kVicTable) {
    EXPECT_EQ(OurTiming(entry.timing), PeerTiming(test::RunCommand("edid-decode --vic " + std::to_string(entry.vic) + " -L")))
        << "VIC " << int{entry.vic};
  }
  for (const DmtEntry& entry : kDmtTable) {
    EXPECT_EQ(OurTiming(entry.timing), PeerTiming(test::RunCommand("edid-decode --dmt " + std::to_string(entry.id) + " -L")))
        << "DMT " << int{entry.id};
  }
  for (int hdmiVic = 1; hdmiVic <= static_cast<int>(kHdmiVicToVic.size()); ++hdmiVic) {
    EXPECT_EQ(OurTiming(*FindVic(HdmiVicToVic(hdmiVic))),
              PeerTiming(test::RunCommand("edid-decode --hdmi-vic " + std::to_string(hdmiVic) + " -L")))
        << "HDMI VIC " << hdmiVic;
  }
  // Established timings III name DMT modes the table has.
  for (const uint8_t id : kEstablishedTimings3) EXPECT_NE(FindDmt(id), nullptr) << int{id};
  // The gaps of the VIC numbering have no format.
  for (const int vic : {0, 128, 150, 192, 220, 255}) EXPECT_EQ(FindVic(vic), nullptr) << vic;
}

}  // namespace
}  // namespace tolvex
