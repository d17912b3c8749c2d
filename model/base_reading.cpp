// The base block read by table (VESA E-EDID 1.4 section 3): byte offsets are the block's own,
// which are also the whole EDID's, so the codes need no placing; descriptor codes count from the
// descriptor's first byte.
#include "model/base_reading.h"

#include <array>
#include <cstdio>

#include "model/base_texts.h"
#include "model/decode_texts.h"

namespace tolvex {

namespace {

namespace bt = base_text;

constexpr int kYearBase = 1990;
constexpr int kModelYearWeek = 0xFF;
constexpr int kRateOffsetMax = 2;     // byte 4: +255 on the maximum
constexpr int kRateOffsetMinMax = 3;  // +255 on both
constexpr int kRateOffset = 255;
constexpr int kSecondaryGtf = 2;
constexpr int kCvtSupport = 4;

using R = BaseReading;
constexpr auto kDigital14Rows = std::to_array<FieldRow<R>>({
    EnumRow<R>("bit_depth", bt::kBitDepth, Bits(20, 6, 4).Named(bt::kBitDepths), &R::bitDepth),
    EnumRow<R>("interface", bt::kInterface, Bits(20, 3, 0).Named(bt::kInterfaces), &R::interfaceType),
});
constexpr auto kFeature14Rows = std::to_array<FieldRow<R>>({
    FlagRow<R>("srgb", bt::kSrgb, Bit(24, 2), &R::srgb),
    FlagRow<R>("preferred_native", bt::kPreferredNative, Bit(24, 1), &R::preferredNative),
    FlagRow<R>("continuous_frequency", bt::kContinuous, Bit(24, 0), &R::continuous),
});
constexpr BitCode kEncodings = Bits(24, 4, 3).Named(bt::kEncodings);
constexpr BitCode kColorType = Bits(24, 4, 3).Named(bt::kColorTypes);
constexpr BitCode kWidth = Bits(21);
constexpr BitCode kHeight = Bits(22);
constexpr BitCode kWeek = Bits(16);
constexpr BitCode kYear = Bits(17).Scaled(1, kYearBase);

using L = RangeLimits14;
constexpr auto kOffsetRows = std::to_array<FieldRow<L>>({
    EnumRow<L>("vertical_offsets", bt::kVerticalOffsets, Bits(4, 1, 0).Named(bt::kRateOffsets), &L::verticalOffsets),
    EnumRow<L>("horizontal_offsets", bt::kHorizontalOffsets, Bits(4, 3, 2).Named(bt::kRateOffsets), &L::horizontalOffsets),
});
constexpr auto kLimitRows = std::to_array<FieldRow<L>>({
    NumberRow<L>("min_v_hz", bt::kMinVHz, Bits(5), &L::minV),
    NumberRow<L>("max_v_hz", bt::kMaxVHz, Bits(6), &L::maxV),
    NumberRow<L>("min_h_khz", bt::kMinHKHz, Bits(7), &L::minH),
    NumberRow<L>("max_h_khz", bt::kMaxHKHz, Bits(8), &L::maxH),
    NumberRow<L>("max_pixel_clock_mhz", bt::kMaxClockMHz, Bits(9).Scaled(10), &L::maxClockMhz),
    EnumRow<L>("timing_support", bt::kTimingSupport, Bits(10).Named(bt::kTimingSupports), &L::timingSupport),
});
constexpr auto kGtfRows = std::to_array<FieldRow<L>>({
    NumberRow<L>("gtf_start_khz", bt::kGtfStartKHz, Bits(12).Scaled(2), &L::gtfStart),
    RealRow<L>("gtf_c", bt::kGtfC, Bits(13).Scaled(0.5), &L::gtfC),
    NumberRow<L>("gtf_m", bt::kGtfM, LittleEndian(14, 2), &L::gtfM),
    NumberRow<L>("gtf_k", bt::kGtfK, Bits(16), &L::gtfK),
    RealRow<L>("gtf_j", bt::kGtfJ, Bits(17).Scaled(0.5), &L::gtfJ),
});
constexpr auto kCvtRows = std::to_array<FieldRow<L>>({
    NumberRow<L>("cvt_major", bt::kCvtMajor, Bits(11, 7, 4), &L::cvtMajor),
    NumberRow<L>("cvt_minor", bt::kCvtMinor, Bits(11, 3, 0), &L::cvtMinor),
    NumberRow<L>("clock_precision", bt::kClockPrecision, Bits(12, 7, 2), &L::clockPrecision),
    NumberRow<L>("max_active_pixels", bt::kMaxActivePixels, Join(Bits(12, 1, 0), Bits(13)).Scaled(8), &L::maxActivePixels),
    EnumRow<L>("preferred_aspect", bt::kPreferredAspect, Bits(15, 7, 5).Named(bt::kCvtAspects), &L::preferredAspect),
    FlagRow<L>("cvt_reduced_blanking", bt::kCvtReducedBlanking, Bit(15, 4), &L::reducedBlanking),
});
constexpr auto kCvtTailRows = std::to_array<FieldRow<L>>({
    FlagRow<L>("cvt_standard_blanking", bt::kCvtStandardBlanking, Bit(15, 3), &L::standardBlanking),
    NumberRow<L>("preferred_refresh_hz", bt::kPreferredRefresh, Bits(17), &L::preferredRefresh),
});

// CVT 3-byte code, from its first byte: lines / 2 - 1 in 12 bits, the aspect, the rates.
constexpr BitCode kCvtLines = Join(Bits(1, 7, 4), Bits(0)).Scaled(2, 2);
constexpr BitCode kCvtAspect = Bits(1, 3, 2).Named(bt::kCvtCodeAspects);
constexpr BitCode kCvtPreferred = Bits(2, 6, 5).Named(bt::kCvtRates);
constexpr int kCvtCodeSize = 3;
constexpr int kCvtFirstCode = 6;
constexpr int kDescriptorVersionByte = 5;

using C = ColorManagement;
constexpr auto kColorRows = std::to_array<FieldRow<C>>({
    NumberRow<C>("red_a3", bt::kRedA3, LittleEndian(6, 2), &C::redA3),
    NumberRow<C>("red_a2", bt::kRedA2, LittleEndian(8, 2), &C::redA2),
    NumberRow<C>("green_a3", bt::kGreenA3, LittleEndian(10, 2), &C::greenA3),
    NumberRow<C>("green_a2", bt::kGreenA2, LittleEndian(12, 2), &C::greenA2),
    NumberRow<C>("blue_a3", bt::kBlueA3, LittleEndian(14, 2), &C::blueA3),
    NumberRow<C>("blue_a2", bt::kBlueA2, LittleEndian(16, 2), &C::blueA2),
});

int WithOffset(int raw, bool offset) { return raw + (offset ? kRateOffset : 0); }

RangeLimits14 ParseRangeLimits(std::span<const uint8_t, kDescriptorSize> d) {
  RangeLimits14 limits;
  ReadRows(std::span(kOffsetRows), d, limits);
  ReadRows(std::span(kLimitRows), d, limits);
  if (limits.timingSupport == kSecondaryGtf) ReadRows(std::span(kGtfRows), d, limits);
  if (limits.timingSupport == kCvtSupport) {
    ReadRows(std::span(kCvtRows), d, limits);
    ReadRows(std::span(kCvtTailRows), d, limits);
    limits.aspects = d[14] >> 3;
    limits.scaling = d[16] >> 4;
  }
  return limits;
}

CvtCodes ParseCvtCodes(std::span<const uint8_t, kDescriptorSize> d, int offset) {
  CvtCodes codes;
  codes.version = d[kDescriptorVersionByte];
  for (int at = kCvtFirstCode; at + kCvtCodeSize <= kDescriptorSize; at += kCvtCodeSize) {
    const std::span<const uint8_t> code = d.subspan(static_cast<size_t>(at), kCvtCodeSize);
    if (code[0] == 0 && code[1] == 0 && code[2] == 0) continue;
    codes.codes.push_back({{offset + at, offset + at + kCvtCodeSize - 1},
                           static_cast<int>(kCvtLines.Value(kCvtLines.Read(code))),
                           static_cast<int>(kCvtAspect.Read(code)), static_cast<int>(kCvtPreferred.Read(code)),
                           code[2] & 0x1F});
  }
  return codes;
}

BaseDescriptor ParseDescriptor(EdidBlock& block, const EdidBytes& bytes, int index) {
  block.SelectDescriptor(static_cast<unsigned>(index));
  const int offset = static_cast<int>(block.CurrentDescriptorOffset());
  const std::span<const uint8_t, kDescriptorSize> d = std::span(bytes).subspan(static_cast<size_t>(offset)).first<kDescriptorSize>();
  BaseDescriptor descriptor;
  descriptor.bytes = {offset, offset + kDescriptorSize - 1};
  if (d[0] != 0 || d[1] != 0) {
    descriptor.content = ParseDetailedTiming(d, offset);
    return descriptor;
  }
  descriptor.tag = d[3];
  switch (descriptor.tag) {
    case kTagRangeLimits: descriptor.content = ParseRangeLimits(d); break;
    case 0xF7: {
      Established3 established;
      established.revision = d[kDescriptorVersionByte];
      for (int i = 0; i < static_cast<int>(bt::kEstablished3.size()); ++i) {
        if (d[6 + i / 8] >> (7 - i % 8) & 1) established.bits |= uint64_t{1} << i;
      }
      descriptor.content = established;
      break;
    }
    case 0xF8: descriptor.content = ParseCvtCodes(d, offset); break;
    case 0xF9: {
      ColorManagement color;
      color.version = d[kDescriptorVersionByte];
      ReadRows(std::span(kColorRows), d, color);
      descriptor.content = color;
      break;
    }
    case kTagMonitorName:
    case kTagSerialNumber:
    case kTagDataString: descriptor.content = DescriptorText{block.GetDescriptorText()}; break;
    default: break;
  }
  return descriptor;
}

// ---- Describing ---------------------------------------------------------------------------------

void DescribeRangeLimits(const RangeLimits14& limits, bool e14, bool all, ByteRange at, Describer& out) {
  if (e14) out.Rows(std::span(kOffsetRows), limits, at);
  if (all || e14) {
    const bool vMin = e14 && limits.verticalOffsets == kRateOffsetMinMax;
    const bool vMax = e14 && limits.verticalOffsets >= kRateOffsetMax;
    const bool hMin = e14 && limits.horizontalOffsets == kRateOffsetMinMax;
    const bool hMax = e14 && limits.horizontalOffsets >= kRateOffsetMax;
    const bool offsets[4] = {vMin, vMax, hMin, hMax};
    const int values[4] = {limits.minV, limits.maxV, limits.minH, limits.maxH};
    for (size_t i = 0; i < 4; ++i) {
      const FieldRow<L>& row = kLimitRows[i];
      const BitCode code = offsets[i] ? row.code.Scaled(1, kRateOffset) : row.code;
      out.Number(row.key, row.label, WithOffset(values[i], offsets[i]), code.Placed(at.first));
    }
    out.Rows(std::span(kLimitRows).last<2>(), limits, at);
  }
  if (!e14) return;
  if (limits.timingSupport == kSecondaryGtf) out.Rows(std::span(kGtfRows), limits, at);
  if (limits.timingSupport != kCvtSupport) return;
  out.Rows(std::span(kCvtRows).first<3>(), limits, at);
  out.DerivedReal("max_pixel_clock_precise_mhz", bt::kPreciseClockMHz, limits.maxClockMhz - 0.25 * limits.clockPrecision,
                  {at.first + 9, at.first + 12});
  out.Rows(std::span(kCvtRows).subspan<3, 1>(), limits, at);
  out.BitFlags(bt::kCvtAspectFlags, static_cast<uint32_t>(limits.aspects), at.first + 14, 3);
  out.Rows(std::span(kCvtRows).last<2>(), limits, at);
  out.Rows(std::span(kCvtTailRows).first<1>(), limits, at);
  out.BitFlags(bt::kScalingFlags, static_cast<uint32_t>(limits.scaling), at.first + 16, 4);
  out.Rows(std::span(kCvtTailRows).last<1>(), limits, at);
}

void DescribeEstablished3(const Established3& established, ByteRange at, Describer& out) {
  out.Number("revision", bt::kDescriptorRevision, established.revision, Bits(at.first + kDescriptorVersionByte));
  for (int i = 0; i < static_cast<int>(bt::kEstablished3.size()); ++i) {
    out.Flag(bt::kEstablished3[static_cast<size_t>(i)].id, bt::kEstablished3[static_cast<size_t>(i)].text,
             established.bits >> i & 1, Bit(at.first + 6 + i / 8, 7 - i % 8), FieldRole::kQuiet);
  }
}

void DescribeCvtCodes(const CvtCodes& codes, ByteRange at, Describer& out) {
  out.Number("version", bt::kCvtVersion, codes.version, Bits(at.first + kDescriptorVersionByte));
  for (const CvtCode& code : codes.codes) {
    char label[64];
    const EnumName* aspect = kCvtAspect.Name(static_cast<uint32_t>(code.aspect));
    std::snprintf(label, sizeof label, bt::kCvtCodeLabel, code.lines, std::string(aspect->text).c_str());
    out.BeginEntry("codes", label, code.bytes);
    out.Number("lines", bt::kCvtLines, code.lines, kCvtLines.Placed(code.bytes.first));
    out.Enum("aspect", bt::kCvtAspect, static_cast<uint32_t>(code.aspect), kCvtAspect.Placed(code.bytes.first));
    out.Enum("preferred_rate", bt::kCvtPreferredRate, static_cast<uint32_t>(code.preferredRate), kCvtPreferred.Placed(code.bytes.first));
    out.BitFlags(bt::kCvtRateFlags, static_cast<uint32_t>(code.rates), code.bytes.first + 2);
    out.End();
  }
}

void DescribeColorManagement(const ColorManagement& color, ByteRange at, Describer& out) {
  out.Number("version", bt::kCvtVersion, color.version, Bits(at.first + kDescriptorVersionByte));
  out.Rows(std::span(kColorRows), color, at);
}

std::string_view DescriptorKind(const BaseDescriptor& descriptor) {
  switch (descriptor.tag) {
    case -1: return "dtd";
    case kTagRangeLimits: return "range-limits";
    case kTagMonitorName: return "name";
    case kTagSerialNumber: return "serial";
    case kTagDataString: return "string";
    case kTagColorPoint: return "color-point";
    case kTagStdTimings: return "standard-timings";
    case 0xF7: return "established-timings-3";
    case 0xF8: return "cvt-codes";
    case 0xF9: return "color-management";
    case 0x10: return "dummy";
    default: return "other";
  }
}

std::string DescriptorLabel(const BaseDescriptor& descriptor, int number) {
  if (const auto* timing = std::get_if<DetailedTiming>(&descriptor.content)) {
    return DetailedTimingLabel(*timing, bt::kDtdEntry, number);
  }
  switch (descriptor.tag) {
    case kTagRangeLimits: return bt::kRangeLimitsLabel;
    case 0xF7: return bt::kEstablished3Label;
    case 0xF8: return bt::kCvtLabel;
    case 0xF9: return bt::kColorManagementLabel;
    case kTagMonitorName: return bt::kNameLabel;
    case kTagSerialNumber: return bt::kSerialLabel;
    case kTagDataString: return bt::kStringLabel;
    case kTagColorPoint: return bt::kColorPointLabel;
    case kTagStdTimings: return bt::kStdTimingsLabel;
    case 0x10: return bt::kDummyLabel;
    default: {
      char label[40];
      std::snprintf(label, sizeof label, bt::kOtherLabel, static_cast<unsigned>(descriptor.tag));
      return label;
    }
  }
}

// What E-EDID 1.4 reads in a descriptor: the range limits' offsets and CVT part and the three
// descriptor kinds it added.
bool Has14Content(const BaseDescriptor& descriptor) {
  return std::holds_alternative<RangeLimits14>(descriptor.content) || std::holds_alternative<Established3>(descriptor.content) ||
         std::holds_alternative<CvtCodes>(descriptor.content) || std::holds_alternative<ColorManagement>(descriptor.content);
}

void DescribeDescriptor(const BaseDescriptor& descriptor, int number, bool e14, bool all, Describer& out) {
  out.BeginEntry("descriptors", [&] { return DescriptorLabel(descriptor, number); }, descriptor.bytes);
  out.Identity("kind", DescriptorKind(descriptor), descriptor.bytes);
  if (descriptor.tag >= 0) out.IdentityNumber("tag", descriptor.tag, {descriptor.bytes.first + 3, descriptor.bytes.first + 3});
  const ByteRange& at = descriptor.bytes;
  if (const auto* timing = std::get_if<DetailedTiming>(&descriptor.content)) {
    DescribeDetailedTimingFields(*timing, out);
  } else if (const auto* limits = std::get_if<RangeLimits14>(&descriptor.content)) {
    DescribeRangeLimits(*limits, e14, all, at, out);
  } else if (const auto* established = std::get_if<Established3>(&descriptor.content)) {
    DescribeEstablished3(*established, at, out);
  } else if (const auto* codes = std::get_if<CvtCodes>(&descriptor.content)) {
    DescribeCvtCodes(*codes, at, out);
  } else if (const auto* color = std::get_if<ColorManagement>(&descriptor.content)) {
    DescribeColorManagement(*color, at, out);
  } else if (const auto* text = std::get_if<DescriptorText>(&descriptor.content)) {
    out.Text("text", descriptor.tag == kTagMonitorName ? bt::kMonitorName : bt::kSerialText,
             PrintableText(std::span(reinterpret_cast<const uint8_t*>(text->text.data()), text->text.size())),
             {at.first + 5, at.last});
  }
  out.End();
}

void DescribeSize(const BaseReading& base, Describer& out) {
  if (base.widthCm != 0 && base.heightCm != 0) {
    out.Number("width_cm", bt::kWidthCm, base.widthCm, kWidth);
    out.Number("height_cm", bt::kHeightCm, base.heightCm, kHeight);
  } else if (base.widthCm != 0) {
    out.DerivedReal("aspect_ratio", bt::kLandscapeRatio, (base.widthCm + 99) / 100.0, {21, 22});
  } else if (base.heightCm != 0) {
    out.DerivedReal("aspect_ratio", bt::kPortraitRatio, 100.0 / (base.heightCm + 99), {21, 22});
  } else {
    out.DerivedFlag("size_unknown", bt::kSizeUnknown, true, {21, 22});
  }
}

void DescribeGeneral(const BaseReading& base, Describer& out) {
  char version[16];
  std::snprintf(version, sizeof version, decode_text::kVersionFormat, base.version, base.revision);
  out.Text("version", bt::kVersion, version, {18, 19});
  out.Text("manufacturer", bt::kManufacturer, base.manufacturer, {8, 9});
  out.Number("product_code", bt::kProductCode, base.productCode, LittleEndian(10, 2));
  out.Number("serial_number", bt::kSerialNumber, base.serial, LittleEndian(12, 4));
  if (base.week == kModelYearWeek && base.Is14()) {
    out.Number("model_year", bt::kModelYear, base.year, kYear);
  } else {
    out.Number("week", bt::kWeek, base.week, kWeek);
    out.Number("year", bt::kYear, base.year, kYear);
  }
  out.Flag("digital", bt::kDigital, base.digital, Bit(20, 7));
}

}  // namespace

int RangeLimits14::MinVerticalHz() const { return WithOffset(minV, verticalOffsets == kRateOffsetMinMax); }
int RangeLimits14::MaxVerticalHz() const { return WithOffset(maxV, verticalOffsets >= kRateOffsetMax); }
int RangeLimits14::MinHorizontalKHz() const { return WithOffset(minH, horizontalOffsets == kRateOffsetMinMax); }
int RangeLimits14::MaxHorizontalKHz() const { return WithOffset(maxH, horizontalOffsets >= kRateOffsetMax); }

std::vector<DetailedTiming> BaseReading::Dtds() const {
  std::vector<DetailedTiming> dtds;
  for (const BaseDescriptor& descriptor : descriptors) {
    if (const auto* timing = std::get_if<DetailedTiming>(&descriptor.content)) dtds.push_back(*timing);
  }
  return dtds;
}

BaseReading ParseBaseReading(const EdidBytes& bytes) {
  EdidBlock block([] { return CalendarDate{2000, 1, 1}; });
  block.Bytes() = bytes;
  BaseReading base;
  base.version = bytes[18];
  base.revision = bytes[19];
  base.manufacturer = block.GetManufacturerId();
  base.productCode = block.GetProductCode();
  base.serial = block.GetSerialNumber();
  base.week = static_cast<int>(kWeek.Read(bytes));
  base.year = static_cast<int>(kYear.Value(kYear.Read(bytes)));
  base.digital = block.IsDigitalInput();
  if (base.digital) ReadRows(std::span(kDigital14Rows), bytes, base);
  base.widthCm = bytes[21];
  base.heightCm = bytes[22];
  base.gamma = bytes[23];
  base.colorType = static_cast<int>(kEncodings.Read(bytes));
  ReadRows(std::span(kFeature14Rows), bytes, base);
  for (int i = 0; i < kDescriptorCount; ++i) base.descriptors[static_cast<size_t>(i)] = ParseDescriptor(block, bytes, i);
  base.extensionCount = bytes[126];
  base.checksum = bytes[127];
  return base;
}

void DescribeBaseReading(const BaseReading& base, DecodeScope scope, Describer& out) {
  const bool all = scope == DecodeScope::kAll;
  const bool e14 = base.Is14();
  if (all) DescribeGeneral(base, out);
  if (e14 && base.digital) out.Rows(std::span(kDigital14Rows), base, {0, kEdidSize - 1});
  if (e14) {
    DescribeSize(base, out);
    if (base.gamma == 0xFF) out.DerivedFlag("gamma_in_extension", bt::kGammaInExtension, true, {23, 23});
    if (base.digital) {
      out.Enum("color_encodings", bt::kColorEncodings, static_cast<uint32_t>(base.colorType), kEncodings);
    } else {
      out.Enum("display_color_type", bt::kDisplayColorType, static_cast<uint32_t>(base.colorType), kColorType);
    }
    out.Rows(std::span(kFeature14Rows), base, {0, kEdidSize - 1});
    if (base.week == kModelYearWeek && !all) out.Number("model_year", bt::kModelYear, base.year, kYear);
  }
  for (int i = 0; i < kDescriptorCount; ++i) {
    const BaseDescriptor& descriptor = base.descriptors[static_cast<size_t>(i)];
    if (all || (e14 && Has14Content(descriptor))) DescribeDescriptor(descriptor, i + 1, e14, all, out);
  }
  if (all) {
    out.Number("extension_count", bt::kExtensionCount, base.extensionCount, Bits(126));
    out.Number("checksum", bt::kChecksum, base.checksum, Bits(127));
  }
}

}  // namespace tolvex
