#include "core/receive_timing.h"

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
