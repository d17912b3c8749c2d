// The DisplayID extension (tag 0x70) decoded: one DisplayID section (version 1.x or 2.x, the
// byte count, the product type or primary use, the extension count and the section checksum)
// and its data blocks, of which the program decodes the detailed timings (Type I and VII),
// Display Parameters, Tiled Display Topology, Display Interface Features, Adaptive Sync, the
// dynamic timing range,
// ContainerID, Product Identification and the embedded CTA-861 data blocks; any other stays as
// its tag and bytes.
#pragma once

#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "model/cta_block.h"
#include "model/decoded_item.h"
#include "model/displayid_timing.h"

namespace tolvex {

inline constexpr uint8_t kDisplayIdTagType1 = 0x03;
inline constexpr uint8_t kDisplayIdTagType7 = 0x22;
inline constexpr uint8_t kDisplayIdTagAdaptiveSync = 0x2B;

struct DisplayIdTimings {
  std::vector<DisplayIdTiming> timings;
};
struct DisplayIdParameters {
  bool v2 = false;
  int imageWidth = 0, imageHeight = 0;  // 0.1 mm, or mm in version 2 when the block says so
  int nativeWidth = 0, nativeHeight = 0;
  int features = 0;  // version 1: feature flags; version 2: scan, luminance and audio flags
  int gamma = 0;     // (value + 100) / 100, 255 when not given
  int aspect = 0;    // version 1 only: (value + 100) / 100
  int bpcOverall = 0, bpcNative = 0;  // version 1 only
  int maxLuminanceFull = 0, maxLuminance10 = 0, minLuminance = 0;  // version 2: IEEE 754 half floats
  int depthTechnology = 0;
};
struct DisplayIdTiled {
  int singleEnclosure = 0, bezelInfo = 0, singleTile = 0;
  int tilesH = 0, tilesV = 0, tileH = 0, tileV = 0;
  int tileWidth = 0, tileHeight = 0;
  int pixelMultiplier = 0, bezelTop = 0, bezelBottom = 0, bezelRight = 0, bezelLeft = 0;
  int productCode = 0;
  uint32_t serial = 0;
};
struct DisplayIdInterface {
  int rgbDepths = 0, ycbcr444Depths = 0, ycbcr422Depths = 0, ycbcr420Depths = 0;
  int min420Rate = 0, audio = 0, colorspaces = 0, colorspaces2 = 0, additionalCount = 0;
};
struct AdaptiveSyncRange {
  ByteRange bytes;
  int flags = 0, maxIncrease = 0, minHz = 0, maxHz = 0, maxDecrease = 0;
};
struct DisplayIdAdaptiveSync {
  std::vector<AdaptiveSyncRange> ranges;
};
// Dynamic Video Timing Range Limits (DisplayID 2.1 section 4.9): the range a VRR display runs in.
struct DisplayIdDynamicRange {
  int minClockKHz = 0, maxClockKHz = 0, minHz = 0, maxHz = 0, seamless = 0;
};
struct DisplayIdContainer {};
struct DisplayIdProduct {
  int productCode = 0, week = 0, year = 0, nameLength = 0;
  uint32_t serial = 0;
};
struct DisplayIdCta {
  std::vector<CtaDataBlock> dataBlocks;
};
struct DisplayIdUnknown {
  bool truncated = false;
};

enum class DisplayIdKind : uint8_t {
  kProduct, kParameters, kType1, kTiled, kType7, kDynamicRange, kInterface, kContainer, kAdaptiveSync, kCta, kUnknown,
};

struct DisplayIdDataBlock {
  ByteRange bytes;
  int tag = 0;
  int revision = 0;  // byte 1 as stored, flags included
  int payloadLength = 0;
  DisplayIdKind kind = DisplayIdKind::kUnknown;
  std::variant<DisplayIdUnknown, DisplayIdTimings, DisplayIdParameters, DisplayIdTiled, DisplayIdInterface,
               DisplayIdAdaptiveSync, DisplayIdContainer, DisplayIdProduct, DisplayIdCta, DisplayIdDynamicRange>
      content;
  std::vector<uint8_t> raw;  // tag, revision, length and payload
};

struct DisplayIdBlock {
  ByteRange bytes;
  int version = 0;  // byte 1: major in bits 7-4, minor in bits 3-0
  int sectionBytes = 0;
  int productType = 0;
  int extensionCount = 0;
  std::vector<DisplayIdDataBlock> dataBlocks;
  ByteRange section;  // version byte to the section checksum
  int sectionChecksum = 0;
  bool sectionChecksumRight = false;

  int Major() const { return version >> 4; }
  // Every Type I and Type VII timing, in order.
  std::vector<DisplayIdTiming> Timings() const;
};

DisplayIdBlock ParseDisplayIdBlock(std::span<const uint8_t, 128> bytes, int offset);
void DescribeDisplayIdBlock(const DisplayIdBlock& block, Describer& out);

}  // namespace tolvex
