#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace tolvex {

// printf-style formatting into a std::string, for the message formats of the transport. Texts of
// any length come out whole (messages naming a bus, its adapter and the remedy run long).
__attribute__((format(printf, 1, 2))) inline std::string FormatText(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string text;
  if (length >= 0 && static_cast<size_t>(length) < sizeof buffer) {
    text.assign(buffer, static_cast<size_t>(length));
  } else if (length >= 0) {
    text.resize(static_cast<size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

}  // namespace tolvex
