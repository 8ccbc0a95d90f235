#include "pair_test.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace core {

namespace {

std::string_view Head(std::string_view s, std::size_t n) {
    return s.substr(0, n);
}

std::string_view Tail(std::string_view s, std::size_t n) {
    return s.substr(s.size() - std::min(n, s.size()));
}

} // namespace

void CountSentFrame(PairTally& tally, std::size_t length, bool awaitsAnswer) {
    ++tally.sent;
    tally.tx_bytes += static_cast<std::int64_t>(length);
    tally.right = std::min(tally.right, tally.sent);
    tally.awaiting = awaitsAnswer;
}

void CountReceivedFrame(PairTally& tally, std::size_t length) {
    ++tally.received;
    tally.rx_bytes += static_cast<std::int64_t>(length);
    tally.awaiting = false;
}

std::int64_t FramesSettled(const PairTally& tally) {
    return std::max<std::int64_t>(0, tally.sent - (tally.awaiting ? 1 : 0));
}

namespace {

// The successes over the frames settled, the successes capped; nullopt before any settled.
std::optional<std::pair<std::int64_t, std::int64_t>> RightOfSettled(const PairTally& tally) {
    const std::int64_t settled = FramesSettled(tally);
    if (settled == 0)
        return std::nullopt;
    return std::pair{std::clamp<std::int64_t>(tally.right, 0, settled), settled};
}

} // namespace

std::optional<double> SuccessPercent(const PairTally& tally) {
    const auto rate = RightOfSettled(tally);
    if (!rate)
        return std::nullopt;
    return 100.0 * static_cast<double>(rate->first) / static_cast<double>(rate->second);
}

std::optional<std::string> SuccessRateText(const PairTally& tally) {
    const auto rate = RightOfSettled(tally);
    if (!rate)
        return std::nullopt;
    const auto [right, settled] = *rate;
    const std::int64_t hundredths = (right * 20000 + settled) / (2 * settled);
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lld%%", static_cast<long long>(hundredths / 100),
                  static_cast<long long>(hundredths % 100));
    return text;
}

bool CorrectEcho(std::string_view reference, std::string_view received, PairRole role,
                 bool correction_disabled) {
    if (correction_disabled || reference.empty() || received.empty() || received == reference)
        return false;
    const std::size_t limit = role == PairRole::MainTransmitter ? 20 : 10;
    if (received.size() >= reference.size() || reference.size() - received.size() >= limit)
        return false;
    const std::size_t half = reference.size() / 2;
    return (reference.front() == received.front() && reference.back() == received.back()) ||
           Head(reference, half) == Head(received, half) ||
           Tail(reference, half) == Tail(received, half);
}

bool JudgeTestReceipt(PairTally& tally, std::string_view received, PairRole role,
                      std::string_view last_sent, std::optional<std::string_view> expected) {
    bool right = true;
    if (expected)
        right = received == *expected;
    else if (role == PairRole::MainTransmitter || tally.first_rx_seen)
        right = received == last_sent;
    else
        tally.first_rx_seen = true;
    if (right) {
        ++tally.right;
        tally.last_good = received;
    } else {
        ++tally.wrong;
        tally.last_good.clear();
    }
    return right;
}

} // namespace core
