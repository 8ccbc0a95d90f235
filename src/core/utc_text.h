// Times as the logs and records write them: UTC, from the calendar arithmetic of <chrono>, so
// no C library's thread-unsafe or platform-only calendar call is needed.
#pragma once

#include <chrono>
#include <string>

namespace core {

// 2026-12-09T18:57:18.042Z
std::string UtcText(std::chrono::system_clock::time_point at);
// 2026-12-09
std::string UtcDate(std::chrono::system_clock::time_point at);

} // namespace core
