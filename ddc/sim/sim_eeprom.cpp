#include "ddc/sim/sim_eeprom.h"

#include <algorithm>
#include <bit>

namespace tolvex::sim {

namespace {

constexpr uint8_t kPageMask = SimEeprom::kPageSize - 1;

}  // namespace

bool SimEeprom::IsValidSize(int size) {
  return size >= kSegmentSize && size <= kMaxSize && std::has_single_bit(static_cast<unsigned>(size));
}

void SimEeprom::Resize(int size) { memory_.resize(static_cast<size_t>(size), 0xFF); }

void SimEeprom::Load(std::span<const uint8_t> bytes, uint8_t offset) {
  const size_t count = std::min<size_t>(bytes.size(), memory_.size() - offset);
  std::copy_n(bytes.begin(), count, memory_.begin() + offset);
}

bool SimEeprom::OnAddress(bool read) {
  if (deafUntilStart_ || InWriteCycle()) return false;
  pendingMask_ = 0;
  expectWordAddress_ = !read;
  return true;
}

bool SimEeprom::OnSegmentAddress() { return HasSegments() && !deafUntilStart_ && !InWriteCycle(); }

bool SimEeprom::OnSegmentByte(uint8_t segment) {
  if (size_t{segment} * kSegmentSize >= memory_.size()) return false;
  segment_ = segment;
  return true;
}

bool SimEeprom::OnWriteByte(uint8_t byte) {
  if (expectWordAddress_) {
    counter_ = byte;
    expectWordAddress_ = false;
    return true;
  }
  // The counter's low bits walk round the page; the high bits stay where the word address put them.
  const uint8_t slot = counter_ & kPageMask;
  page_[slot] = byte;
  pendingMask_ |= static_cast<uint8_t>(1u << slot);
  counter_ = static_cast<uint8_t>((counter_ & ~kPageMask) | ((counter_ + 1) & kPageMask));
  return true;
}

uint8_t SimEeprom::OnReadByte() { return memory_[MemoryIndex(counter_++)]; }

void SimEeprom::OnStop(bool writable) {
  const uint8_t mask = pendingMask_;
  pendingMask_ = 0;
  const size_t pageStart = MemoryIndex(counter_ & ~kPageMask);
  // A protected chip acknowledged the bytes but starts no write cycle.
  if (mask == 0 || !writable) return;
  for (int slot = 0; slot < kPageSize; ++slot) {
    if (mask & (1u << slot)) memory_[pageStart + slot] = page_[slot];
  }
  ++pageWrites_;
  busyUntilNs_ = time_.ns + uint64_t{writeCycleUs_} * 1000;
}

}  // namespace tolvex::sim
