// When the receive counts what it collected as complete.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

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

// The pause that ends an EDED answer whose checksum holds, since a prefix may hold one by chance:
// four character times at `baud` and 20 ms for USB adapters, which hand bytes on in bursts.
std::chrono::milliseconds AnswerQuiet(int baud);

// What of the collected bytes is handed on now: `length` bytes from the front, or none and the
// time after which silence may complete them.
struct ReceiveCut {
    std::size_t length = 0;
    std::chrono::milliseconds recheck{0};
};

// Where answers are awaited (`framed`), a buffer that begins with a whole 5A5A or 4040 answer
// hands it on at once, at the length its frame declares, and an EDED answer once its checksum
// holds and the line has been quiet for `answerQuiet`. Anything else, and all test and terminal
// data, waits for the frame delay of silence (BufferComplete). `quiet` is the time since the last
// byte came.
ReceiveCut CutReceived(std::string_view buffer, std::chrono::milliseconds quiet, int frameDelayMs,
                       bool framed, std::chrono::milliseconds answerQuiet);

} // namespace core
