#include "report/edid_report.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "model/base_reading.h"
#include "model/bits.h"
#include "model/decoded_edid.h"
#include "model/edid_extensions.h"
#include "model/edid_tables.h"
#include "report/decoded_lines.h"
#include "report/report_texts.h"

namespace tolvex {

namespace {

namespace rt = report_text;

// Room for a full report of four descriptors, so building it never reallocates.
constexpr size_t kReportCapacity = 8192;
constexpr size_t kHexDumpCapacity = 1280;
constexpr size_t kExtensionSectionCapacity = 12288;

// Appends to the one string the report is built in. Numbers go through std::to_chars: no locale,
// no allocation, and the same digits printf would give.
class ReportOut {
 public:
  explicit ReportOut(std::string& text) : text_(text) {}

  ReportOut& Text(std::string_view text) {
    text_.append(text);
    return *this;
  }
  ReportOut& Char(char c) {
    text_.push_back(c);
    return *this;
  }
  // "%d"
  ReportOut& Decimal(long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return Text(std::string_view(digits, static_cast<size_t>(end - digits)));
  }
  // "%0*d" for values that are never negative.
  ReportOut& ZeroPaddedDecimal(uint32_t value, int width) { return Padded(value, 10, width); }
  // "%0*X"
  ReportOut& HexUpper(uint32_t value, int width) { return Padded(value, 16, width); }
  // "%g": six significant digits, trailing zeros and a bare decimal point dropped.
  ReportOut& Real(double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6).ptr;
    return Text(std::string_view(digits, static_cast<size_t>(end - digits)));
  }

  void EndLine() { text_.append(rt::kLineEnd); }
  void Line(std::string_view text) { Text(text).EndLine(); }
  void EmptyLine() { EndLine(); }
  void Line(const rt::BitLine& line, int bit) { Line(bit ? line.set : line.clear); }
  void DecimalLine(std::string_view label, long long value) { Text(label).Decimal(value).EndLine(); }
  void RealLine(std::string_view label, double value) { Text(label).Real(value).EndLine(); }

 private:
  ReportOut& Padded(uint32_t value, unsigned radix, int width) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    char digits[32];
    int count = 0;
    do {
      digits[count++] = kDigits[value % radix];
      value /= radix;
    } while (value != 0);
    while (count < width && count < static_cast<int>(sizeof digits)) digits[count++] = '0';
    while (count > 0) text_.push_back(digits[--count]);
    return *this;
  }

  std::string& text_;
};

// ---- 1. Title -------------------------------------------------------------------------------

void WriteTitle(ReportOut& out) {
  out.Line(rt::kSeparator);
  out.Line(rt::kTitle);
  out.Line(rt::kSeparator);
  out.EmptyLine();
}

// ---- 2. Identification, bytes 8-19 ----------------------------------------------------------

// Bytes 10-11. A code entered byte-swapped is swapped back, so the report shows it as typed.
void WriteProductCode(ReportOut& out, const EdidBlock& block) {
  const uint8_t format = block.GetProductCodeFormat();
  const bool swapped = (format & kProductCodeSwapped) != 0;
  uint16_t code = block.GetProductCode();
  if (swapped) code = static_cast<uint16_t>(code << 8 | code >> 8);

  if (format & kProductCodeDecimal) {
    out.ZeroPaddedDecimal(code, 5).Text(rt::kProductCodeDecimalMark);
  } else {
    out.HexUpper(code, 4).Text(rt::kProductCodeHexMark);
  }
  if (swapped) out.Text(rt::kProductCodeSwapMark);
  out.Text(rt::kProductCodeMarkEnd);
}

char OnOneLine(char c) { return c == '\r' || c == '\n' ? rt::kSerialLineBreakStandIn : c; }

// Bytes 12-15.
void WriteSerialNumber(ReportOut& out, const EdidBlock& block) {
  const uint32_t serial = block.GetSerialNumber();
  switch (block.GetSerialFormat()) {
    case kSerialHex:
      out.HexUpper(serial, 1).Text(rt::kSerialHexMark);
      break;
    case kSerialDecimal:
      // Signed, as the program has always printed it: 0xFFFFFFFF reads -1.
      out.Decimal(static_cast<int32_t>(serial)).Text(rt::kSerialDecimalMark);
      break;
    case kSerialAscii:
      // Bytes 15, 14, 13, 12 as they are, the first character on top; only a line break would
      // split the line a reader takes the serial format from.
      for (int shift = 24; shift >= 0; shift -= 8) out.Char(OnOneLine(static_cast<char>(serial >> shift & 0xFF)));
      out.Text(rt::kSerialAsciiMark);
      break;
    default:  // bit 7, the unused mark
      out.Text(rt::kUnused);
      break;
  }
}

void WriteIdentification(ReportOut& out, const EdidBlock& block) {
  out.Line(rt::kIdentificationHeading);
  out.Text(rt::kManufacturerLabel).Text(block.GetManufacturerId()).EndLine();  // bytes 8-9
  out.Text(rt::kProductCodeLabel);
  WriteProductCode(out, block);
  out.EndLine();
  out.Text(rt::kSerialNumberLabel);
  WriteSerialNumber(out, block);
  out.EndLine();
  out.DecimalLine(rt::kWeekLabel, block.GetWeek());  // byte 16
  out.DecimalLine(rt::kYearLabel, block.GetYear());  // byte 17
  out.EmptyLine();
}

// Bytes 18-19.
void WriteVersion(ReportOut& out, const EdidBlock& block) {
  const EdidVersion version = block.GetVersion();
  out.Line(rt::kVersionHeading);
  out.DecimalLine(rt::kVersionLabel, version.version);
  out.DecimalLine(rt::kRevisionLabel, version.revision);
  out.EmptyLine();
}

// ---- 3. Basic display parameters, bytes 20-24 -----------------------------------------------

// Byte 20. Bit 0 of a digital input only means DFP compatibility from version 1.3 on.
void WriteVideoInput(ReportOut& out, const EdidBlock& block) {
  if (block.IsDigitalInput()) {
    out.Line(rt::kDigitalInput);
    if (block.IsVersion13() && block.GetSerration()) out.Line(rt::kDfpCompatible);
    return;
  }
  out.Line(rt::kAnalogInput);
  out.Text(rt::kContinuation).Line(kSignalLevelTexts[block.GetSignalLevel()]);  // bits 6-5
  out.Line(rt::kBlankToBlackSetup, block.GetBlankToBlackSetup());                // bit 4
  out.Line(rt::kSeparateSync, block.GetSeparateSync());                          // bit 3
  out.Line(rt::kCompositeSync, block.GetCompositeSync());                        // bit 2
  out.Line(rt::kSyncOnGreen, block.GetSyncOnGreen());                            // bit 1
  out.Line(rt::kSerration, block.GetSerration());                                // bit 0
}

// Byte 24.
void WriteFeatures(ReportOut& out, const EdidBlock& block) {
  out.Line(rt::kStandby, block.GetStandby());      // bit 7
  out.Line(rt::kSuspend, block.GetSuspend());      // bit 6
  out.Line(rt::kActiveOff, block.GetActiveOff());  // bit 5
  out.EmptyLine();
  out.Text(rt::kDisplayTypeLabel).Line(kDisplayTypeTexts[block.GetDisplayType()]);  // bits 4-3
  if (block.GetStandardColorSpace()) out.Line(rt::kStandardColorSpace);              // bit 2
  if (block.GetPreferredTiming()) out.Line(rt::kPreferredTiming);                    // bit 1
  if (block.GetGtfSupported()) out.Line(rt::kGtfSupported);                          // bit 0
  out.EmptyLine();
}

void WriteBasicParameters(ReportOut& out, const EdidBlock& block) {
  out.Line(rt::kBasicParametersHeading);
  WriteVideoInput(out, block);
  out.EmptyLine();
  out.DecimalLine(rt::kMaxHImageSizeLabel, block.GetMaxImageWidth());   // byte 21
  out.DecimalLine(rt::kMaxVImageSizeLabel, block.GetMaxImageHeight());  // byte 22
  out.EmptyLine();
  out.RealLine(rt::kGammaLabel, block.GetGamma());  // byte 23
  out.Line(rt::kGammaNote);
  out.EmptyLine();
  WriteFeatures(out, block);
}

// ---- 4. Colour characteristics, bytes 25-34 -------------------------------------------------

void WriteColorCharacteristics(ReportOut& out, const EdidBlock& block) {
  const Chromaticity xy = block.GetChromaticity();
  out.Line(rt::kColorHeading);
  for (size_t i = 0; i < xy.size(); ++i) out.RealLine(rt::kChromaticityLabels[i], xy[i]);
  out.EmptyLine();
}

// ---- 5. Established timings, bytes 35-37 ----------------------------------------------------

// The first timing shares the label's line; each further one gets a continuation line.
void WriteEstablishedGroup(ReportOut& out, const rt::EstablishedGroup& group, uint8_t bits) {
  out.Text(group.label);
  bool first = true;
  for (const EstablishedTiming& timing : kEstablishedTimings) {
    if (timing.offset != group.offset || !GetBit(bits, timing.bit)) continue;
    if (!first) out.Text(rt::kContinuation);
    out.Line(timing.text);
    first = false;
  }
  if (first) out.EndLine();
  out.EmptyLine();
}

void WriteEstablishedTimings(ReportOut& out, const EdidBlock& block) {
  const std::array<uint8_t, 3> bits = block.GetEstablishedTimings();
  out.Line(rt::kEstablishedHeading);
  for (const rt::EstablishedGroup& group : rt::kEstablishedGroups) {
    WriteEstablishedGroup(out, group, bits[group.offset - rt::kEstablishedGroups[0].offset]);
  }
}

// ---- 6. Standard timings, bytes 38-53 (and the entries of a 0xFA descriptor) ----------------

// Only 01 01 marks an entry unused; 00 00 is a real 248-pixel entry and is written.
bool WriteStdTimingEntry(ReportOut& out, const EdidBlock& block, int slot, std::string_view heading) {
  if (block.IsStdTimingUnused(slot)) return false;
  const unsigned aspect = block.GetStdTimingAspect(slot);
  out.Text(heading).Decimal(slot + 1).EndLine();
  out.DecimalLine(rt::kStdTimingWidthLabel, block.GetStdTimingWidth(slot));
  out.Text(rt::kStdTimingAspectLabel)
      .Line(aspect == 0 && block.IsVersion13() ? kAspectRatio16x10 : kAspectRatioTexts[aspect]);
  out.DecimalLine(rt::kStdTimingRefreshLabel, block.GetStdTimingRefresh(slot));
  out.EmptyLine();
  return true;
}

void WriteStandardTimings(ReportOut& out, const EdidBlock& block) {
  bool any = false;
  for (int slot = 0; slot < kBaseStdTimingSlots; ++slot) {
    any |= WriteStdTimingEntry(out, block, slot, rt::kStdTimingHeading);
  }
  if (!any) {
    out.Line(rt::kStdTimingsUnused);
    out.EmptyLine();
  }
}

// ---- 7. Descriptor blocks, bytes 54-125 -----------------------------------------------------

// Flag byte 17: bit 7 interlace, bits 6-5 and 0 the stereo code, bits 4-1 the sync code.
void WriteTimingFlags(ReportOut& out, const EdidBlock& block) {
  out.Line(rt::kInterlaced, block.GetInterlaced());

  const rt::StereoLines& stereo = rt::kStereoLines[block.GetStereoMode()];
  out.Line(stereo.first);
  if (!stereo.second.empty()) out.Line(stereo.second);

  const unsigned sync = block.GetSyncMode();
  const rt::SyncLines& lines = rt::kSyncLines[GetBits(static_cast<uint8_t>(sync), 3, 2)];
  out.Line(lines.type);
  out.Line(lines.bit2, GetBit(static_cast<uint8_t>(sync), 1));  // flag bit 2
  out.Line(lines.bit1, GetBit(static_cast<uint8_t>(sync), 0));  // flag bit 1
}

void WriteDetailedTiming(ReportOut& out, const EdidBlock& block, int number) {
  out.Text(rt::kDetailedTimingHeading).Decimal(number).EndLine();
  out.RealLine(rt::kPixelClockLabel, block.GetPixelClock());       // bytes 0-1
  out.DecimalLine(rt::kHActiveLabel, block.GetHActive());          // bytes 2, 4
  out.DecimalLine(rt::kHBlankingLabel, block.GetHBlanking());      // bytes 3, 4
  out.DecimalLine(rt::kVActiveLabel, block.GetVActive());          // bytes 5, 7
  out.DecimalLine(rt::kVBlankingLabel, block.GetVBlanking());      // bytes 6, 7
  out.DecimalLine(rt::kHSyncOffsetLabel, block.GetHSyncOffset());  // bytes 8, 11
  out.DecimalLine(rt::kHSyncWidthLabel, block.GetHSyncWidth());    // bytes 9, 11
  out.DecimalLine(rt::kVSyncOffsetLabel, block.GetVSyncOffset());  // bytes 10, 11
  out.DecimalLine(rt::kVSyncWidthLabel, block.GetVSyncWidth());    // bytes 10, 11
  out.DecimalLine(rt::kHImageSizeLabel, block.GetHImageSize());    // bytes 12, 14
  out.DecimalLine(rt::kVImageSizeLabel, block.GetVImageSize());    // bytes 13, 14
  out.DecimalLine(rt::kHBorderLabel, block.GetHBorder());          // byte 15
  out.DecimalLine(rt::kVBorderLabel, block.GetVBorder());          // byte 16
  WriteTimingFlags(out, block);                                    // byte 17
  out.EmptyLine();
}

// Tags 0xFF, 0xFE, 0xFC: payload bytes 5-17 up to the first control or non-ASCII byte.
void WriteTextDescriptor(ReportOut& out, const EdidBlock& block, std::string_view label) {
  out.Text(label).Text(block.GetDescriptorText()).EndLine();
  out.EmptyLine();
}

// Tag 0xFD, bytes 10-17 in version 1.3: the secondary GTF block, when code 2 announces it.
void WriteSecondaryGtf(ReportOut& out, const EdidBlock& block) {
  const SecondaryGtf gtf = block.GetSecondaryGtf();
  if (gtf.code != 2) {
    out.Line(rt::kNoSecondaryGtf);
    out.EmptyLine();
    return;
  }
  out.Line(rt::kSecondaryGtf);
  out.DecimalLine(rt::kGtfStartLabel, gtf.startKHz);  // byte 12
  out.DecimalLine(rt::kGtfCLabel, gtf.c);             // byte 13
  out.DecimalLine(rt::kGtfMLabel, gtf.m);             // bytes 14-15
  out.DecimalLine(rt::kGtfKLabel, gtf.k);             // byte 16
  out.DecimalLine(rt::kGtfJLabel, gtf.j);             // byte 17
  out.EmptyLine();
}

// Tag 0xFD. Before version 1.3 a clock byte of 255 means "no limit" and bytes 10-17 mean nothing.
void WriteRangeLimits(ReportOut& out, const EdidBlock& block) {
  constexpr unsigned kUnspecifiedClockMHz = 2550;
  const RangeLimits limits = block.GetRangeLimits();
  out.Line(rt::kRangeLimitsHeading);
  out.DecimalLine(rt::kMinVerticalLabel, limits.minVerticalHz);       // byte 5
  out.DecimalLine(rt::kMaxVerticalLabel, limits.maxVerticalHz);       // byte 6
  out.DecimalLine(rt::kMinHorizontalLabel, limits.minHorizontalKHz);  // byte 7
  out.DecimalLine(rt::kMaxHorizontalLabel, limits.maxHorizontalKHz);  // byte 8
  out.Text(rt::kMaxPixelClockLabel);                                  // byte 9
  if (block.IsVersion13()) {
    out.Decimal(limits.maxPixelClockMHz).EndLine();
    out.EmptyLine();
    WriteSecondaryGtf(out, block);
    return;
  }
  if (limits.maxPixelClockMHz < kUnspecifiedClockMHz) {
    out.Decimal(limits.maxPixelClockMHz).EndLine();
  } else {
    out.Line(rt::kNotSpecified);
  }
  out.EmptyLine();
}

// Tag 0xFB: two white points, bytes 5-9 and 10-14; index 0 marks one unused.
void WriteColorPoint(ReportOut& out, const EdidBlock& block) {
  out.Line(rt::kColorPointHeading);
  for (unsigned whitePoint = 0; whitePoint < 2; ++whitePoint) {
    const ColorPoint point = block.GetColorPoint(whitePoint);
    out.Text(rt::kWhitePointLabel).Decimal(whitePoint + 1).Text(rt::kWhitePointIndexLabel);
    if (point.index == 0) {
      out.Line(rt::kUnused);
      continue;
    }
    out.Decimal(point.index).EndLine();
    out.RealLine(rt::kWhiteXLabel, point.x);
    out.RealLine(rt::kWhiteYLabel, point.y);
    out.RealLine(rt::kWhiteGammaLabel, point.gamma);
  }
  out.EmptyLine();
}

// Tag 0xFA: six more standard timings, slots 8-13, bytes 5-16.
void WriteStdTimingDescriptor(ReportOut& out, const EdidBlock& block) {
  bool any = false;
  for (int slot = kBaseStdTimingSlots; slot < kStdTimingSlots; ++slot) {
    any |= WriteStdTimingEntry(out, block, slot, rt::kDescriptorStdTimingHeading);
  }
  if (!any) {
    out.Line(rt::kDescriptorStdTimingsUnused);
    out.EmptyLine();
  }
  out.EmptyLine();  // the descriptor closes with one empty line more than its entries
}

const rt::TextDescriptor* FindTextDescriptor(uint8_t tag) {
  for (const rt::TextDescriptor& kind : rt::kTextDescriptors) {
    if (kind.tag == tag) return &kind;
  }
  return nullptr;
}

void WriteMonitorDescriptor(ReportOut& out, const EdidBlock& block, int number, uint8_t tag) {
  out.Text(rt::kMonitorDescriptorHeading).Decimal(number).EndLine();
  if (const rt::TextDescriptor* text = FindTextDescriptor(tag)) {
    WriteTextDescriptor(out, block, text->label);
    return;
  }
  switch (tag) {
    case kTagRangeLimits:
      WriteRangeLimits(out, block);
      break;
    case kTagColorPoint:
      WriteColorPoint(out, block);
      break;
    case kTagStdTimings:
      WriteStdTimingDescriptor(out, block);
      break;
    default:  // a kind this program does not know, including the dummy tag 0x10
      out.Line(rt::kUndefinedDescriptor);
      out.EmptyLine();
      break;
  }
}

// Classification decides, not the look of the bytes: in version 1.0, or without a valid header,
// a block is a detailed timing even when it holds a name.
void WriteDescriptors(ReportOut& out, EdidBlock& block) {
  for (int index = 0; index < kDescriptorCount; ++index) {
    block.SelectDescriptor(static_cast<unsigned>(index));
    const DescriptorTag tag = block.GetDescriptorTag();
    if (tag.isDescriptor) {
      WriteMonitorDescriptor(out, block, index + 1, tag.tag);
    } else {
      WriteDetailedTiming(out, block, index + 1);
    }
  }
}

// ---- 8. Closing, bytes 126-127 --------------------------------------------------------------

// The checksum is printed as stored, right or wrong.
void WriteClosing(ReportOut& out, const EdidBlock& block) {
  out.DecimalLine(rt::kExtensionFlagLabel, block.GetExtensionFlag());
  out.EmptyLine();
  out.Text(rt::kChecksumLabel).HexUpper(block.GetChecksum(), 2).Text(rt::kChecksumSuffix).EndLine();
  out.EmptyLine();
}

void AppendReport(std::string& text, EdidBlock& block) {
  ReportOut out(text);
  WriteTitle(out);
  WriteIdentification(out, block);
  WriteVersion(out, block);
  WriteBasicParameters(out, block);
  WriteColorCharacteristics(out, block);
  WriteEstablishedTimings(out, block);
  WriteStandardTimings(out, block);
  WriteDescriptors(out, block);
  WriteClosing(out, block);
}

// ---- Hex dump -------------------------------------------------------------------------------

// "%3d: %02x". Offsets from 1000 on (extension blocks from the eighth on) are wider: their
// thousands go first, then the rest as three digits.
void AppendDumpCell(std::string& text, int index, uint8_t value) {
  constexpr std::string_view kHexDigits = "0123456789abcdef";
  const bool wide = index >= 1000;
  if (wide) {
    ReportOut(text).Decimal(index / 1000);
    index %= 1000;
  }
  const char cell[] = {
      wide || index >= 100 ? static_cast<char>('0' + index / 100) : ' ',
      wide || index >= 10 ? static_cast<char>('0' + index / 10 % 10) : ' ',
      static_cast<char>('0' + index % 10),
      rt::kDumpIndexEnd[0],
      rt::kDumpIndexEnd[1],
      kHexDigits[value >> 4],
      kHexDigits[value & 0x0F],
  };
  text.append(cell, sizeof cell);
}

// 16 rows of 8 cells for the block whose first byte is at `firstOffset`. The line break comes
// before each row rather than after it, so the heading is followed by an empty line and the last
// row needs a break of its own.
void AppendDumpRows(std::string& text, const EdidBytes& bytes, int firstOffset) {
  ReportOut out(text);
  for (int i = 0; i < kEdidSize; ++i) {
    if (i % rt::kDumpCellsPerRow == 0) {
      out.EndLine();
    } else {
      out.Char(rt::kDumpCellGap);
    }
    AppendDumpCell(text, firstOffset + i, bytes[i]);
  }
  out.EndLine();
}

void AppendHexDump(std::string& text, const EdidBytes& bytes) {
  ReportOut out(text);
  out.EmptyLine();
  out.Line(rt::kSeparator);
  out.Line(rt::kDumpHeading);
  out.Line(rt::kSeparator);
  AppendDumpRows(text, bytes, 0);
}

// ---- Extension blocks -----------------------------------------------------------------------

void WriteExtensionKind(ReportOut& out, const EdidBytes& block) {
  out.Text(rt::kExtensionKindLabel).Text(ExtensionKindText(block)).EndLine();
}

void WriteExtensionChecksum(ReportOut& out, const EdidBytes& block) {
  out.Text(rt::kExtensionChecksumLabel).HexUpper(block[kEdidSize - 1], 2).Text(rt::kChecksumSuffix);
  if (IsChecksumRight(block)) {
    out.Text(rt::kExtensionChecksumRight);
  } else {
    out.Text(rt::kExtensionChecksumWrong).HexUpper(ComputeChecksum(block), 2).Text(rt::kChecksumSuffix);
  }
  out.EndLine();
}

// Laid out like the base dump section, so the rows read the same way; the kind and checksum
// lines sit inside the heading, where no reader of the base block looks. The decoded lines
// follow the rows; each starts with a tab, so no reader takes one for a dump row.
void AppendExtensionSection(std::string& text, const EdidBytes& block, int number) {
  ReportOut out(text);
  out.EmptyLine();
  out.Line(rt::kSeparator);
  out.Text(rt::kExtensionHeading).Decimal(number).Text(rt::kExtensionHeadingEnd).EndLine();
  WriteExtensionKind(out, block);
  WriteExtensionChecksum(out, block);
  out.Line(rt::kSeparator);
  AppendDumpRows(text, block, number * kEdidSize);
  const size_t before = text.size();
  out.EmptyLine();
  AppendDecodedLines(text, DecodeExtension(block, number), DecodeScope::kReportSection, rt::kLineEnd);
  if (text.size() == before + rt::kLineEnd.size()) text.resize(before);  // nothing decoded
}

// What E-EDID 1.4 reads differently from the base report's 1.3 reading, after the base dump;
// nothing for other revisions, whose report is the base report alone.
void AppendBase14Section(std::string& text, const EdidBytes& bytes) {
  const BaseReading base = ParseBaseReading(bytes);
  if (!base.Is14()) return;
  ReportOut out(text);
  out.EmptyLine();
  out.Line(rt::kSeparator);
  out.Line(rt::kBase14Heading);
  out.Line(rt::kSeparator);
  DecodedBlock block;
  block.kind = BlockKind::kBase;
  block.bytes = {0, kEdidSize - 1};
  block.stored = bytes;
  block.content = base;
  AppendDecodedLines(text, block, DecodeScope::kReportSection, rt::kLineEnd);
}

void AppendExtensionSections(std::string& text, std::span<const EdidBytes> extensions) {
  for (size_t k = 0; k < extensions.size(); ++k) AppendExtensionSection(text, extensions[k], static_cast<int>(k) + 1);
}

}  // namespace

std::string FormatReport(EdidBlock& block) {
  std::string text;
  text.reserve(kReportCapacity);
  AppendReport(text, block);
  return text;
}

std::string FormatHexDump(const EdidBlock& block) {
  std::string text;
  text.reserve(kHexDumpCapacity);
  AppendHexDump(text, block.Bytes());
  return text;
}

std::string FormatEdidReport(EdidBlock& block) { return FormatEdidReport(block, {}); }

// Byte 0 names the kind; a CTA-861 block's revision is byte 1.
std::string ExtensionKindText(const EdidBytes& block) {
  std::string text;
  ReportOut out(text);
  const uint8_t tag = block[0];
  const auto* kind = std::find_if(rt::kExtensionKinds.begin(), rt::kExtensionKinds.end(),
                                  [tag](const rt::ExtensionKind& k) { return k.tag == tag; });
  if (kind == rt::kExtensionKinds.end()) {
    out.Text(rt::kExtensionUnknownTag).HexUpper(tag, 2);
    return text;
  }
  out.Text(kind->name);
  if (tag == kTagCta861) out.Text(rt::kExtensionRevision).Decimal(block[1]);
  return text;
}

std::string FormatExtensionSections(std::span<const EdidBytes> extensions) {
  std::string text;
  text.reserve(kExtensionSectionCapacity * extensions.size());
  AppendExtensionSections(text, extensions);
  return text;
}

std::string FormatEdidReport(EdidBlock& block, std::span<const EdidBytes> extensions) {
  std::string text;
  text.reserve(kReportCapacity + kHexDumpCapacity + kExtensionSectionCapacity * extensions.size());
  AppendReport(text, block);
  AppendHexDump(text, block.Bytes());
  AppendBase14Section(text, block.Bytes());
  AppendExtensionSections(text, extensions);
  return text;
}

}  // namespace tolvex
