// The audio data blocks of CTA-861-H: the Audio Data Block with its short audio descriptors
// (7.5.2), the Speaker Allocation Data Block (7.5.3), the Room Configuration (7.5.15) and the
// Speaker Location (7.5.16) Data Blocks.
#include <array>
#include <cstdio>

#include "model/cta_data_blocks.h"
#include "model/cta_texts.h"

namespace tolvex {

namespace {

namespace ct = cta_text;

constexpr int kSadSize = 3;
constexpr int kFormatLpcm = 1;
constexpr int kFormatExtended = 15;
constexpr int kExtendedLpcm3d = 13;
constexpr int kExtendedStart = 2;

// Offsets from the descriptor's first byte.
constexpr BitCode kFormat = Bits(0, 6, 3);
constexpr BitCode kChannels = Bits(0, 2, 0).Scaled(1, 1);
constexpr BitCode kExtendedType = Bits(2, 7, 3);
constexpr BitCode kBitRate = Bits(2).Scaled(8);
constexpr BitCode kFormatValue = Bits(2);

std::vector<double> SetBits(int mask, std::span<const double> values) {
  std::vector<double> set;
  for (size_t i = 0; i < values.size(); ++i) {
    if (mask >> i & 1) set.push_back(values[i]);
  }
  return set;
}

std::string_view FormatName(const ShortAudio& sad) {
  if (sad.format == kFormatExtended) return ct::kAudioExtendedTypes[static_cast<size_t>(sad.extendedType) % ct::kAudioExtendedTypes.size()];
  return ct::kAudioFormats[static_cast<size_t>(sad.format)];
}

uint32_t Mask(cta::Bytes block, size_t from, size_t bytes) {
  uint32_t mask = 0;
  for (size_t i = 0; i < bytes && from + i < block.size(); ++i) mask |= static_cast<uint32_t>(block[from + i]) << (8 * i);
  return mask;
}

// How many of the table's flags the present bytes hold.
std::span<const EnumName> PresentFlags(std::span<const EnumName> names, size_t blockSize, size_t from) {
  const size_t bytes = blockSize > from ? blockSize - from : 0;
  return names.first(std::min(names.size(), bytes * 8));
}

}  // namespace

std::vector<double> ShortAudio::RatesKHz() const { return SetBits(rates, ct::kSampleRatesKHz); }

std::vector<double> ShortAudio::SampleSizesBits() const {
  return format == kFormatLpcm || (format == kFormatExtended && extendedType == kExtendedLpcm3d)
             ? SetBits(byte3, ct::kSampleSizesBits)
             : std::vector<double>{};
}

int ShortAudio::MaxBitRateKbps() const { return format >= 2 && format <= 8 ? byte3 * 8 : 0; }

namespace cta {

void ParseAudio(Bytes block, CtaDataBlock& out) {
  CtaAudio audio;
  for (size_t p = 1; p + kSadSize <= block.size(); p += kSadSize) {
    const Bytes sad = block.subspan(p, kSadSize);
    ShortAudio decoded;
    decoded.bytes = {out.bytes.first + static_cast<int>(p), out.bytes.first + static_cast<int>(p) + kSadSize - 1};
    decoded.format = static_cast<int>(kFormat.Read(sad));
    decoded.maxChannels = static_cast<int>(kChannels.Value(kChannels.Read(sad)));
    if (decoded.format == kFormatExtended) {
      decoded.extendedType = static_cast<int>(kExtendedType.Read(sad));
      // L-PCM 3D audio spreads its channel count over three bytes (table 46).
      if (decoded.extendedType == kExtendedLpcm3d) {
        decoded.maxChannels = ((sad[1] & 0x80) >> 3 | (sad[0] & 0x80) >> 4 | (sad[0] & 0x07)) + 1;
      }
    }
    decoded.rates = sad[1] & 0x7F;
    decoded.byte3 = sad[2];
    audio.sads.push_back(decoded);
  }
  out.content = std::move(audio);
}

void DescribeAudio(const CtaDataBlock& block, Describer& out) {
  for (const ShortAudio& sad : std::get<CtaAudio>(block.content).sads) {
    const int at = sad.bytes.first;
    out.BeginEntry("sads", [&] {
      char label[96];
      std::snprintf(label, sizeof label, ct::kSadLabel, std::string(FormatName(sad)).c_str(), sad.maxChannels);
      return std::string(label);
    }, sad.bytes);
    out.Number("format", ct::kAudioFormat, sad.format, kFormat.Placed(at));
    if (sad.format == kFormatExtended) out.Number("extended_type", ct::kExtendedType, sad.extendedType, kExtendedType.Placed(at));
    if (sad.format == kFormatExtended && sad.extendedType == kExtendedLpcm3d) {
      out.DerivedNumber("max_channels", ct::kMaxChannels, sad.maxChannels, sad.bytes);
    } else {
      out.Number("max_channels", ct::kMaxChannels, sad.maxChannels, kChannels.Placed(at));
    }
    out.List("rates_khz", ct::kRatesKHz, sad.RatesKHz(), {at + 1, at + 1});
    out.BitFlags(ct::kRateFlags, static_cast<uint32_t>(sad.rates), at + 1, 0, FieldRole::kDetail);
    const std::vector<double> sizes = sad.SampleSizesBits();
    if (!sizes.empty() || sad.format == kFormatLpcm) {
      out.List("sample_sizes_bits", ct::kSampleSizes, sizes, {at + 2, at + 2});
      out.BitFlags(ct::kSizeFlags, static_cast<uint32_t>(sad.byte3), at + 2, 0, FieldRole::kDetail);
    } else if (sad.MaxBitRateKbps() > 0 || (sad.format >= 2 && sad.format <= 8)) {
      out.Number("max_bit_rate_kbps", ct::kMaxBitRate, sad.MaxBitRateKbps(), kBitRate.Placed(at));
    } else {
      out.Number("format_value", ct::kFormatValue, sad.byte3, kFormatValue.Placed(at));
    }
    out.End();
  }
  const size_t described = 1 + std::get<CtaAudio>(block.content).sads.size() * kSadSize;
  DescribeRest(block, static_cast<int>(described), out);
}

void ParseSpeakers(Bytes block, CtaDataBlock& out) { out.content = CtaSpeakerAllocation{Mask(block, 1, 3)}; }

void DescribeSpeakers(const CtaDataBlock& block, Describer& out) {
  out.BitFlags(PresentFlags(ct::kSpeakers, block.raw.size(), 1), std::get<CtaSpeakerAllocation>(block.content).speakers,
               block.bytes.first + 1);
}

// Byte 2: flags and the speaker count; bytes 3-5 the speakers; 6-8 the room's size; 9-11 where
// the display stands, as signed fractions of it.
using Room = CtaRoomConfiguration;
constexpr auto kRoomRows = std::to_array<FieldRow<Room>>({
    FlagRow<Room>("display_coordinates", ct::kDisplayCoordinates, Bit(2, 7), &Room::displayCoordinates),
    FlagRow<Room>("speaker_count_present", ct::kSpeakerCountPresent, Bit(2, 6), &Room::speakerCountPresent),
    FlagRow<Room>("speaker_locations", ct::kSpeakerLocations, Bit(2, 5), &Room::speakerLocations),
    NumberRow<Room>("speaker_count", ct::kSpeakerCount, Bits(2, 4, 0).Scaled(1, 1), &Room::speakerCount),
    NumberRow<Room>("x_max_dm", ct::kXmax, Bits(6), &Room::xMax),
    NumberRow<Room>("y_max_dm", ct::kYmax, Bits(7), &Room::yMax),
    NumberRow<Room>("z_max_dm", ct::kZmax, Bits(8), &Room::zMax),
});
constexpr int kRoomDisplayAt = 9;

void ParseRoomConfiguration(Bytes block, CtaDataBlock& out) {
  Room room;
  ReadRows(std::span(kRoomRows), block, room);
  room.speakers = Mask(block, 3, 3);
  if (block.size() > kRoomDisplayAt + 2) {
    room.hasDisplay = true;
    room.displayX = static_cast<int8_t>(block[kRoomDisplayAt]);
    room.displayY = static_cast<int8_t>(block[kRoomDisplayAt + 1]);
    room.displayZ = static_cast<int8_t>(block[kRoomDisplayAt + 2]);
  }
  out.content = room;
}

void DescribeRoomConfiguration(const CtaDataBlock& block, Describer& out) {
  const auto& room = std::get<Room>(block.content);
  const int at = block.bytes.first;
  out.Rows(std::span(kRoomRows).first<4>(), room, block.bytes);
  out.BitFlags(PresentFlags(ct::kSpeakers, block.raw.size(), 3), room.speakers, at + 3);
  out.Rows(std::span(kRoomRows).last<3>(), room, block.bytes);
  if (room.hasDisplay) {
    out.DerivedReal("display_x", ct::kDisplayX, room.displayX / 64.0, {at + kRoomDisplayAt, at + kRoomDisplayAt});
    out.DerivedReal("display_y", ct::kDisplayY, room.displayY / 64.0, {at + kRoomDisplayAt + 1, at + kRoomDisplayAt + 1});
    out.DerivedReal("display_z", ct::kDisplayZ, room.displayZ / 64.0, {at + kRoomDisplayAt + 2, at + kRoomDisplayAt + 2});
  }
}

// Two bytes per loudspeaker, three more when its coordinates follow (bit 6).
void ParseSpeakerLocation(Bytes block, CtaDataBlock& out) {
  CtaSpeakerLocations locations;
  size_t p = kExtendedStart;
  while (p + 2 <= block.size()) {
    SpeakerLocation location;
    location.channel = block[p] & 0x1F;
    location.active = block[p] >> 5 & 1;
    location.coordinates = block[p] >> 6 & 1;
    location.speakerId = block[p + 1] & 0x1F;
    size_t size = 2;
    if (location.coordinates && p + 5 <= block.size()) {
      location.x = static_cast<int8_t>(block[p + 2]);
      location.y = static_cast<int8_t>(block[p + 3]);
      location.z = static_cast<int8_t>(block[p + 4]);
      size = 5;
    } else {
      location.coordinates = 0;
    }
    const int at = out.bytes.first + static_cast<int>(p);
    location.bytes = {at, at + static_cast<int>(size) - 1};
    locations.locations.push_back(location);
    p += size;
  }
  out.content = std::move(locations);
}

void DescribeSpeakerLocation(const CtaDataBlock& block, Describer& out) {
  for (const SpeakerLocation& location : std::get<CtaSpeakerLocations>(block.content).locations) {
    const int at = location.bytes.first;
    char label[32];
    std::snprintf(label, sizeof label, ct::kLocationLabel, location.channel);
    out.BeginEntry("speakers", label, location.bytes);
    out.Number("channel", ct::kChannel, location.channel, Bits(at, 4, 0));
    out.Flag("active", ct::kActive, location.active, Bit(at, 5));
    out.Flag("coordinates", ct::kCoordinates, location.coordinates, Bit(at, 6));
    out.Enum("speaker_id", ct::kSpeakerId, static_cast<uint32_t>(location.speakerId), Bits(at + 1, 4, 0).Named(ct::kSpeakerIds));
    if (location.coordinates) {
      out.DerivedReal("x", ct::kLocationX, location.x / 64.0, {at + 2, at + 2});
      out.DerivedReal("y", ct::kLocationY, location.y / 64.0, {at + 3, at + 3});
      out.DerivedReal("z", ct::kLocationZ, location.z / 64.0, {at + 4, at + 4});
    }
    out.End();
  }
}

}  // namespace cta

}  // namespace tolvex
