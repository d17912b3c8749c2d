// What the fuzz targets share: a check that stops the run with the property that broke, and a
// reader that takes values off the front of the fuzzer's input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

// A broken property is a finding: libFuzzer keeps the input that caused the abort.
#define FUZZ_CHECK(condition)                                                                 \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)

namespace tolvex::fuzz {

// Values off the front of the input; zeros once it is used up.
class InputReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  template <typename T>
  T Take() {
    T value{};
    const size_t n = sizeof(T) < size_ - pos_ ? sizeof(T) : size_ - pos_;
    if (n > 0) std::memcpy(&value, data_ + pos_, n);
    pos_ += n;
    return value;
  }
  uint8_t Byte() { return Take<uint8_t>(); }
  bool Empty() const { return pos_ >= size_; }
  std::string_view Rest() const { return {reinterpret_cast<const char*>(data_ + pos_), size_ - pos_}; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace tolvex::fuzz
