#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace tolvex {

// printf-style formatting into a std::string, for the message formats of the transport.
__attribute__((format(printf, 1, 2))) inline std::string FormatText(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length < 0) return std::string();
  return std::string(buffer, static_cast<size_t>(length) < sizeof buffer ? static_cast<size_t>(length) : sizeof buffer - 1);
}

}  // namespace tolvex
