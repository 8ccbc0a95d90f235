#include "receive_timing.h"

#include "answer_end.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace core {

std::optional<int> PairFrameDelayMs(std::size_t length, int baud) {
    if (baud <= 0)
        return std::nullopt;
    const auto bits = static_cast<std::int64_t>(std::min<std::size_t>(length, 1u << 30)) * 10000;
    const std::int64_t delay = (bits / baud + bits / 1200 + 3000) / 10;
    return static_cast<int>(std::min<std::int64_t>(delay, std::numeric_limits<int>::max()));
}

bool BufferComplete(std::chrono::milliseconds quiet, int frameDelayMs, std::size_t buffered) {
    if (buffered == 0)
        return false;
    return buffered >= kReceiveBufferLimit || quiet.count() > frameDelayMs;
}

std::chrono::milliseconds AnswerQuiet(int baud) {
    // eleven bits a character, in case of parity
    constexpr int kBits = 4 * 11 * 1000;
    return std::chrono::milliseconds((baud > 0 ? (kBits + baud - 1) / baud : 0) + 20);
}

ReceiveCut CutReceived(std::string_view buffer, std::chrono::milliseconds quiet, int frameDelayMs,
                       bool framed, std::chrono::milliseconds answerQuiet) {
    if (buffer.empty())
        return {};
    if (framed) {
        const AnswerSpan span = FindAnswer(buffer);
        if (span.start == 0 && span.end == AnswerEnd::kComplete) {
            if (static_cast<unsigned char>(buffer[0]) != 0xED || quiet >= answerQuiet)
                return {span.length};
            return {0, answerQuiet - quiet};
        }
    }
    if (BufferComplete(quiet, frameDelayMs, buffer.size()))
        return {std::min(buffer.size(), kReceiveBufferLimit)};
    return {0, std::chrono::milliseconds(frameDelayMs + 1) - quiet};
}

} // namespace core
