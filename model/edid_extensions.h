// The blocks that follow the base block in a whole EDID: CTA-861, DisplayID, a block map and the
// like, 128 bytes each exactly as stored, checksums included. The program decodes none of them;
// they travel beside the one EdidBlock from a file or a monitor to a file or a monitor unchanged,
// and byte 126 of the base block says how many there should be.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/edid_block.h"

namespace tolvex {

// Byte 126 counts up to 254 extensions in a whole EDID (with a block map); 256 blocks in all fill
// the 128 segments of the E-DDC address space.
inline constexpr int kMaxExtensionBlocks = 254;
inline constexpr int kExtensionCountOffset = 126;

// The extension tags the report names.
inline constexpr uint8_t kTagCta861 = 0x02;
inline constexpr uint8_t kTagVideoTimingBlock = 0x10;
inline constexpr uint8_t kTagDisplayId = 0x70;
inline constexpr uint8_t kTagBlockMap = 0xF0;

struct EdidExtensions {
  std::vector<EdidBytes> blocks;
  // Bytes of the whole EDID that its source announced but did not supply (a dump or a file cut
  // short). They stand as zero in the blocks, and nothing with missing bytes may reach a monitor.
  int missingBytes = 0;
  // Byte 127 of the base block as its source held it, where that was not the block's checksum.
  // The block holds the right checksum since it was loaded; the check still names the stored one.
  std::optional<uint8_t> storedChecksum;
  bool storedByMonitor = false;  // the source was a monitor, not a file

  int Count() const { return static_cast<int>(blocks.size()); }
  void Clear() {
    blocks.clear();
    missingBytes = 0;
    storedChecksum.reset();
  }
  bool operator==(const EdidExtensions&) const = default;
};

// The base block and its extensions as read from raw bytes.
struct WholeEdid {
  EdidBytes base{};
  EdidExtensions extensions;
};

// The 8-bit sum of all 128 bytes is zero.
bool IsChecksumRight(const EdidBytes& block);

// How many extension blocks byte 126 asks for, as far as a whole EDID can hold them.
int AnnouncedExtensions(const EdidBytes& base);

// Bytes short of what byte 126 announces when `held` blocks are there: 128 for each block that
// is not. Bytes missing inside the held blocks are the caller's to add.
int MissingBlockBytes(const EdidBytes& base, int held);

// Raw binary EDID (at least the 128 bytes of the base block): every block the bytes begin, up to
// the most a whole EDID holds. A block cut short is kept with zeros for its missing bytes, and
// those, and whole blocks byte 126 announces beyond the end, count as missing.
WholeEdid SplitWholeEdid(std::span<const uint8_t> bytes);

// The base block followed by each extension block: what a monitor's EEPROM and a binary file hold.
std::vector<uint8_t> JoinWholeEdid(const EdidBytes& base, const EdidExtensions& extensions);

// Byte 127 of every extension block := the checksum of its own bytes.
void UpdateExtensionChecksums(EdidExtensions& extensions);

// The first reason a whole EDID must not go to a monitor or a firmware file as it stands.
struct WholeEdidFault {
  enum Kind : uint8_t {
    kIncomplete,     // `stated` bytes were missing where it came from
    kCountMismatch,  // byte 126 (`stated`) is not the number of blocks held (`actual`)
    kChecksum,       // block `block` (0 = base) stores `stated` where its bytes need `actual`
  };
  Kind kind;
  int block = 0;
  int stated = 0;
  int actual = 0;
  bool operator==(const WholeEdidFault&) const = default;
};
std::optional<WholeEdidFault> FindWholeEdidFault(const EdidBytes& base, const EdidExtensions& extensions);

}  // namespace tolvex
