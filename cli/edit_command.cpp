// `tolvex-cli edit` and `tolvex-cli diff`: the edit operations of model/ on a whole EDID from a
// file, and the decoded fields and bytes in which two EDIDs differ.
#include <charconv>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "check/edid_check.h"
#include "cli/cli_texts.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "ddc/format_text.h"
#include "model/task_edits.h"
#include "report/edid_diff.h"
#include "report/edid_report.h"

namespace tolvex {

namespace {

using Operation = std::function<EditResult(EdidData&)>;

// Text to a whole number, all of it.
std::optional<int> WholeNumber(std::string_view text) {
  int number = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
  if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) return std::nullopt;
  return number;
}
std::optional<double> RealNumber(std::string_view text) {
  double number = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) return std::nullopt;
  return number;
}

// "A,B,C" into its parts.
std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (size_t from = 0;;) {
    const size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

std::optional<Operation> ParseVrr(std::string_view value) {
  const std::vector<std::string_view> parts = Split(value, ',');
  if (parts.size() > 2 || (parts.size() == 2 && parts[1] != "amd")) return std::nullopt;
  const std::vector<std::string_view> range = Split(parts[0], '-');
  if (range.size() != 2) return std::nullopt;
  const auto low = WholeNumber(range[0]), high = WholeNumber(range[1]);
  if (!low || !high) return std::nullopt;
  const bool amd = parts.size() == 2;
  return [=](EdidData& edid) { return SetVrrRange(edid, *low, *high, amd); };
}

std::optional<Operation> ParseMaxTmds(std::string_view value) {
  const std::vector<std::string_view> parts = Split(value, ',');
  if (parts.size() > 2) return std::nullopt;
  const auto mhz = WholeNumber(parts[0]);
  const std::optional<int> frl = parts.size() == 2 ? WholeNumber(parts[1]) : std::nullopt;
  if (!mhz || (parts.size() == 2 && !frl)) return std::nullopt;
  return [=](EdidData& edid) { return SetMaxTmds(edid, *mhz, frl); };
}

std::optional<Operation> ParseLuminance(std::string_view value) {
  const std::vector<std::string_view> parts = Split(value, ',');
  if (parts.size() > 3) return std::nullopt;
  std::vector<double> numbers;
  for (std::string_view part : parts) {
    const auto number = RealNumber(part);
    if (!number) return std::nullopt;
    numbers.push_back(*number);
  }
  const std::optional<double> avg = numbers.size() > 1 ? std::optional(numbers[1]) : std::nullopt;
  const std::optional<double> min = numbers.size() > 2 ? std::optional(numbers[2]) : std::nullopt;
  return [=](EdidData& edid) { return SetHdrLuminance(edid, numbers[0], avg, min); };
}

std::optional<Operation> ParseTiming(std::string_view value) {
  const std::vector<std::string_view> parts = Split(value, ',');
  if (parts.size() > 2 || (parts.size() == 2 && parts[1] != "rb2")) return std::nullopt;
  const size_t x = parts[0].find('x'), at = parts[0].find('@');
  if (x == std::string_view::npos || at == std::string_view::npos || at < x) return std::nullopt;
  const auto width = WholeNumber(parts[0].substr(0, x));
  const auto height = WholeNumber(parts[0].substr(x + 1, at - x - 1));
  const auto hz = RealNumber(parts[0].substr(at + 1));
  if (!width || !height || !hz) return std::nullopt;
  const bool rb2 = parts.size() == 2;
  return [=](EdidData& edid) { return AddCvtTiming(edid, *width, *height, *hz, rb2); };
}

std::optional<Operation> ParseSet(std::string_view value) {
  const size_t equals = value.find('=');
  if (equals == std::string_view::npos || equals == 0) return std::nullopt;
  const std::string path(value.substr(0, equals)), text(value.substr(equals + 1));
  return [=](EdidData& edid) { return SetField(edid, path, text); };
}

// An option that takes a whole number, run by `edit`.
template <EditResult (*Edit)(EdidData&, int)>
std::optional<Operation> ParseNumbered(std::string_view value) {
  const auto number = WholeNumber(value);
  if (!number) return std::nullopt;
  return [n = *number](EdidData& edid) { return Edit(edid, n); };
}

std::optional<Operation> ParseRgbOnly(std::string_view) {
  return [](EdidData& edid) { return MakeRgbOnly(edid); };
}

struct EditOption {
  std::string_view name;
  std::string_view takes;  // what the usage error says the value is
  std::optional<Operation> (*parse)(std::string_view value);
};
constexpr EditOption kEditOptions[] = {
    {"vrr", "MIN-MAX or MIN-MAX,amd", ParseVrr},
    {"rgb-only", "", ParseRgbOnly},
    {"max-tmds", "MHZ or MHZ,GBPS", ParseMaxTmds},
    {"add-vic", "a VIC number", ParseNumbered<AddVic>},
    {"remove-vic", "a VIC number", ParseNumbered<RemoveVic>},
    {"hdr-luminance", "MAX[,AVG[,MIN]] in cd/m^2", ParseLuminance},
    {"add-timing", "WxH@HZ or WxH@HZ,rb2", ParseTiming},
    {"remove-block", "a block number", ParseNumbered<RemoveExtensionBlock>},
    {"set", "PATH=VALUE", ParseSet},
};

const EditOption* FindEditOption(std::string_view name) {
  for (const EditOption& option : kEditOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

// A finding was there before when the same rule said the same, or said it of the same bytes
// (with other numbers): an edit that moves bytes moves the offsets, one that widens a limit
// changes the numbers of what still lies outside it.
bool SameFinding(const CheckFinding& a, const CheckFinding& b) {
  return a.level == b.level && a.rule == b.rule && (a.text == b.text || (a.first == b.first && a.last == b.last));
}

void PrintAddedFindings(const std::string& name, const CheckFindings& before, const CheckFindings& after,
                        std::ostream& out) {
  for (const CheckFinding& finding : after) {
    const bool old = std::any_of(before.begin(), before.end(), [&](const CheckFinding& b) { return SameFinding(b, finding); });
    if (!old) out << name << cli_texts::kFileSeparator << FormatFinding(finding) << '\n';
  }
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Raw binary, or the report when the name ends in .ddc (with IN's two format settings).
std::string OutputOf(const std::string& path, const EdidData& edid, const EdidFile& in) {
  if (!EndsWith(path, ".ddc")) return std::string(edid.begin(), edid.end());
  LoadedEdid loaded;
  std::copy_n(edid.begin(), kEdidSize, loaded.block.Bytes().begin());
  loaded.block.SetProductCodeFormat(in.productCodeFormat);
  loaded.block.SetSerialFormat(in.serialFormat);
  for (size_t at = kEdidSize; at < edid.size(); at += kEdidSize) {
    EdidBytes& block = loaded.extensions.blocks.emplace_back();
    std::copy_n(edid.begin() + static_cast<std::ptrdiff_t>(at), kEdidSize, block.begin());
  }
  return FormatEdidReport(loaded.block, loaded.extensions.blocks);
}

// The whole EDID of a file, or the message why there is none.
std::optional<EdidData> WholeOf(const std::string& name, const EdidFile& file, const CommandStreams& streams) {
  if (!file.ok) {
    PrintFileError(streams.err, DisplayName(name), file.error);
    return std::nullopt;
  }
  if (file.extensions.missingBytes > 0) {
    PrintFileError(streams.err, DisplayName(name), FormatText(cli_texts::kEditIncomplete, file.extensions.missingBytes));
    return std::nullopt;
  }
  return JoinWholeEdid(file.bytes, file.extensions);
}

}  // namespace

std::optional<std::string> CheckEditUsage(const Invocation& call) {
  bool any = false;
  for (const auto& [name, value] : call.sequence) {
    const EditOption* option = FindEditOption(name);
    if (!option) continue;
    any = true;
    if (!option->parse(value)) {
      return FormatText(cli_texts::kEditValue, std::string(name).c_str(), std::string(option->takes).c_str(), value.c_str());
    }
  }
  if (!any) return std::string(cli_texts::kNoEditOperation);
  return std::nullopt;
}

// Every edit runs on the EDID as the one before left it; the first refusal ends the command
// before anything is written.
int RunEdit(const Invocation& call, const CommandStreams& streams) {
  const std::string& in = call.files[0];
  const std::string& out = call.files[1];
  const EdidFile file = LoadInput(in, streams.environment);
  std::optional<EdidData> loaded = WholeOf(in, file, streams);
  if (!loaded) return 1;
  EdidData edid = std::move(*loaded);
  // With OUT on standard output, what the edits say goes to standard error.
  const bool toStandardOutput = out == cli_texts::kStandardOutput;
  std::ostream& says = toStandardOutput ? streams.err : streams.out;
  CheckFindings findings = CheckEdid(edid);
  for (const auto& [name, value] : call.sequence) {
    const EditOption* option = FindEditOption(name);
    if (!option) continue;
    const EditResult result = (*option->parse(value))(edid);
    if (!result.Ok()) {
      PrintFileError(streams.err, DisplayName(in),
                     FormatText(cli_texts::kEditRefused, std::string(name).c_str(), result.error.c_str()));
      return 1;
    }
    for (const std::string& note : result.notes) says << note << '\n';
    CheckFindings after = CheckEdid(edid);
    PrintAddedFindings(toStandardOutput ? cli_texts::kStandardOutputName : out, findings, after, says);
    findings = std::move(after);
  }
  const std::string content = OutputOf(out, edid, file);
  if (toStandardOutput) {
    streams.out << content;
    streams.out.flush();
    return 0;
  }
  std::string error;
  if (!WriteOutput(out, content, error)) {
    PrintFileError(streams.err, out, error);
    return 1;
  }
  streams.out.flush();
  return 0;
}

int RunDiff(const Invocation& call, const CommandStreams& streams) {
  const std::optional<EdidData> a = WholeOf(call.files[0], LoadInput(call.files[0], streams.environment), streams);
  const std::optional<EdidData> b = WholeOf(call.files[1], LoadInput(call.files[1], streams.environment), streams);
  if (!a || !b) return 1;
  const EdidDifference difference = DiffEdids(*a, *b);
  streams.out << difference.text;
  streams.out.flush();
  return difference.same ? 0 : 1;
}

}  // namespace tolvex
