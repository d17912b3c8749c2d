// The few POSIX file steps the counter and the log share.
#pragma once

#include <string>
#include <string_view>

namespace tolvex {

// Writes all of `content` to `fd`, going on after interruptions; false with errno set.
bool WriteAll(int fd, std::string_view content);

}  // namespace tolvex
