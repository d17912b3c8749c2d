// Inside the CTA-861 codec: one parse and one describe function per data block kind, each given
// the whole data block (its header byte at index 0, so offsets read as the standard's tables
// count them) and filling or describing its CtaDataBlock.
#pragma once

#include <span>

#include "model/cta_block.h"

namespace tolvex::cta {

using Bytes = std::span<const uint8_t>;

// cta_video.cpp
void ParseVideo(Bytes block, CtaDataBlock& out);
void DescribeVideo(const CtaDataBlock& block, Describer& out);
void ParseYcbcr420Video(Bytes block, CtaDataBlock& out);
void DescribeYcbcr420Video(const CtaDataBlock& block, Describer& out);
void ParseYcbcr420Map(Bytes block, CtaDataBlock& out);
void DescribeYcbcr420Map(const CtaDataBlock& block, Describer& out);
// The map's VICs come from the collection's SVDs, known only once every block is parsed.
void ResolveYcbcr420Map(CtaYcbcr420Map& map, std::span<const uint8_t> bitmap, bool all, const std::vector<ShortVideo>& svds);
void ParseVideoFormatPreference(Bytes block, CtaDataBlock& out);
void DescribeVideoFormatPreference(const CtaDataBlock& block, Describer& out);
void ParseType7(Bytes block, CtaDataBlock& out);
void DescribeType7(const CtaDataBlock& block, Describer& out);
// A short video descriptor's VIC and native flag.
ShortVideo DecodeSvd(uint8_t svd, int offset);

// cta_audio.cpp
void ParseAudio(Bytes block, CtaDataBlock& out);
void DescribeAudio(const CtaDataBlock& block, Describer& out);
void ParseSpeakers(Bytes block, CtaDataBlock& out);
void DescribeSpeakers(const CtaDataBlock& block, Describer& out);
void ParseRoomConfiguration(Bytes block, CtaDataBlock& out);
void DescribeRoomConfiguration(const CtaDataBlock& block, Describer& out);
void ParseSpeakerLocation(Bytes block, CtaDataBlock& out);
void DescribeSpeakerLocation(const CtaDataBlock& block, Describer& out);

// cta_vendor.cpp
void ParseHdmi(Bytes block, CtaDataBlock& out);
void DescribeHdmi(const CtaDataBlock& block, Describer& out);
void ParseHdmiForum(Bytes block, CtaDataBlock& out);
void DescribeHdmiForum(const CtaDataBlock& block, Describer& out);
void ParseAmd(Bytes block, CtaDataBlock& out);
void DescribeAmd(const CtaDataBlock& block, Describer& out);
void ParseHdr10Plus(Bytes block, CtaDataBlock& out);
void DescribeHdr10Plus(const CtaDataBlock& block, Describer& out);
void ParseDolbyVision(Bytes block, CtaDataBlock& out);
void DescribeDolbyVision(const CtaDataBlock& block, Describer& out);

// cta_metadata.cpp
void ParseVideoCapability(Bytes block, CtaDataBlock& out);
void DescribeVideoCapability(const CtaDataBlock& block, Describer& out);
void ParseColorimetry(Bytes block, CtaDataBlock& out);
void DescribeColorimetry(const CtaDataBlock& block, Describer& out);
void ParseHdrStatic(Bytes block, CtaDataBlock& out);
void DescribeHdrStatic(const CtaDataBlock& block, Describer& out);
void ParseHdrDynamic(Bytes block, CtaDataBlock& out);
void DescribeHdrDynamic(const CtaDataBlock& block, Describer& out);
void ParseOverride(Bytes block, CtaDataBlock& out);
void DescribeOverride(const CtaDataBlock& block, Describer& out);

// The block's bytes from `from` (counted from its header byte) to its end as "payload" hex, when
// there are any: what the fields before them do not name.
void DescribeRest(const CtaDataBlock& block, int from, Describer& out);

// A data block whose fields are table rows alone: its struct filled from them.
template <typename T, size_t N>
void ParseRows(std::span<const FieldRow<T>, N> rows, Bytes block, CtaDataBlock& out) {
  T values;
  ReadRows(rows, block, values);
  out.content = values;
}
// Its rows, then its bytes from `restFrom` on as hex.
template <typename T, size_t N>
void DescribeRows(std::span<const FieldRow<T>, N> rows, const CtaDataBlock& block, int restFrom, Describer& out) {
  out.Rows(rows, std::get<T>(block.content), block.bytes);
  DescribeRest(block, restFrom, out);
}

}  // namespace tolvex::cta
