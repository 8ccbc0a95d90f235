#include "core/pair_test.h"

#include <gtest/gtest.h>

#include <string>

using namespace core;

namespace {
constexpr auto Tx = PairRole::MainTransmitter;
constexpr auto Rx = PairRole::MainReceiver;
} // namespace

TEST(PairTest, Counters) {
    struct Row {
        std::int64_t sent, right;
        std::size_t length;
        std::int64_t sent_after, right_after, tx_bytes_after;
    };
    const Row rows[] = {
        {0, 0, 5, 1, 0, 5},
        {3, 3, 4, 4, 3, 4},
        {1, 3, 4, 2, 2, 4}, // the main receiver judged more than it sent: capped at the send
    };
    for (const Row& r : rows) {
        PairTally t;
        t.sent = r.sent;
        t.right = r.right;
        CountSentFrame(t, r.length, false);
        EXPECT_EQ(t.sent, r.sent_after) << r.sent;
        EXPECT_EQ(t.right, r.right_after) << r.sent;
        EXPECT_EQ(t.tx_bytes, r.tx_bytes_after) << r.sent;
        EXPECT_EQ(t.received, 0) << r.sent;
    }
    PairTally t;
    CountReceivedFrame(t, 7);
    CountReceivedFrame(t, 3);
    EXPECT_EQ(t.received, 2);
    EXPECT_EQ(t.rx_bytes, 10);
    EXPECT_EQ(t.sent, 0);
}

// The main transmitter's frame in flight is neither a success nor lost: its wait ends with its
// answer, or when a later frame (a resend, a timed send) goes out in its place.
TEST(PairTest, TheFrameInFlightIsNotCountedUntilItsWaitEnds) {
    PairTally t;
    auto step = [&](char event) {
        if (event == 's')
            return CountSentFrame(t, 4, true);
        JudgeTestReceipt(t, "ABCD", Tx, "ABCD", std::nullopt);
        CountReceivedFrame(t, 4);
    };
    std::string answered23;
    for (int i = 0; i < 23; ++i)
        answered23 += "sr";
    struct Row {
        std::string events; // s: a send, r: its answer, right
        std::int64_t settled;
        std::optional<std::string> rate;
    };
    const Row rows[] = {
        {"s", 0, std::nullopt}, // the first frame waits: no rate yet
        {"r", 1, "100.00%"},
        {answered23 + "s", 24, "100.00%"}, // 24 answered, the 25th in flight
        {"s", 25, "96.00%"},               // sent again: the 25th is lost, the 26th waits
        {"r", 26, "96.15%"},
    };
    for (const Row& r : rows) {
        for (const char e : r.events)
            step(e);
        EXPECT_EQ(FramesSettled(t), r.settled) << r.events;
        EXPECT_EQ(SuccessRateText(t), r.rate) << r.events;
    }
    // The main receiver's answers wait for nothing.
    PairTally rx;
    CountSentFrame(rx, 4, false);
    EXPECT_EQ(FramesSettled(rx), 1);
    EXPECT_EQ(SuccessPercent(rx), 0.0);
}

TEST(PairTest, CorrectEcho) {
    const std::string thirty = "A" + std::string(28, 'x') + "Z";
    const std::string eleven = "A" + std::string(9, 'x') + "Z";
    const std::string ten = "A" + std::string(8, 'x') + "Z";
    struct Row {
        PairRole role;
        bool disabled;
        std::string reference, received;
        bool corrected;
    };
    const Row rows[] = {
        {Tx, false, thirty, eleven, true},               // 19 short, first and last agree
        {Tx, false, thirty, ten, false},                 // 20 short: at the limit
        {Tx, true, thirty, eleven, false},               // variant QXTEST corrects nothing
        {Rx, false, "ABCDEFGHIJKL", "ABL", true},        // 9 short on the receiver
        {Rx, false, "ABCDEFGHIJKL", "AL", false},        // 10 short
        {Tx, false, "ABCDEFGHIJ", "ABCDEXY", true},      // the first half agrees
        {Tx, false, "ABCDEFGHIJ", "XYFGHIJ", true},      // the last half agrees
        {Tx, false, "ABCDEFGHIJ", "XCDEFGHY", false},    // nothing agrees
        {Tx, false, "ABCDEFGHIJ", "AXXXXXXY", false},    // only the first byte agrees
        {Tx, false, "ABCDEFGHIJ", "ABCDEFGHIJ", false},  // intact
        {Tx, false, "ABCDEFGHIJ", "ABCDXFGHIJ", false},  // as long: not a shortened echo
        {Tx, false, "ABCDEFGHIJ", "ABCDEFGHIJK", false}, // longer is never corrected
        {Tx, false, "", "A", false},                     // nothing sent yet
        {Tx, false, "A", "", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CorrectEcho(r.reference, r.received, r.role, r.disabled), r.corrected)
            << r.reference << " / " << r.received;
}

TEST(PairTest, JudgeTestReceipt) {
    struct Row {
        PairRole role;
        std::optional<std::string_view> expected; // the given text, when compared with it
        bool first_rx_seen;
        std::string received;
        bool right;
        bool first_rx_seen_after;
    };
    const Row rows[] = {
        {Tx, std::nullopt, false, "PING", true, false},
        {Tx, std::nullopt, false, "PIN", false, false},
        {Tx, "ABC", false, "ABC", true, false},
        {Tx, "ABC", false, "PING", false, false},
        {Rx, std::nullopt, false, "anything", true, true}, // the receiver's first frame
        {Rx, std::nullopt, true, "anything", false, true},
        {Rx, std::nullopt, true, "PING", true, true},
        {Rx, "ABC", false, "XYZ", false, false}, // the given text comes first
    };
    for (const Row& r : rows) {
        PairTally t;
        t.first_rx_seen = r.first_rx_seen;
        t.last_good = "OLD";
        EXPECT_EQ(JudgeTestReceipt(t, r.received, r.role, "PING", r.expected), r.right)
            << r.received;
        EXPECT_EQ(t.right, r.right ? 1 : 0) << r.received;
        EXPECT_EQ(t.wrong, r.right ? 0 : 1) << r.received;
        EXPECT_EQ(t.last_good, r.right ? r.received : "") << r.received;
        EXPECT_EQ(t.first_rx_seen, r.first_rx_seen_after) << r.received;
    }
}
