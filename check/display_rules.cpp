// Basic display parameters and colour: bytes 20-34.
#include <algorithm>
#include <array>
#include <cmath>

#include "check/check_rules.h"
#include "check/check_texts.h"
#include "model/bits.h"

namespace tolvex::check {

namespace {

// sRGB's primaries and white point as three-decimal coordinates, the precision the block keeps
// them at and the report and the wizard show (white 0.3127/0.3290 stores as 0.313/0.329).
constexpr Chromaticity kSrgb = {0.640f, 0.330f, 0.300f, 0.600f, 0.150f, 0.060f, 0.313f, 0.329f};

constexpr int kDisplayTypeMonochrome = 0;

struct ColourPoint {
  const char* name;
  ChromaCoordinate x;
  ChromaCoordinate y;
};

constexpr std::array<ColourPoint, 4> kColourPoints = {{
    {check_text::kRedPoint, kRedX, kRedY},
    {check_text::kGreenPoint, kGreenX, kGreenY},
    {check_text::kBluePoint, kBlueX, kBlueY},
    {check_text::kWhitePoint, kWhiteX, kWhiteY},
}};

bool SameAtThreeDecimals(float a, float b) { return std::fabs(a - b) < 0.0005f; }

bool IsColour(float x, float y) { return x > 0 && y > 0 && x + y <= 1.0f; }

// Which side of the line a-b the point p lies on.
float Side(float px, float py, float ax, float ay, float bx, float by) {
  return (px - bx) * (ay - by) - (ax - bx) * (py - by);
}

bool InsideTriangle(const Chromaticity& xy) {
  const float px = xy[kWhiteX], py = xy[kWhiteY];
  const float d1 = Side(px, py, xy[kRedX], xy[kRedY], xy[kGreenX], xy[kGreenY]);
  const float d2 = Side(px, py, xy[kGreenX], xy[kGreenY], xy[kBlueX], xy[kBlueY]);
  const float d3 = Side(px, py, xy[kBlueX], xy[kBlueY], xy[kRedX], xy[kRedY]);
  const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
  const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
  return !(negative && positive);
}

}  // namespace

// EDID 1.3 section 3.6.1: a digital input defines bit 0 only (DFP 1.x); E-EDID 1.4 section 3.6.1
// gives bits 6-4 the colour depth (7 reserved) and bits 3-0 the interface (6-15 reserved).
void CheckVideoInput(const BaseBlock& base, FindingList& findings) {
  const uint8_t input = base.bytes[20];
  if (!base.block.IsDigitalInput()) return;
  if (!base.Claims14()) {
    if (GetBits(input, 6, 1) != 0) {
      findings.Fail(20, 20, check_text::kRuleVideoInput, Sentence(check_text::kDigitalReservedBits, input, input & 0x81));
    }
    return;
  }
  if (GetBits(input, 6, 4) == 7) findings.Fail(20, 20, check_text::kRuleVideoInput, check_text::kColourDepthReserved);
  if (GetBits(input, 3, 0) > 5) {
    findings.Fail(20, 20, check_text::kRuleVideoInput, Sentence(check_text::kInterfaceReserved, GetBits(input, 3, 0)));
  }
}

// EDID 1.3 section 3.6.2: both sizes in cm, or both 0 when the image size varies. E-EDID 1.4 lets
// one of them be 0 to give an aspect ratio instead.
void CheckScreenSize(const BaseBlock& base, FindingList& findings) {
  if (base.Claims14()) return;
  const int width = base.block.GetMaxImageWidth();
  const int height = base.block.GetMaxImageHeight();
  if ((width == 0) == (height == 0)) return;
  findings.Warn(21, 22, check_text::kRuleScreenSize,
                width ? Sentence(check_text::kScreenSizeHalf, 21, width, 22) : Sentence(check_text::kScreenSizeHalf, 22, height, 21));
}

// EDID 1.3 section 3.6.4: 1.3 requires the preferred timing bit; with the bit set (and always in
// E-EDID 1.4) the first descriptor must be that detailed timing.
void CheckFeatureSupport(const BaseBlock& base, FindingList& findings) {
  const bool preferred = base.block.GetPreferredTiming();
  if (base.Revision() == 3 && !preferred) {
    findings.Fail(24, 24, check_text::kRuleFeatureSupport, check_text::kPreferredBitRequired);
  }
  if ((preferred || base.Claims14()) && IsDisplayDescriptor(base.bytes, 0)) {
    findings.Fail(DescriptorOffset(0), DescriptorLast(0), check_text::kRulePreferredTiming, check_text::kPreferredNotDetailed);
  }
}

// EDID 1.3 sections 3.6.4 and 3.7: the sRGB bit promises sRGB's chromaticities; every point must
// be a real colour, and white lies inside the primaries' triangle.
void CheckChromaticity(const BaseBlock& base, FindingList& findings) {
  const Chromaticity xy = base.block.GetChromaticity();
  if (base.block.GetStandardColorSpace()) {
    for (int i = 0; i < 8; ++i) {
      if (SameAtThreeDecimals(xy[i], kSrgb[i])) continue;
      findings.Fail(24, 34, check_text::kRuleSrgb, check_text::kSrgbMismatch);
      break;
    }
  }
  if (std::all_of(xy.begin(), xy.end(), [](float v) { return v == 0; })) {
    findings.Warn(25, 34, check_text::kRuleChromaticity, check_text::kChromaticityEmpty);
    return;
  }
  // A monochrome display gives only its white point a meaning.
  const bool monochrome = base.block.GetDisplayType() == kDisplayTypeMonochrome && !base.block.IsDigitalInput();
  bool primariesValid = true;
  for (const ColourPoint& point : kColourPoints) {
    if (monochrome && point.x != kWhiteX) continue;
    if (IsColour(xy[point.x], xy[point.y])) continue;
    if (point.x != kWhiteX) primariesValid = false;
    findings.Warn(25, 34, check_text::kRuleChromaticity,
                  Sentence(check_text::kChromaticityNoColour, point.name, xy[point.x], xy[point.y]));
  }
  if (!monochrome && primariesValid && !InsideTriangle(xy)) {
    findings.Warn(25, 34, check_text::kRuleChromaticity, check_text::kWhiteOutsideTriangle);
  }
}

}  // namespace tolvex::check
