#include "pair_test.h"

#include <algorithm>
#include <cstdio>

namespace core {

namespace {

std::string_view Head(std::string_view s, std::size_t n) {
    return s.substr(0, n);
}

std::string_view Tail(std::string_view s, std::size_t n) {
    return s.substr(s.size() - std::min(n, s.size()));
}

} // namespace

void CountSentFrame(PairTally& tally, std::size_t length) {
    ++tally.sent;
    tally.tx_bytes += static_cast<std::int64_t>(length);
    tally.right = std::min(tally.right, tally.sent);
}

void CountReceivedFrame(PairTally& tally, std::size_t length) {
    ++tally.received;
    tally.rx_bytes += static_cast<std::int64_t>(length);
}

std::optional<std::string> SuccessRateText(const PairTally& tally) {
    if (tally.sent <= 0)
        return std::nullopt;
    const std::int64_t right = std::clamp<std::int64_t>(tally.right, 0, tally.sent);
    const std::int64_t hundredths = (right * 20000 + tally.sent) / (2 * tally.sent);
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
