// The CTA-861 extension (tag 0x02, revisions 1 to 3) decoded: its header flags, the data block
// collection (revision 3) with one struct per data block kind, and the detailed timings from
// byte d on. Every item keeps its bytes in the whole EDID. Any 128 bytes decode: a data block
// that runs past the collection is kept cut short, an unknown one as its tag and bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/decoded_item.h"
#include "model/detailed_timing.h"
#include "model/displayid_timing.h"

namespace tolvex {

inline constexpr uint32_t kOuiHdmi = 0x000C03;
inline constexpr uint32_t kOuiHdmiForum = 0xC45DD8;
inline constexpr uint32_t kOuiAmd = 0x00001A;
inline constexpr uint32_t kOuiHdr10Plus = 0x90848B;
inline constexpr uint32_t kOuiDolby = 0x00D046;

// Short video descriptor: a VIC, and for VICs 1-64 the native flag in bit 7.
struct ShortVideo {
  ByteRange bytes;
  int vic = 0;
  bool native = false;
};
struct CtaVideo {
  std::vector<ShortVideo> svds;
};
// The YCbCr 4:2:0 Video Data Block: VICs offered only with 4:2:0 sampling.
struct CtaYcbcr420Video {
  std::vector<ShortVideo> svds;
};
// The 4:2:0 Capability Map: bit i marks the i-th SVD of the block's Video Data Blocks. An empty
// map marks them all.
struct CtaYcbcr420Map {
  bool all = false;
  std::vector<int> vics;  // the marked SVDs' VICs, in VDB order
  std::vector<int> outOfRange;  // marked SVD positions (from 0) beyond the last SVD
};

struct ShortAudio {
  ByteRange bytes;
  int format = 0;        // audio format code, 1 = L-PCM, 15 = extended
  int extendedType = 0;  // when format is 15
  int maxChannels = 0;
  int rates = 0;         // byte 2, bits 0-6 (32 to 192 kHz)
  int byte3 = 0;         // sizes, bit rate or the format's own value

  std::vector<double> RatesKHz() const;
  std::vector<double> SampleSizesBits() const;  // L-PCM only
  int MaxBitRateKbps() const;                   // formats 2-8, else 0
};
struct CtaAudio {
  std::vector<ShortAudio> sads;
};

struct CtaSpeakerAllocation {
  uint32_t speakers = 0;  // bits of kSpeakers
};

struct CtaHdmi {
  int physicalA = 0, physicalB = 0, physicalC = 0, physicalD = 0;
  int supportsAi = 0, dc48 = 0, dc36 = 0, dc30 = 0, dcY444 = 0, dviDual = 0;
  int maxTmdsMhz = 0;  // 0 when byte 7 is absent or 0
  int latencyPresent = 0, iLatencyPresent = 0, hdmiVideoPresent = 0;
  int cncGraphics = 0, cncPhoto = 0, cncCinema = 0, cncGame = 0;
  // Latency codes as stored: 0 unknown, 255 no video/audio, else (code - 1) x 2 ms.
  int videoLatency = -1, audioLatency = -1, iVideoLatency = -1, iAudioLatency = -1;
  int present3d = 0, multi3d = 0, imageSize = 0;
  int hdmiVicLength = 0, hdmi3dLength = 0;
  std::vector<ShortVideo> hdmiVics;  // `vic` holds the HDMI VIC
  ByteRange fields3d;                 // the 3D structure bytes, kept as hex
  int videoFieldsAt = -1;             // offset in the block of the byte after the latencies
};

struct CtaHdmiForum {
  bool scdb = false;  // the extended-tag form (HF-SCDB) rather than the vendor block
  int version = 0, maxTmdsMhz = 0;
  int scdcPresent = 0, rrCapable = 0, cableStatus = 0, ccbpci = 0, lte340Scramble = 0;
  int independentView = 0, dualView = 0, osdDisparity = 0;
  int maxFrlRate = 0, uhdVic = 0, dc48_420 = 0, dc36_420 = 0, dc30_420 = 0;
  int fapaEndExtended = 0, qms = 0, mDelta = 0, cinemaVrr = 0, negMvrr = 0, fva = 0, allm = 0, fapaStart = 0;
  int vrrMinHz = 0, vrrMaxHz = 0;
  int dsc12 = 0, dscNative420 = 0, qmsTfrMax = 0, qmsTfrMin = 0, dscAllBpp = 0, dsc16bpc = 0, dsc12bpc = 0, dsc10bpc = 0;
  int dscMaxFrlRate = 0, dscMaxSlices = 0, dscChunkKBytes = 0;

  int MaxFrlGbps() const;
  int DscMaxFrlGbps() const;
};

// AMD's FreeSync block, as far as it is publicly known: version, the refresh range, flags.
struct CtaAmd {
  int version = 0, featureCaps = 0, minHz = 0, maxHz = 0, flags1 = 0;
  int flags2 = 0, maxLuminance = 0, minLuminance = 0;  // version 2 and later
  int maxHzLow = 0, maxHzHigh = 0;                      // version 3: the range's 10-bit maximum
  bool HasWideMaximum() const;
  int MaxRefreshHz() const;
};

struct CtaHdr10Plus {
  int applicationVersion = 0, fullFramePeakIndex = 0, peakIndex = 0;
};
struct CtaDolbyVision {
  int version = 0, yuv422_12bit = 0, supports2160p60 = 0, globalDimming = 0;
};

struct CtaVideoCapability {
  int qy = 0, qs = 0, scanPt = 0, scanIt = 0, scanCe = 0;
};
struct CtaColorimetry {
  uint32_t bits = 0;  // byte 2 as bits 0-7, byte 3 as bits 8-15
};
struct CtaHdrStatic {
  int eotfs = 0;        // bits 0-5: SDR, HDR, PQ, HLG, reserved
  int metadataTypes = 0;
  int maxLuminanceCode = -1, maxFallCode = -1, minLuminanceCode = -1;  // -1 when absent
  // cd/m^2 (CTA-861-H 7.5.13): 50 x 2^(code / 32); the minimum as a share of the maximum.
  double MaxLuminance() const;
  double MaxFall() const;
  double MinLuminance() const;
  std::vector<double> EotfBits() const;
};
struct HdrDynamicEntry {
  ByteRange bytes;
  int type = 0;
  int version = -1;  // -1 when the entry has no version byte
};
struct CtaHdrDynamic {
  std::vector<HdrDynamicEntry> entries;
};
// Short video references in order of preference: VICs, DTD numbers, DisplayID timings.
struct CtaVideoFormatPreference {
  std::vector<ShortVideo> svrs;  // `vic` holds the SVR byte as stored
};
struct CtaRoomConfiguration {
  int displayCoordinates = 0, speakerCountPresent = 0, speakerLocations = 0, speakerCount = 0;
  uint32_t speakers = 0;
  int xMax = -1, yMax = -1, zMax = -1;
  int displayX = 0, displayY = 0, displayZ = 0;  // signed, in 1/64 of the maximum
  bool hasDisplay = false;
};
struct SpeakerLocation {
  ByteRange bytes;
  int channel = 0, active = 0, coordinates = 0, speakerId = 0;
  int x = 0, y = 0, z = 0;  // signed, in 1/64 of the room's maximum
};
struct CtaSpeakerLocations {
  std::vector<SpeakerLocation> locations;
};
struct CtaOverride {
  int blockCount = 0;
};
struct CtaType7Timings {
  std::vector<DisplayIdTiming> timings;
};
// A data block the program does not decode, or one cut short: its bytes stay as hex.
struct CtaUnknown {
  bool truncated = false;
};

enum class CtaKind : uint8_t {
  kAudio, kVideo, kHdmi, kHdmiForum, kAmd, kSpeakers, kVideoCapability, kHdr10Plus, kDolbyVision,
  kColorimetry, kHdrStatic, kHdrDynamic, kVideoFormatPreference, kYcbcr420Video, kYcbcr420Map,
  kRoomConfiguration, kSpeakerLocation, kType7, kOverride, kHdmiForumScdb, kVendor, kUnknown,
};

struct CtaDataBlock {
  ByteRange bytes;  // header byte to last payload byte
  int tag = 0;
  int extendedTag = -1;  // tag 7 only
  int oui = -1;          // vendor-specific blocks only
  CtaKind kind = CtaKind::kUnknown;
  std::variant<CtaUnknown, CtaVideo, CtaAudio, CtaSpeakerAllocation, CtaHdmi, CtaHdmiForum, CtaAmd, CtaHdr10Plus,
               CtaDolbyVision, CtaVideoCapability, CtaColorimetry, CtaHdrStatic, CtaHdrDynamic,
               CtaVideoFormatPreference, CtaYcbcr420Video, CtaYcbcr420Map, CtaRoomConfiguration,
               CtaSpeakerLocations, CtaOverride, CtaType7Timings>
      content;
  ByteRange payload;  // after the header, the extended tag and the OUI; may be empty
  std::vector<uint8_t> raw;  // the block's bytes, header first (at most 32)
  // Its length runs past the end of the collection (byte d - 1): decoded from the bytes that
  // follow, as hosts read it, but the block breaks the collection.
  bool overrun = false;
};

struct CtaBlock {
  ByteRange bytes;
  int revision = 0;
  int dtdOffset = 0;
  int underscan = 0, basicAudio = 0, ycbcr444 = 0, ycbcr422 = 0, nativeDtds = 0;  // revision 2 and later
  std::vector<CtaDataBlock> dataBlocks;
  std::vector<DetailedTiming> dtds;
  ByteRange padding;  // after the last DTD up to byte 126; empty when there is none

  template <typename T>
  const T* First() const {
    for (const CtaDataBlock& block : dataBlocks) {
      if (const T* content = std::get_if<T>(&block.content)) return content;
    }
    return nullptr;
  }
  // Every SVD of every Video Data Block, in order.
  std::vector<ShortVideo> Svds() const;
};

// The block at `bytes`, whose first byte is `offset` in the whole EDID.
CtaBlock ParseCtaBlock(std::span<const uint8_t, 128> bytes, int offset);
// A data block collection (a CTA block's bytes 4 to d - 1, or DisplayID's embedded CTA data
// blocks): blocks start within the first `size` bytes of `bytes` (whose first byte is `offset` in
// the whole EDID); a block whose length runs on past them takes what follows in `bytes`, and
// one that runs past `bytes` too is kept cut short.
std::vector<CtaDataBlock> ParseCtaDataBlocks(std::span<const uint8_t> bytes, int offset, size_t size);

void DescribeCtaBlock(const CtaBlock& block, Describer& out);
// The collection as entries of "data_blocks".
void DescribeCtaDataBlocks(const std::vector<CtaDataBlock>& blocks, Describer& out);

// What opens a data block of the kind: its tag, extended tag (-1 when none) and OUI (-1 when
// none); nothing for the kinds no single header names (vendor, unknown).
struct CtaKindHeader {
  int tag = 0;
  int extendedTag = -1;
  int oui = -1;
};
std::optional<CtaKindHeader> CtaKindHeaderOf(CtaKind kind);

// A data block's label as the report and the structure panel name it ("Video Data Block").
std::string DataBlockLabel(const CtaDataBlock& block);

// The kind word JSON gives a data block ("video", "hdmi-forum", ...).
std::string_view CtaKindId(CtaKind kind);

}  // namespace tolvex
