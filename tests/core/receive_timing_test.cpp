#include "core/receive_timing.h"

#include "core/hex.h"

#include <gtest/gtest.h>

using namespace core;
using std::chrono::milliseconds;

TEST(ReceiveTiming, PairFrameDelay) {
    // (L*10000 div B + L*10000 div 1200 + 3000) div 10
    struct Row {
        std::size_t length;
        int baud;
        std::optional<int> delay;
    };
    const Row rows[] = {
        {10, 9600, 309},  // (10 + 83 + 3000) / 10
        {100, 1200, 466}, // (833 + 833 + 3000) / 10
        {7, 38400, 305},  // (1 + 58 + 3000) / 10: each term rounds down on its own
        {0, 9600, 300},   {10, 0, std::nullopt}, // no rate chosen: no division by zero
    };
    for (const Row& r : rows)
        EXPECT_EQ(PairFrameDelayMs(r.length, r.baud), r.delay) << r.length << " at " << r.baud;
    EXPECT_GT(*PairFrameDelayMs(std::size_t{1} << 40, 600), 0); // no overflow to negative
}

TEST(ReceiveTiming, HandOn) {
    EXPECT_FALSE(BufferComplete(milliseconds(60), 60, 5)); // quiet must exceed the delay
    EXPECT_TRUE(BufferComplete(milliseconds(61), 60, 5));
    EXPECT_FALSE(BufferComplete(milliseconds(5000), 60, 0)); // nothing to hand on
    EXPECT_FALSE(BufferComplete(milliseconds(0), 3000, kReceiveBufferLimit - 1));
    EXPECT_TRUE(BufferComplete(milliseconds(0), 3000, kReceiveBufferLimit));
}

TEST(ReceiveTiming, WhatIsHandedOnNow) {
    // read power-saving mode's answer, and the EDED short form
    const std::string answer = "5A5A00005A0010020300230D0A";
    struct Row {
        const char* what;
        std::string hex;
        int quietMs;
        bool framed;
        std::size_t length; // handed on now
        int recheckMs;      // when nothing is
    };
    const Row rows[] = {
        {"a whole answer at once", answer, 0, true, 13, 0},
        {"two answers: the first, then the next", answer + answer, 0, true, 13, 0},
        {"an answer and the beginning of the next", answer + "5A5A", 0, true, 13, 0},
        {"a 4040 answer by its length",
         "4040000102"
         "03"
         "0000000000"
         "0D0A",
         0, true, 9, 0},
        {"half an answer waits for the frame delay", answer.substr(0, 12), 100, true, 0, 201},
        {"... and is handed on after it", answer.substr(0, 12), 301, true, 6, 0},
        {"bytes before an answer wait for the frame delay", "00" + answer, 0, true, 0, 301},
        {"test and terminal data wait for the frame delay", answer, 0, false, 0, 301},
        {"... even when it is a whole answer", answer, 301, false, 13, 0},
        {"EDED: its checksum holds, the line not yet quiet", "EDED0305E2", 10, true, 0, 15},
        {"EDED: quiet", "EDED0305E2", 25, true, 5, 0},
        {"nothing collected", "", 5000, true, 0, 0},
    };
    for (const Row& r : rows) {
        const ReceiveCut cut = CutReceived(HexToBytes(r.hex), milliseconds(r.quietMs), 300,
                                           r.framed, AnswerQuiet(9600));
        EXPECT_EQ(cut.length, r.length) << r.what;
        EXPECT_EQ(cut.recheck, milliseconds(r.recheckMs)) << r.what;
    }
    EXPECT_EQ(AnswerQuiet(9600), milliseconds(25)); // 44 bits at 9600 round up to 5 ms
    EXPECT_EQ(AnswerQuiet(57600), milliseconds(21));
    EXPECT_EQ(AnswerQuiet(0), milliseconds(20));
}
