// The edit operations judged by a peer: each task edit, applied to real whole EDIDs, must give
// bytes that edid-decode decodes to the intended values and that add no failure to its --check;
// an edit refused (for lack of room, say) must leave every byte as it was. Refusals of edits
// that cannot be done have their own table. Skipped without edid-decode or the EDIDs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/decoded_edid.h"
#include "model/edid_block.h"
#include "model/edid_edit.h"
#include "model/field_paths.h"
#include "model/task_edits.h"
#include "test_support.h"

namespace tolvex {
namespace {

EdidData Load(const std::filesystem::path& path) {
  const std::string bytes = test::ReadFile(path);
  return EdidData(bytes.begin(), bytes.end());
}

bool HasKind(const EdidData& edid, std::string_view kind) {
  for (const FieldAtPath& at : FieldPaths(DecodeEdid(edid))) {
    if (at.field.key == "kind" && at.field.value.text == kind) return true;
  }
  return false;
}
bool HasVic(const EdidData& edid, int vic) {
  for (const FieldAtPath& at : FieldPaths(DecodeEdid(edid))) {
    if (at.field.key == "vic" && at.path.find("svds") != std::string::npos && at.field.value.number == vic) return true;
  }
  return false;
}

// What edid-decode prints for the bytes, with --check's findings.
std::string PeerReport(const EdidData& edid) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("tolvex-edit-" + std::to_string(::getpid()) + ".bin");
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(edid.data()), static_cast<std::streamsize>(edid.size()));
  const std::string report = test::RunCommand("edid-decode --check '" + file.string() + "' 2>&1");
  std::filesystem::remove(file);
  return report;
}

// The lines of the "Failures:" part, each with the heading of its block; the numbers a failure
// lists under it (deeper indented) belong to the failure, not to what is new.
std::set<std::string> PeerFailures(const std::string& report) {
  std::set<std::string> failures;
  std::istringstream in(report);
  std::string line, heading;
  bool inFailures = false;
  while (std::getline(in, line)) {
    if (line == "Failures:") inFailures = true;
    if (!inFailures || line.empty() || line.starts_with("EDID conformity") || line.starts_with("    ")) continue;
    if (line[0] != ' ') {
      heading = line;
    } else {
      failures.insert(heading + line);
    }
  }
  return failures;
}

struct EditCase {
  const char* name;
  std::function<bool(const EdidData&)> applies;
  std::function<EditResult(EdidData&)> edit;
  // Patterns edid-decode's output must hold; one starting with '!' it must not.
  std::vector<std::string> facts;
};

const std::vector<EditCase>& Cases() {
  static const std::vector<EditCase> cases = {
      {"VRR in the HDMI Forum block", [](const EdidData& e) { return HasKind(e, "hdmi-forum"); },
       [](EdidData& e) { return SetVrrRange(e, 40, 120, false); }, {"VRRmin: 40 Hz", "VRRmax: 120 Hz"}},
      {"VRR in the AMD block", [](const EdidData& e) { return HasKind(e, "amd"); },
       [](EdidData& e) { return SetVrrRange(e, 40, 120, false); },
       {"Minimum Refresh Rate: 40 Hz", "Maximum Refresh Rate: 120 Hz"}},
      {"VRR adds the AMD block", [](const EdidData& e) { return HasKind(e, "cta-861") && !HasKind(e, "amd"); },
       [](EdidData& e) { return SetVrrRange(e, 48, 75, true); }, {"\\(AMD\\)", "Maximum Refresh Rate: 75 Hz"}},
      {"RGB only", [](const EdidData& e) { return HasKind(e, "cta-861"); }, [](EdidData& e) { return MakeRgbOnly(e); },
       {"!Supports YCbCr 4:4:4", "!Supports YCbCr 4:2:2", "!YCbCr 4:2:0"}},
      {"max TMDS 300 MHz", [](const EdidData& e) { return HasKind(e, "hdmi"); },
       [](EdidData& e) { return SetMaxTmds(e, 300, std::nullopt); }, {"Maximum TMDS clock: 300 MHz"}},
      {"max TMDS 600 MHz, FRL 24 Gbit/s", [](const EdidData& e) { return HasKind(e, "hdmi-forum"); },
       [](EdidData& e) { return SetMaxTmds(e, 600, 24); },
       {"Maximum TMDS clock: 340 MHz", "Maximum TMDS Character Rate: 600 MHz", "6 Gbps on 4 lanes"}},
      {"add VIC 97", [](const EdidData& e) { return HasKind(e, "video") && !HasVic(e, 97); },
       [](EdidData& e) { return AddVic(e, 97); }, {"VIC\\s+97:"}},
      {"remove VIC 16", [](const EdidData& e) { return HasVic(e, 16); }, [](EdidData& e) { return RemoveVic(e, 16); },
       {"!VIC\\s+16:"}},
      {"HDR luminance", [](const EdidData& e) { return HasKind(e, "hdr-static"); },
       [](EdidData& e) { return SetHdrLuminance(e, 1000, 400, 0.05); },
       {"Desired content max luminance: 138 ", "Desired content max frame-average luminance: 96 ",
        "Desired content min luminance: 18 "}},
      {"add 2560x1440@75", [](const EdidData&) { return true; }, [](EdidData& e) { return AddCvtTiming(e, 2560, 1440, 75, false); },
       {"2560x1440\\s+74\\.9\\d+ Hz"}},
      {"add 3840x2160@144 (too fast for a DTD)", [](const EdidData&) { return true; },
       [](EdidData& e) { return AddCvtTiming(e, 3840, 2160, 144, false); }, {"3840x2160\\s+143\\.9\\d+ Hz"}},
      {"remove block 2", [](const EdidData& e) { return BlockCount(e) == 3; },
       [](EdidData& e) { return RemoveExtensionBlock(e, 2); }, {"Extension blocks: 1"}},
  };
  return cases;
}

constexpr int kFilesPerCase = 6;

TEST(EditAgreementWithEdidDecode, EveryTaskEditOnRealEdids) {
  const auto files = test::WholeEdidFiles();
  if (files.empty()) GTEST_SKIP() << "no whole EDIDs";
  if (test::RunCommand("command -v edid-decode").empty()) GTEST_SKIP() << "edid-decode is not installed";

  for (const EditCase& c : Cases()) {
    int done = 0, tried = 0;
    for (size_t i = 0; i < files.size() && tried < kFilesPerCase; ++i) {
      const EdidData original = Load(files[i]);
      if (!c.applies(original)) continue;
      ++tried;
      EdidData edid = original;
      const EditResult result = c.edit(edid);
      const std::string where = std::string(c.name) + " on " + files[i].filename().string();
      if (!result.Ok()) {
        EXPECT_EQ(edid, original) << where << ": refused (" << result.error << ") but changed bytes";
        EXPECT_FALSE(result.error.empty());
        continue;
      }
      ++done;
      const std::string report = PeerReport(edid);
      for (const std::string& fact : c.facts) {
        const bool absent = fact[0] == '!';
        const bool found = std::regex_search(report, std::regex(absent ? fact.substr(1) : fact));
        EXPECT_NE(found, absent) << where << ": " << fact << "\n" << report;
      }
      const std::set<std::string> before = PeerFailures(PeerReport(original));
      for (const std::string& failure : PeerFailures(report)) {
        EXPECT_TRUE(before.contains(failure)) << where << ": new failure: " << failure;
      }
    }
    EXPECT_GT(done, 0) << c.name << ": done on none of " << tried << " EDIDs";
  }
}

// Edits that cannot be done: the reason, and the bytes as they were.
TEST(EditRefusals, NameTheReasonAndChangeNothing) {
  const EdidBlock base(test::FixedDate(2024, 5, 1));
  const EdidData cta = test::MakeWholeEdid(base.Bytes(), {test::MakeCtaBlock()});
  const EdidData baseOnly(cta.begin(), cta.begin() + 128);
  const std::vector<uint8_t> big(32, 0x5F);  // tag 2, 31 bytes: a full Video Data Block
  struct Refusal {
    const char* name;
    const EdidData& edid;
    std::function<EditResult(EdidData&)> edit;
    const char* reason;  // a part of the message
  } refusals[] = {
      {"data blocks beyond 123 bytes", cta,
       [&](EdidData& e) {
         return Transact(e, [&](EdidData& w) {
           for (int i = 0; i < 4; ++i) {
             if (EditResult r = InsertDataBlock(w, 1, -1, big); !r.Ok()) return r;
           }
           return EditResult{};
         });
       },
       "bytes missing"},
      {"no block 5", cta, [](EdidData& e) { return RemoveExtensionBlock(e, 5); }, "there is no block 5"},
      {"the base block", cta, [](EdidData& e) { return RemoveExtensionBlock(e, 0); }, "base block"},
      {"VRR upside down", cta, [](EdidData& e) { return SetVrrRange(e, 120, 40, true); }, "MIN-MAX"},
      {"VRR too high for the AMD block", cta, [](EdidData& e) { return SetVrrRange(e, 48, 300, true); }, "at most"},
      {"TMDS above 340 MHz without HDMI Forum", cta, [](EdidData& e) { return SetMaxTmds(e, 400, std::nullopt); },
       "HDMI Forum"},
      {"no CTA block for a VIC", baseOnly, [](EdidData& e) { return AddVic(e, 16); }, "no CTA-861"},
      {"a VIC twice", cta, [](EdidData& e) { return AddVic(e, 16); }, "already"},
      {"an unknown VIC", cta, [](EdidData& e) { return AddVic(e, 250); }, "not a video format"},
      {"a VIC not there", cta, [](EdidData& e) { return RemoveVic(e, 97); }, "in no Video Data Block"},
      {"no HDR block", cta, [](EdidData& e) { return SetHdrLuminance(e, 1000, std::nullopt, std::nullopt); }, "HDR Static"},
      {"a path that is not there", cta, [](EdidData& e) { return SetField(e, "blocks[1].nothing", "1"); }, "no decoded field"},
      {"a value too big", cta, [](EdidData& e) { return SetField(e, "blocks[1].data_blocks[2].physical_a", "16"); },
       "0 to 15"},
      {"a derived value", cta, [](EdidData& e) { return SetField(e, "blocks[1].dtds[0].refresh_hz", "50"); }, "derived"},
      {"an item's kind", cta, [](EdidData& e) { return SetField(e, "blocks[1].data_blocks[0].kind", "audio"); }, "kind"},
  };
  for (const Refusal& r : refusals) {
    EdidData edid = r.edid;
    const EditResult result = r.edit(edid);
    EXPECT_FALSE(result.Ok()) << r.name;
    EXPECT_NE(result.error.find(r.reason), std::string::npos) << r.name << ": " << result.error;
    EXPECT_EQ(edid, r.edid) << r.name;
  }
}

}  // namespace
}  // namespace tolvex
