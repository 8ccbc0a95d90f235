#include "receive_timing.h"

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

} // namespace core
