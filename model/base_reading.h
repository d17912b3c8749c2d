// The base block as the decoded model reads it: the facts scripts ask for (version, maker,
// product, date, input, descriptors) and, for E-EDID 1.4, what that revision reads differently
// from 1.3 (byte 20 of a digital input, bytes 21-22 as an aspect ratio, byte 24, the range
// limits' offsets and CVT fields, the descriptors 0xF7, 0xF8 and 0xF9, week 0xFF as a model
// year). The base report (report/edid_report.h) stays as it is; this reading adds to it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "model/decoded_item.h"
#include "model/detailed_timing.h"
#include "model/edid_block.h"

namespace tolvex {

struct RangeLimits14 {
  int verticalOffsets = 0, horizontalOffsets = 0;
  int minV = 0, maxV = 0, minH = 0, maxH = 0;  // as stored, offsets not added
  int maxClockMhz = 0, timingSupport = 0;
  int gtfStart = 0, gtfM = 0, gtfK = 0;  // secondary GTF (timing support 2)
  double gtfC = 0, gtfJ = 0;
  int cvtMajor = 0, cvtMinor = 0, clockPrecision = 0, maxActivePixels = 0, aspects = 0, preferredAspect = 0;
  int reducedBlanking = 0, standardBlanking = 0, scaling = 0, preferredRefresh = 0;  // CVT (timing support 4)

  // The rates with the 1.4 offsets (+255) applied where byte 4 asks for them.
  int MinVerticalHz() const;
  int MaxVerticalHz() const;
  int MinHorizontalKHz() const;
  int MaxHorizontalKHz() const;
};
struct CvtCode {
  ByteRange bytes;
  int lines = 0, aspect = 0, preferredRate = 0, rates = 0;
};
struct Established3 {
  int revision = 0;
  uint64_t bits = 0;  // bit i: entry i of kEstablished3 (byte 6 bit 7 is entry 0)
};
struct CvtCodes {
  int version = 0;
  std::vector<CvtCode> codes;  // the used ones (a code of three zero bytes is unused)
};
struct ColorManagement {
  int version = 0;
  int redA3 = 0, redA2 = 0, greenA3 = 0, greenA2 = 0, blueA3 = 0, blueA2 = 0;  // in 1/100
};
struct DescriptorText {
  std::string text;
};
struct OtherDescriptor {};

struct BaseDescriptor {
  ByteRange bytes;
  int tag = -1;  // -1 for a detailed timing
  std::variant<OtherDescriptor, DetailedTiming, RangeLimits14, Established3, CvtCodes, ColorManagement, DescriptorText>
      content;
};

struct BaseReading {
  int version = 0, revision = 0;
  std::string manufacturer;
  int productCode = 0;
  uint32_t serial = 0;
  int week = 0, year = 0;
  int digital = 0, bitDepth = 0, interfaceType = 0;
  int widthCm = 0, heightCm = 0, gamma = 0;
  int colorType = 0, srgb = 0, preferredNative = 0, continuous = 0;  // byte 24
  std::array<BaseDescriptor, kDescriptorCount> descriptors{};
  int extensionCount = 0, checksum = 0;

  // Byte 19 says 1.4 (or a later revision, which hosts read as 1.4).
  bool Is14() const { return version == 1 && revision >= 4; }
  std::vector<DetailedTiming> Dtds() const;
};

BaseReading ParseBaseReading(const EdidBytes& bytes);

enum class DecodeScope : uint8_t {
  kAll,            // every fact: JSON, `info`, the structure tree
  kReportSection,  // what the report's section of the block adds to the rest of the report: for
                   // the base block only its E-EDID 1.4 reading, for an extension no checksum
                   // (its heading has it) and no bytes the dump rows show already
};
void DescribeBaseReading(const BaseReading& base, DecodeScope scope, Describer& out);

}  // namespace tolvex
