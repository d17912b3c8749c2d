#include "model/task_edits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>

#include "model/cta_data_blocks.h"
#include "model/cvt_timing.h"
#include "model/decoded_edid.h"
#include "model/edid_extensions.h"
#include "model/edid_tables.h"
#include "model/edit_texts.h"
#include "model/field_paths.h"
#include "model/vic_table.h"

namespace tolvex {

namespace et = edit_text;

namespace {

constexpr int kBlockSize = 128;
constexpr int kRateOffset = 255;
constexpr int kMaxHdmiTmdsMhz = 340;
constexpr int kMaxForumTmdsMhz = 600;
constexpr int kMinTmdsMhz = 25;
constexpr int kTmdsStepMhz = 5;
constexpr size_t kForumVrrBytes = 11;  // header, OUI, version and bytes 5-10
constexpr size_t kHdmiTmdsBytes = 8;   // header, OUI, physical address, flags, max TMDS
constexpr int kSvdsPerBlock = 31;
constexpr int kDtdClockLimitKHz = 655350;
constexpr int kFirstDescriptor = 54;
constexpr int kDescriptorCount = 4;
constexpr uint8_t kDummyDescriptorTag = 0x10;
constexpr int kDisplayIdSectionLimit = 121;  // bytes 5-125, the section checksum at 126 the latest
constexpr int kDisplayIdDataFrom = 5;
constexpr uint8_t kDisplayIdStandaloneDisplay = 3;

// Every decoded field by path, and the kind word of every item that has one.
struct Fields {
  std::vector<FieldAtPath> all;
  std::map<std::string, std::string, std::less<>> kinds;

  explicit Fields(const EdidData& edid) : all(FieldPaths(DecodeEdid(edid))) {
    for (const FieldAtPath& at : all) {
      if (at.field.key == "kind") kinds[ItemOf(at.path)] = at.field.value.text;
    }
  }
  static std::string ItemOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(0, dot);
  }
  // The kind of the item the field belongs to, or of the nearest enclosing item that names one.
  std::string KindOf(const std::string& path) const {
    for (std::string item = ItemOf(path); !item.empty(); item = ItemOf(item)) {
      if (const auto found = kinds.find(item); found != kinds.end()) return found->second;
    }
    return {};
  }
  // The paths of the fields `key` of items of `kind`, in walk order.
  std::vector<std::string> Find(std::string_view kind, std::string_view key) const {
    std::vector<std::string> paths;
    for (const FieldAtPath& at : all) {
      if (at.field.key == key && KindOf(at.path) == kind) paths.push_back(at.path);
    }
    return paths;
  }
  const FieldAtPath* At(std::string_view path) const {
    const auto found = std::find_if(all.begin(), all.end(), [&](const FieldAtPath& at) { return at.path == path; });
    return found == all.end() ? nullptr : &*found;
  }
  double Number(std::string_view path) const {
    const FieldAtPath* at = At(path);
    return at ? at->field.value.number : 0;
  }
};

// A whole number into the field at `path`; the field's own refusal when it cannot hold it.
EditResult Put(EdidData& edid, const std::string& path, long value) {
  EditResult result = SetField(edid, path, std::to_string(value));
  result.notes.clear();
  return result;
}

std::string Sibling(const std::string& path, std::string_view key) { return Fields::ItemOf(path) + "." + std::string(key); }

void FixLength(std::vector<uint8_t>& bytes) { bytes[0] = static_cast<uint8_t>((bytes[0] & 0xE0) | ((bytes.size() - 1) & 0x1F)); }

// Every data block of `kind` in every CTA-861 block at least `size` bytes long (zeros added).
EditResult Lengthen(EdidData& edid, CtaKind kind, size_t size) {
  for (int block = 1; block < BlockCount(edid); ++block) {
    if (BlockBytes(edid, block)[0] != kTagCta861) continue;
    EditResult result = EditCtaLayout(edid, block, [&](CtaLayout& layout) {
      for (CtaDataBlockBytes& data : layout.dataBlocks) {
        if (CtaLayout::KindOf(data) != kind || data.bytes.size() >= size) continue;
        data.bytes.resize(size, 0);
        FixLength(data.bytes);
      }
      return EditResult{};
    });
    if (!result.Ok()) return result;
  }
  return {};
}

// The first CTA-861 block, or the refusal.
int FirstCta(const EdidData& edid, EditResult& refusal) {
  const int block = FindExtension(edid, kTagCta861);
  if (block < 0) refusal = EditResult::Refused(et::kNoCta);
  return block;
}

bool IsBase14(const EdidData& edid) { return edid[18] == 1 && edid[19] >= 4; }

// A pair of rates of a range limits descriptor (`axis` "v" or "h"): 1.4's +255 offsets where the
// numbers need them. The decoded rates count the offsets in, so the offsets go first.
EditResult PutRangePair(EdidData& edid, const std::string& item, char axis, int low, int high) {
  const bool v = axis == 'v';
  const std::string offsets = item + (v ? ".vertical_offsets" : ".horizontal_offsets");
  const std::string unit = v ? "_hz" : "_khz";
  int code = 0;
  if (high > kRateOffset && IsBase14(edid)) code = low > kRateOffset ? 3 : 2;
  if (IsBase14(edid)) {
    if (EditResult r = Put(edid, offsets, code); !r.Ok()) return r;
  }
  if (EditResult r = Put(edid, item + ".min_" + axis + unit, low); !r.Ok()) return r;
  return Put(edid, item + ".max_" + axis + unit, high);
}

std::vector<std::string> RangeLimitItems(const EdidData& edid) {
  std::vector<std::string> items;
  for (const std::string& path : Fields(edid).Find("range-limits", "min_v_hz")) items.push_back(Fields::ItemOf(path));
  return items;
}

// The (min, max) of a range limits descriptor's pair, offsets included.
std::pair<int, int> RangePair(const Fields& fields, const std::string& item, char axis) {
  const std::string unit = axis == 'v' ? "_hz" : "_khz";
  return {static_cast<int>(fields.Number(item + ".min_" + axis + unit)), static_cast<int>(fields.Number(item + ".max_" + axis + unit))};
}

// What a range limits descriptor must include of a timing.
struct TimingRates {
  double vHz = 0;
  double hKHz = 0;
  int clockKHz = 0;
};

// The range limits widened, where they would exclude the timing; 1.3 holds no rate above 255.
EditResult WidenRanges(EdidData& edid, const TimingRates& t, EditResult& done) {
  const int limit = IsBase14(edid) ? 2 * kRateOffset : kRateOffset;
  for (const std::string& item : RangeLimitItems(edid)) {
    const Fields fields(edid);
    auto [vLow, vHigh] = RangePair(fields, item, 'v');
    auto [hLow, hHigh] = RangePair(fields, item, 'h');
    const int clock = static_cast<int>(fields.Number(item + ".max_pixel_clock_mhz"));
    const int v = std::min(limit, static_cast<int>(std::ceil(t.vHz)));
    const int h = std::min(limit, static_cast<int>(std::ceil(t.hKHz)));
    const int vFloor = static_cast<int>(std::floor(t.vHz)), hFloor = static_cast<int>(std::floor(t.hKHz));
    const int mhz = std::min(2550, (t.clockKHz + 9999) / 10000 * 10);
    if (vFloor >= vLow && v <= vHigh && hFloor >= hLow && h <= hHigh && mhz <= clock) continue;
    vLow = std::min(vLow, vFloor), vHigh = std::max(vHigh, v), hLow = std::min(hLow, hFloor), hHigh = std::max(hHigh, h);
    if (EditResult r = PutRangePair(edid, item, 'v', vLow, vHigh); !r.Ok()) return r;
    if (EditResult r = PutRangePair(edid, item, 'h', hLow, hHigh); !r.Ok()) return r;
    if (EditResult r = Put(edid, item + ".max_pixel_clock_mhz", std::max(clock, mhz)); !r.Ok()) return r;
    done.notes.push_back(EditText(et::kWidenedRanges, vLow, vHigh, hLow, hHigh, std::max(clock, mhz)));
  }
  return {};
}

// The lowest and highest vertical rate of every timing the EDID lists: established and standard
// timings, detailed timings, VICs, DisplayID timings.
std::pair<double, double> VerticalEnvelope(const EdidData& edid) {
  std::vector<double> rates;
  for (const EstablishedTiming& timing : kEstablishedTimings) {
    if (edid[timing.offset] >> timing.bit & 1) rates.push_back(std::stod(std::string(timing.text.substr(timing.text.find('@') + 1))));
  }
  constexpr int kStandardFrom = 38, kStandardTo = 54, kStandardRateBase = 60;
  for (int at = kStandardFrom; at < kStandardTo; at += 2) {
    const bool unused = (edid[at] == 1 && edid[at + 1] == 1) || edid[at] == 0;
    if (!unused) rates.push_back((edid[at + 1] & 0x3F) + kStandardRateBase);
  }
  const DecodedEdid decoded = DecodeEdid(edid);
  for (const DecodedBlock& block : decoded.blocks) {
    if (const BaseReading* base = block.As<BaseReading>()) {
      for (const DetailedTiming& dtd : base->Dtds()) rates.push_back(dtd.RefreshHz());
    } else if (const CtaBlock* cta = block.As<CtaBlock>()) {
      for (const DetailedTiming& dtd : cta->dtds) rates.push_back(dtd.RefreshHz());
      std::vector<ShortVideo> svds = cta->Svds();
      for (const CtaDataBlock& data : cta->dataBlocks) {
        if (const auto* only420 = std::get_if<CtaYcbcr420Video>(&data.content)) svds.insert(svds.end(), only420->svds.begin(), only420->svds.end());
      }
      for (const ShortVideo& svd : svds) {
        if (const VideoTiming* vic = FindVic(svd.vic)) rates.push_back(vic->RefreshHz());
      }
    } else if (const DisplayIdBlock* displayId = block.As<DisplayIdBlock>()) {
      for (const DisplayIdTiming& timing : displayId->Timings()) rates.push_back(timing.RefreshHz());
    }
  }
  std::erase_if(rates, [](double rate) { return !(rate > 0); });
  if (rates.empty()) return {0, 0};
  return {*std::min_element(rates.begin(), rates.end()), *std::max_element(rates.begin(), rates.end())};
}

// ---- VRR ------------------------------------------------------------------------------------

EditResult PutEverywhere(EdidData& edid, std::string_view kind, std::string_view minKey, std::string_view maxKey, int low,
                         int high, const char* note, EditResult& done) {
  for (const std::string& path : Fields(edid).Find(kind, minKey)) {
    if (EditResult r = Put(edid, path, low); !r.Ok()) return r;
    const std::string max = Sibling(path, maxKey);
    if (EditResult r = Put(edid, max, high); !r.Ok()) return r;
    done.notes.push_back(EditText(note, low, high));
  }
  return {};
}

}  // namespace

EditResult SetVrrRange(EdidData& edid, int minHz, int maxHz, bool addAmd) {
  if (minHz < 1 || minHz >= maxHz) return EditResult::Refused(EditText(et::kVrrOrder, minHz, maxHz));
  return Transact(edid, [&](EdidData& work) {
    EditResult done;
    for (const std::string& item : RangeLimitItems(work)) {
      if (maxHz > kRateOffset && !IsBase14(work)) {
        return EditResult::Refused(EditText(et::kVrrTooHigh, et::kRangeLimits, kRateOffset, et::kMaximum));
      }
      // Every timing the EDID lists stays inside the limits.
      const auto [lowest, highest] = VerticalEnvelope(work);
      const int low = lowest > 0 ? std::min(minHz, static_cast<int>(std::floor(lowest))) : minHz;
      const int high = std::max(maxHz, static_cast<int>(std::ceil(highest)));
      if (EditResult r = PutRangePair(work, item, 'v', low, high); !r.Ok()) return r;
      done.notes.push_back(EditText(et::kSetRangeLimits, low, high));
    }
    if (addAmd && Fields(work).Find("amd", "min_hz").empty()) {
      EditResult refusal;
      const int cta = FirstCta(work, refusal);
      if (cta < 0) return refusal;
      if (maxHz > kRateOffset) return EditResult::Refused(EditText(et::kVrrTooHigh, et::kAmdBlock, kRateOffset, et::kMaximum));
      if (EditResult r = InsertDataBlock(work, cta, -1, MakeAmdBlock(minHz, maxHz)); !r.Ok()) return r;
      done.notes.push_back(EditText(et::kAddedAmd, minHz, maxHz));
    } else if (EditResult r = PutEverywhere(work, "amd", "min_hz", "max_hz", minHz, maxHz, et::kSetAmd, done); !r.Ok()) {
      return r;
    }
    if (!Fields(work).Find("hdmi-forum", "version").empty()) {
      if (EditResult r = Lengthen(work, CtaKind::kHdmiForum, kForumVrrBytes); !r.Ok()) return r;
      if (EditResult r = PutEverywhere(work, "hdmi-forum", "vrr_min_hz", "vrr_max_hz", minHz, maxHz, et::kSetHdmiForumVrr, done);
          !r.Ok()) {
        return r;
      }
    }
    if (EditResult r = PutEverywhere(work, "adaptive-sync", "min_hz", "max_hz", minHz, maxHz, et::kSetAdaptiveSync, done); !r.Ok()) {
      return r;
    }
    if (EditResult r = PutEverywhere(work, "dynamic-range", "min_hz", "max_hz", minHz, maxHz, et::kSetDynamicRange, done);
        !r.Ok()) {
      return r;
    }
    if (done.notes.empty()) return EditResult::Refused(et::kVrrNowhere);
    return done;
  });
}

// ---- RGB only -------------------------------------------------------------------------------

EditResult MakeRgbOnly(EdidData& edid) {
  return Transact(edid, [&](EdidData& work) {
    EditResult done;
    for (const std::string& path : Fields(work).Find("cta-861", "ycbcr444")) {
      if (EditResult r = Put(work, path, 0); !r.Ok()) return r;
      if (EditResult r = Put(work, Sibling(path, "ycbcr422"), 0); !r.Ok()) return r;
      const int block = std::stoi(path.substr(path.find('[') + 1));
      done.notes.push_back(EditText(et::kClearedYcbcr, block));
    }
    for (const std::string& path : Fields(work).Find("base", "color_encodings")) {
      if (EditResult r = Put(work, path, 0); !r.Ok()) return r;
      done.notes.push_back(et::kClearedBase);
    }
    for (const auto& [kind, key] : {std::pair{"hdmi", "dc_y444"}, {"hdmi-forum", "dc_48bit_420"},
                                    {"hdmi-forum", "dc_36bit_420"}, {"hdmi-forum", "dc_30bit_420"}}) {
      for (const std::string& path : Fields(work).Find(kind, key)) {
        if (EditResult r = Put(work, path, 0); !r.Ok()) return r;
      }
    }
    for (int block = 1; block < BlockCount(work); ++block) {
      if (BlockBytes(work, block)[0] != kTagCta861) continue;
      EditResult removed = EditCtaLayout(work, block, [&](CtaLayout& layout) {
        for (CtaKind kind : {CtaKind::kYcbcr420Video, CtaKind::kYcbcr420Map}) {
          for (int at = layout.Find(kind); at >= 0; at = layout.Find(kind)) {
            layout.dataBlocks.erase(layout.dataBlocks.begin() + at);
            const std::string name(CtaKindId(kind));
            done.notes.push_back(EditText(et::kRemovedDataBlock, block, name.c_str()));
          }
        }
        for (CtaDataBlockBytes& data : layout.dataBlocks) std::fill(data.ycbcr420.begin(), data.ycbcr420.end(), false);
        return EditResult{};
      });
      if (!removed.Ok()) return removed;
    }
    return done;
  });
}

// ---- TMDS and FRL ---------------------------------------------------------------------------

EditResult SetMaxTmds(EdidData& edid, int mhz, std::optional<int> frlGbps) {
  if (mhz < kMinTmdsMhz || mhz > kMaxForumTmdsMhz) return EditResult::Refused(EditText(et::kTmdsRange, mhz));
  constexpr int kFrlRates[] = {0, 9, 18, 24, 32, 40, 48};
  const int* frl = frlGbps ? std::find(std::begin(kFrlRates), std::end(kFrlRates), *frlGbps) : nullptr;
  if (frlGbps && frl == std::end(kFrlRates)) return EditResult::Refused(EditText(et::kFrlValues, *frlGbps));
  return Transact(edid, [&](EdidData& work) {
    EditResult done;
    const bool forum = !Fields(work).Find("hdmi-forum", "version").empty();
    if (Fields(work).Find("hdmi", "physical_a").empty()) return EditResult::Refused(et::kNoHdmi);
    if (mhz > kMaxHdmiTmdsMhz && !forum) return EditResult::Refused(EditText(et::kNoHdmiForum, mhz));
    if (frlGbps && !forum) return EditResult::Refused(et::kNoHdmiForumFrl);
    if (EditResult r = Lengthen(work, CtaKind::kHdmi, kHdmiTmdsBytes); !r.Ok()) return r;
    const int hdmi = std::min(mhz, kMaxHdmiTmdsMhz) / kTmdsStepMhz * kTmdsStepMhz;
    for (const std::string& path : Fields(work).Find("hdmi", "max_tmds_mhz")) {
      if (EditResult r = Put(work, path, hdmi); !r.Ok()) return r;
      done.notes.push_back(EditText(et::kSetHdmiTmds, hdmi));
    }
    const int rate = mhz > kMaxHdmiTmdsMhz ? mhz / kTmdsStepMhz * kTmdsStepMhz : 0;
    for (const std::string& path : Fields(work).Find("hdmi-forum", "max_tmds_mhz")) {
      if (EditResult r = Put(work, path, rate); !r.Ok()) return r;
      done.notes.push_back(EditText(et::kSetForumTmds, rate));
    }
    if (frlGbps) {
      for (const std::string& path : Fields(work).Find("hdmi-forum", "max_frl_rate")) {
        if (EditResult r = Put(work, path, frl - std::begin(kFrlRates)); !r.Ok()) return r;
        done.notes.push_back(EditText(et::kSetFrl, *frlGbps));
      }
    }
    return done;
  });
}

// ---- VICs -----------------------------------------------------------------------------------

namespace {

int VicOfSvd(uint8_t svd) { return cta::DecodeSvd(svd, 0).vic; }

// Takes every byte whose VIC is `vic` out of the payload from `from` on; whether there was one.
bool DropVic(CtaDataBlockBytes& data, size_t from, int vic) {
  bool dropped = false;
  for (size_t i = data.bytes.size(); i-- > from;) {
    if (VicOfSvd(data.bytes[i]) != vic) continue;
    data.bytes.erase(data.bytes.begin() + static_cast<std::ptrdiff_t>(i));
    if (!data.ycbcr420.empty()) data.ycbcr420.erase(data.ycbcr420.begin() + static_cast<std::ptrdiff_t>(i - from));
    dropped = true;
  }
  FixLength(data.bytes);
  return dropped;
}

EditResult InsertVic(EdidData& edid, int vic) {
  if (vic >= 128 && vic <= 192) return EditResult::Refused(EditText(et::kUnstorableVic, vic));
  EditResult refusal;
  const int block = FirstCta(edid, refusal);
  if (block < 0) return refusal;
  return EditCtaLayout(edid, block, [&](CtaLayout& layout) {
    if (layout.header[1] < 3) return EditResult::Refused(EditText(et::kCtaNoDataBlocks, block, layout.header[1]));
    CtaDataBlockBytes* room = nullptr;
    for (CtaDataBlockBytes& data : layout.dataBlocks) {
      if (CtaLayout::KindOf(data) != CtaKind::kVideo) continue;
      for (size_t i = 1; i < data.bytes.size(); ++i) {
        if (VicOfSvd(data.bytes[i]) == vic) return EditResult::Refused(EditText(et::kVicPresent, vic));
      }
      if (!room && static_cast<int>(data.bytes.size()) - 1 < kSvdsPerBlock) room = &data;
    }
    if (!room) {
      CtaDataBlockBytes fresh;
      fresh.bytes = MakeVideoDataBlock({});
      layout.dataBlocks.insert(layout.dataBlocks.begin(), std::move(fresh));
      room = &layout.dataBlocks.front();
    }
    room->bytes.push_back(static_cast<uint8_t>(vic));
    room->ycbcr420.push_back(false);
    FixLength(room->bytes);
    EditResult done;
    done.notes.push_back(EditText(et::kAddedVic, block, vic));
    return done;
  });
}

}  // namespace

EditResult AddVic(EdidData& edid, int vic) {
  const VideoTiming* timing = FindVic(vic);
  if (!timing) return EditResult::Refused(EditText(et::kUnknownVic, vic));
  return Transact(edid, [&](EdidData& work) {
    EditResult done = InsertVic(work, vic);
    if (!done.Ok()) return done;
    const TimingRates rates{timing->RefreshHz(), timing->HorizontalKHz(), static_cast<int>(timing->pixelClockKHz)};
    if (EditResult r = WidenRanges(work, rates, done); !r.Ok()) return r;
    return done;
  });
}

EditResult RemoveVic(EdidData& edid, int vic) {
  return Transact(edid, [&](EdidData& work) {
    EditResult done;
    for (int block = 1; block < BlockCount(work); ++block) {
      if (BlockBytes(work, block)[0] != kTagCta861) continue;
      EditResult removed = EditCtaLayout(work, block, [&](CtaLayout& layout) {
        bool any = false;
        for (size_t i = layout.dataBlocks.size(); i-- > 0;) {
          CtaDataBlockBytes& data = layout.dataBlocks[i];
          const CtaKind kind = CtaLayout::KindOf(data);
          const size_t from = kind == CtaKind::kVideo ? 1 : 2;
          if (kind != CtaKind::kVideo && kind != CtaKind::kYcbcr420Video && kind != CtaKind::kVideoFormatPreference) continue;
          if (!DropVic(data, from, vic)) continue;
          any = true;
          if (data.bytes.size() == from) layout.dataBlocks.erase(layout.dataBlocks.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (any) done.notes.push_back(EditText(et::kRemovedVic, block, vic));
        return EditResult{};
      });
      if (!removed.Ok()) return removed;
    }
    if (done.notes.empty()) return EditResult::Refused(EditText(et::kVicAbsent, vic));
    return done;
  });
}

// ---- HDR luminance --------------------------------------------------------------------------

namespace {

// CTA-861-H 7.5.13: 50 x 2^(code / 32) cd/m^2; the minimum (max x (code / 255)^2 / 100).
int LuminanceCode(double cdm2) { return std::clamp(static_cast<int>(std::lround(32 * std::log2(cdm2 / 50))), 0, 255); }
double CodeLuminance(int code) { return 50 * std::pow(2.0, code / 32.0); }
int MinLuminanceCode(double cdm2, int maxCode) {
  return std::clamp(static_cast<int>(std::lround(255 * std::sqrt(cdm2 * 100 / CodeLuminance(maxCode)))), 0, 255);
}

}  // namespace

EditResult SetHdrLuminance(EdidData& edid, double maxCdm2, std::optional<double> avgCdm2, std::optional<double> minCdm2) {
  const bool ordered = maxCdm2 > 0 && (!avgCdm2 || (*avgCdm2 > 0 && *avgCdm2 <= maxCdm2)) &&
                       (!minCdm2 || (*minCdm2 >= 0 && *minCdm2 < maxCdm2 && (!avgCdm2 || *minCdm2 <= *avgCdm2)));
  if (!ordered) return EditResult::Refused(et::kLuminanceOrder);
  return Transact(edid, [&](EdidData& work) {
    if (Fields(work).Find("hdr-static", "kind").empty()) {
      return EditResult::Refused(et::kNoHdrStatic);
    }
    // Header, extended tag, EOTFs, metadata types, then the three codes.
    const size_t size = minCdm2 ? 7 : avgCdm2 ? 6 : 5;
    if (EditResult r = Lengthen(work, CtaKind::kHdrStatic, size); !r.Ok()) return r;
    const int maxCode = LuminanceCode(maxCdm2);
    struct Code {
      const char* key;
      const char* decoded;
      const char* name;
      std::optional<int> code;
    };
    const Code codes[] = {
        {"max_luminance_code", "max_luminance", et::kLuminanceMax, maxCode},
        {"max_fall_code", "max_fall", et::kLuminanceAvg, avgCdm2 ? std::optional(LuminanceCode(*avgCdm2)) : std::nullopt},
        {"min_luminance_code", "min_luminance", et::kLuminanceMin,
         minCdm2 ? std::optional(MinLuminanceCode(*minCdm2, maxCode)) : std::nullopt},
    };
    EditResult done;
    for (const Code& code : codes) {
      if (!code.code) continue;
      for (const std::string& path : Fields(work).Find("hdr-static", code.key)) {
        if (EditResult r = Put(work, path, *code.code); !r.Ok()) return r;
      }
    }
    const Fields after(work);
    for (const Code& code : codes) {
      if (!code.code) continue;
      for (const std::string& path : after.Find("hdr-static", code.decoded)) {
        done.notes.push_back(EditText(et::kLuminance, code.name, *code.code, after.Number(path)));
      }
    }
    return done;
  });
}

// ---- A timing by CVT ------------------------------------------------------------------------

namespace {

DetailedTiming DtdOf(const CvtTiming& t, const EdidData& edid) {
  DetailedTiming dtd;
  dtd.pixelClockKHz = (t.pixelClockKHz + 5) / 10 * 10;
  dtd.hActive = t.hActive;
  dtd.hBlank = t.HTotal() - t.hActive;
  dtd.vActive = t.vActive;
  dtd.vBlank = t.VTotal() - t.vActive;
  dtd.hFront = t.hFront;
  dtd.hSync = t.hSync;
  dtd.vFront = t.vFront;
  dtd.vSync = t.vSync;
  dtd.hSizeMm = edid[21] * 10;
  dtd.vSizeMm = edid[22] * 10;
  dtd.syncType = 3;  // digital separate; reduced blanking has +H -V sync
  dtd.syncBit2 = 0;
  dtd.syncBit1 = 1;
  return dtd;
}

// DisplayID's aspect ratio codes (1.3 table 4-2, 2.1 table 4-11); 8 leaves it to the sizes.
int DisplayIdAspect(int width, int height) {
  constexpr std::array<std::pair<int, int>, 8> kAspects = {{{1, 1}, {5, 4}, {4, 3}, {15, 9}, {16, 9}, {16, 10}, {64, 27}, {256, 135}}};
  for (size_t i = 0; i < kAspects.size(); ++i) {
    if (width * kAspects[i].second == height * kAspects[i].first) return static_cast<int>(i);
  }
  return 8;
}

DisplayIdTiming DisplayIdOf(const CvtTiming& t, bool type7) {
  DisplayIdTiming timing;
  timing.aspect = DisplayIdAspect(t.hActive, t.vActive);
  timing.type7 = type7;
  timing.pixelClockKHz = type7 ? t.pixelClockKHz : (t.pixelClockKHz + 5) / 10 * 10;
  timing.hActive = t.hActive;
  timing.hBlank = t.HTotal() - t.hActive;
  timing.hFront = t.hFront;
  timing.hSync = t.hSync;
  timing.hSyncPositive = 1;
  timing.vActive = t.vActive;
  timing.vBlank = t.VTotal() - t.vActive;
  timing.vFront = t.vFront;
  timing.vSync = t.vSync;
  return timing;
}

// A free 18-byte descriptor of the base block (the dummy descriptor, tag 0x10), or -1.
int FreeDescriptor(const EdidData& edid) {
  for (int i = 0; i < kDescriptorCount; ++i) {
    const size_t at = static_cast<size_t>(kFirstDescriptor + 18 * i);
    if (edid[at] == 0 && edid[at + 1] == 0 && edid[at + 2] == 0 && edid[at + 3] == kDummyDescriptorTag) return i;
  }
  return -1;
}

bool PlaceInBase(EdidData& edid, const DetailedTiming& dtd, EditResult& done) {
  const int slot = FreeDescriptor(edid);
  if (slot < 0) return false;
  const size_t at = static_cast<size_t>(kFirstDescriptor + 18 * slot);
  if (!EncodeDetailedTiming(dtd, std::span(edid).subspan(at).first<kDetailedTimingSize>())) return false;
  done.notes.push_back(EditText(et::kTimingInBase, slot + 1));
  return true;
}

bool PlaceInCta(EdidData& edid, const DetailedTiming& dtd, EditResult& done) {
  const int block = FindExtension(edid, kTagCta861);
  std::array<uint8_t, kDetailedTimingSize> bytes{};
  if (block < 0 || !EncodeDetailedTiming(dtd, bytes)) return false;
  const EditResult placed = EditCtaLayout(edid, block, [&](CtaLayout& layout) {
    layout.dtds.push_back(bytes);
    return EditResult{};
  });
  if (placed.Ok()) done.notes.push_back(EditText(et::kTimingInCta, block));
  return placed.Ok();
}

// As a DisplayID Type VII Video Timing Data Block of the first CTA-861 block.
bool PlaceInCtaType7(EdidData& edid, const CvtTiming& t, EditResult& done) {
  const int block = FindExtension(edid, kTagCta861);
  std::array<uint8_t, 1 + kDisplayIdTimingSize> payload{};  // the block revision, then the timing
  if (block < 0 || !EncodeDisplayIdTiming(DisplayIdOf(t, true), std::span(payload).subspan(1).first<kDisplayIdTimingSize>())) {
    return false;
  }
  if (!InsertDataBlock(edid, block, -1, MakeDataBlock(CtaKind::kType7, payload)).Ok()) return false;
  done.notes.push_back(EditText(et::kTimingInCtaType7, block));
  return true;
}

// A DisplayID block's product identification from the base block's: product code, serial,
// week, year from 2000 on, no name.
std::array<uint8_t, 15> ProductIdentification(const EdidData& edid) {
  constexpr int kYearBase = 1990, kDisplayIdYearBase = 2000;
  const int year = edid[17] + kYearBase - kDisplayIdYearBase;
  return {0x00, 0x00, 12, 0, 0, 0, edid[10], edid[11], edid[12], edid[13], edid[14], edid[15],
          static_cast<uint8_t>(edid[16] <= 54 ? edid[16] : 0), static_cast<uint8_t>(std::max(year, 0)), 0};
}

// A new DisplayID block holds one product identification and the timing, preferred; an EDID 1.3
// takes no third block without a block map.
int AddDisplayIdBlock(EdidData& edid, EditResult& done) {
  if (!IsBase14(edid) && BlockCount(edid) >= 2) return -1;
  std::array<uint8_t, 128> block = NewDisplayIdBlock();
  block[3] = kDisplayIdStandaloneDisplay;
  const std::array<uint8_t, 15> product = ProductIdentification(edid);
  std::copy(product.begin(), product.end(), block.begin() + kDisplayIdDataFrom);
  block[2] = static_cast<uint8_t>(product.size());
  if (!AddExtensionBlock(edid, block).Ok()) return -1;
  done.notes.push_back(EditText(et::kAddedDisplayId, BlockCount(edid) - 1));
  return BlockCount(edid) - 1;
}

bool PlaceInDisplayId(EdidData& edid, const CvtTiming& t, EditResult& done) {
  int block = FindExtension(edid, kTagDisplayId);
  const bool fresh = block < 0;
  if (fresh) block = AddDisplayIdBlock(edid, done);
  if (block < 0) return false;
  const std::span<uint8_t, kBlockSize> bytes = BlockBytes(edid, block);
  const bool type7 = bytes[1] >> 4 >= 2;
  const int section = bytes[2];
  std::array<uint8_t, 3 + kDisplayIdTimingSize> data{};
  data[0] = type7 ? kDisplayIdTagType7 : kDisplayIdTagType1;
  data[2] = kDisplayIdTimingSize;
  DisplayIdTiming timing = DisplayIdOf(t, type7);
  timing.preferred = fresh ? 1 : 0;
  if (section + static_cast<int>(data.size()) > kDisplayIdSectionLimit ||
      !EncodeDisplayIdTiming(timing, std::span(data).subspan(3).first<kDisplayIdTimingSize>())) {
    return false;
  }
  const size_t end = static_cast<size_t>(kDisplayIdDataFrom + section);
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(end), bytes.end() - 1, 0);
  std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(end));
  bytes[2] = static_cast<uint8_t>(section + static_cast<int>(data.size()));
  done.notes.push_back(EditText(et::kTimingInDisplayId, type7 ? "VII" : "I", block));
  return true;
}

}  // namespace

EditResult AddCvtTiming(EdidData& edid, int width, int height, double hz, bool rb2) {
  std::optional<CvtTiming> timing = ComputeCvtReducedBlanking(width, height, hz, rb2 ? 2 : 1);
  if (!rb2 && timing && timing->pixelClockKHz > kDtdClockLimitKHz) {
    const std::optional<CvtTiming> v2 = ComputeCvtReducedBlanking(width, height, hz, 2);
    if (v2 && v2->pixelClockKHz <= kDtdClockLimitKHz) timing = v2;
  }
  if (!timing) return EditResult::Refused(EditText(et::kNoTiming, width, height, hz));
  const CvtTiming& t = *timing;
  return Transact(edid, [&](EdidData& work) {
    EditResult done;
    done.notes.push_back(EditText(et::kTimingComputed, t.hActive, t.vActive, t.RefreshHz(), t.version,
                                  t.pixelClockKHz / 1000.0, t.HorizontalKHz()));
    const DetailedTiming dtd = DtdOf(t, work);
    const bool fitsDtd = t.pixelClockKHz <= kDtdClockLimitKHz;
    if (!(fitsDtd && PlaceInBase(work, dtd, done)) && !(fitsDtd && PlaceInCta(work, dtd, done)) &&
        !PlaceInCtaType7(work, t, done) && !PlaceInDisplayId(work, t, done)) {
      return EditResult::Refused(EditText(et::kNoTimingPlace, width, height, hz));
    }
    if (EditResult r = WidenRanges(work, {t.RefreshHz(), t.HorizontalKHz(), t.pixelClockKHz}, done); !r.Ok()) return r;
    return done;
  });
}

}  // namespace tolvex
