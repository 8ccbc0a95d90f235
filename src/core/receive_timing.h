// When the receive poll counts what it collected as complete.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>

namespace core {

// A stream that never pauses is handed on in pieces of this many bytes, so the receive buffer
// stays bounded. 64 KiB is far above any answer or test frame, so only such a stream is cut.
inline constexpr std::size_t kReceiveBufferLimit = 64 * 1024;

// Quiet time after which a pair-test frame of `length` bytes counts as received: ten bit times
// per byte at the PC's `baud` and at 1200 baud (the slowest air rate), plus 300 ms, in whole
// milliseconds: 10 bytes at 9600 give (10 + 83 + 3000) / 10 = 309. nullopt without a baud rate.
std::optional<int> PairFrameDelayMs(std::size_t length, int baud);

// The buffer is handed on once the line has been quiet for longer than the delay (measured on a
// monotonic clock, so a change of the wall clock or midnight cannot cut or hold an answer), or at
// once when it has reached the limit.
bool BufferComplete(std::chrono::milliseconds quiet, int frameDelayMs, std::size_t buffered);

} // namespace core
