#include "core/receive_timing.h"

#include <gtest/gtest.h>

using namespace core;
using std::chrono::milliseconds;

TEST(ReceiveTiming, PairFrameDelayAndHandOn) {
    // (L*10000/B + L*10000/1200 + 3000) / 10: 100 bytes at 1200 give (833 + 833 + 3000) / 10
    EXPECT_EQ(PairFrameDelayMs(100, 1200), 466);
    EXPECT_EQ(PairFrameDelayMs(10, 0), std::nullopt); // no rate chosen: no division by zero
    EXPECT_GT(*PairFrameDelayMs(std::size_t{1} << 40, 600), 0); // no overflow to negative

    EXPECT_FALSE(BufferComplete(milliseconds(60), 60, 5)); // quiet must exceed the delay
    EXPECT_TRUE(BufferComplete(milliseconds(61), 60, 5));
    EXPECT_FALSE(BufferComplete(milliseconds(5000), 60, 0)); // nothing to hand on
    EXPECT_FALSE(BufferComplete(milliseconds(0), 3000, kReceiveBufferLimit - 1));
    EXPECT_TRUE(BufferComplete(milliseconds(0), 3000, kReceiveBufferLimit));
}
