// Standard output as tolvex-cli writes it: a stream onto the descriptor that keeps the reason
// (errno) of the first write that failed, which the standard streams lose, so that the program
// can say why what it printed did not arrive.
#pragma once

#include <ostream>
#include <streambuf>

namespace tolvex {

class DescriptorOutputBuffer final : public std::streambuf {
 public:
  explicit DescriptorOutputBuffer(int fd);
  ~DescriptorOutputBuffer() override;

  // The errno of the first failed write; 0 while all went well.
  int Error() const { return error_; }
  // Counts as a failed write from the start (standard output was closed).
  void Fail(int error) { error_ = error; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool Drain();

  int fd_;
  int error_ = 0;
  char buffer_[8192];
};

}  // namespace tolvex
