// How full an extension block is: a CTA-861 block's data blocks and DTDs in its 123 bytes, a
// DisplayID block's section data in the bytes its section can hold.
#pragma once

#include <optional>

#include "model/edid_edit.h"

namespace tolvex {

// Section data of a DisplayID extension: bytes 5-125, the section checksum after them.
inline constexpr int kDisplayIdSectionRoom = 121;

struct BlockRoom {
  int used = 0;
  int room = 0;
  int Free() const { return room - used; }
};

// The room of block `block` (from 1), or nothing for a block that keeps no such count (a block
// map, an unknown tag, a CTA-861 block whose collection is broken).
std::optional<BlockRoom> ReadBlockRoom(const EdidData& edid, int block);

}  // namespace tolvex
