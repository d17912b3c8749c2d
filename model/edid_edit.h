// Edit operations on a whole EDID's bytes (the base block and its extensions, 128 bytes each).
// Each operation either does all it says, with the bookkeeping that goes with it (a CTA-861
// block's DTD offset, its free space, the 4:2:0 Capability Map that follows the SVDs it marks,
// byte 126, a block map, every checksum of a block it changed), or refuses with the reason and
// leaves the bytes exactly as they were. The task edits (model/task_edits.h) are built from them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/cta_block.h"

namespace tolvex {

using EdidData = std::vector<uint8_t>;

struct EditResult {
  std::string error;               // why nothing changed; empty when the edit is done
  std::vector<std::string> notes;  // what the edit did, for the user to see

  bool Ok() const { return error.empty(); }
  static EditResult Refused(std::string reason) { return {std::move(reason), {}}; }
};

// printf into a string, for the texts of model/edit_texts.h.
__attribute__((format(printf, 1, 2))) std::string EditText(const char* format, ...);

// Runs `edit` on a copy of `edid`; the copy, every changed block's checksums made right (the
// DisplayID section checksum too), replaces `edid` only when the edit succeeds.
EditResult Transact(EdidData& edid, const std::function<EditResult(EdidData&)>& edit);

int BlockCount(const EdidData& edid);
std::span<uint8_t, 128> BlockBytes(EdidData& edid, int block);
std::span<const uint8_t, 128> BlockBytes(const EdidData& edid, int block);
// The first block with this tag after the base block, or -1.
int FindExtension(const EdidData& edid, uint8_t tag);

// ---- The data block collection of a CTA-861 block ---------------------------------------------

inline constexpr int kCtaCollectionStart = 4;
inline constexpr int kCtaRoom = 123;  // bytes 4-126: data blocks and DTDs

struct CtaDataBlockBytes {
  std::vector<uint8_t> bytes;  // header byte first
  std::vector<bool> ycbcr420;  // a Video Data Block: which of its SVDs the 4:2:0 map marks
};
struct CtaLayout {
  std::array<uint8_t, 4> header{};
  std::vector<CtaDataBlockBytes> dataBlocks;
  std::vector<std::array<uint8_t, 18>> dtds;
  bool map420All = false;  // the map was stored empty, marking every SVD

  int UsedBytes() const;
  int FreeBytes() const { return kCtaRoom - UsedBytes(); }
  // The data block's tag, extended tag (tag 7) and OUI as the codec reads them.
  static CtaKind KindOf(const CtaDataBlockBytes& block);
  int Find(CtaKind kind) const;  // the first data block of the kind, or -1
};

// The CTA-861 block `block` taken apart, or the refusal (not CTA, no collection, a broken one).
std::optional<CtaLayout> ReadCtaLayout(const EdidData& edid, int block, std::string& error);
// Puts the layout back: data blocks from byte 4, byte 2 after them, the DTDs, zeros to byte
// 126; the 4:2:0 Capability Map rewritten from the SVDs' marks (gone when none is marked).
// Refuses, naming the bytes missing, when it does not fit.
EditResult WriteCtaLayout(EdidData& edid, int block, const CtaLayout& layout);
// Read, change, write back, in one transaction.
EditResult EditCtaLayout(EdidData& edid, int block, const std::function<EditResult(CtaLayout&)>& change);

// A data block's bytes from its kind's tag, extended tag or OUI and its payload; the header's
// length is the payload's.
std::vector<uint8_t> MakeDataBlock(CtaKind kind, std::span<const uint8_t> payload);
// A data block of the kind with valid defaults (what a fresh block of that kind holds): a Video
// Data Block of VIC 16, L-PCM 2 channels 32-48 kHz 16-24 bit, front left and right speakers,
// HDMI at 1.0.0.0, HDMI Forum version 1 with SCDC, AMD FreeSync 48-60 Hz, the VCDB with RGB
// quantization selectable, BT.2020 colorimetry, HDR static metadata with SDR and PQ.
std::optional<std::vector<uint8_t>> NewDataBlock(CtaKind kind);
std::vector<uint8_t> MakeVideoDataBlock(std::span<const int> vics);
std::vector<uint8_t> MakeAmdBlock(int minHz, int maxHz);

// `position` counts data blocks from 0; -1 is after the last one.
EditResult InsertDataBlock(EdidData& edid, int block, int position, std::span<const uint8_t> dataBlock);
EditResult RemoveDataBlock(EdidData& edid, int block, int position);
EditResult MoveDataBlock(EdidData& edid, int block, int from, int to);

// ---- Fields and blocks ------------------------------------------------------------------------

// The field at `path` (as `info --json` names it) := `value`: a number, yes/no (true/false, 1/0)
// for a flag, a name or a number for an enumerated field.
EditResult SetField(EdidData& edid, std::string_view path, std::string_view value);

// `position` counts blocks from 1; -1 appends. Byte 126 and a block map in block 1 follow.
EditResult AddExtensionBlock(EdidData& edid, const std::array<uint8_t, 128>& block, int position = -1);
EditResult RemoveExtensionBlock(EdidData& edid, int block);
// An empty DisplayID 1.3 extension block (section checksum and checksum right).
std::array<uint8_t, 128> NewDisplayIdBlock();
// An empty CTA-861 revision 3 extension block: no data blocks, no DTDs, no flags (checksum right).
std::array<uint8_t, 128> NewCtaBlock();

}  // namespace tolvex
