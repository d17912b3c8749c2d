#include "cli/standard_output.h"

#include "util/file_io.h"

namespace tolvex {

DescriptorOutputBuffer::DescriptorOutputBuffer(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }

DescriptorOutputBuffer::~DescriptorOutputBuffer() { Drain(); }

// Once a write failed nothing more is written: the output is already incomplete.
bool DescriptorOutputBuffer::Drain() {
  const std::string_view pending(pbase(), static_cast<size_t>(pptr() - pbase()));
  setp(buffer_, buffer_ + sizeof buffer_);
  if (error_ != 0) return false;
  if (const FileError failed = WriteAll(fd_, pending)) error_ = failed.error;
  return error_ == 0;
}

DescriptorOutputBuffer::int_type DescriptorOutputBuffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

int DescriptorOutputBuffer::sync() { return Drain() ? 0 : -1; }

}  // namespace tolvex
