#include "core/frame.h"

#include <gtest/gtest.h>

using namespace core;

TEST(Frame, EmptyPayloadAndLongLength) {
    EXPECT_EQ(FrameText5A5A("0000", "8000", ""),
              "5A5A00005A800000" + HexChecksum("5A5A00005A800000") + "0D0A");
    EXPECT_EQ(BuildFrame5A5A("0000", "8000", "").size(), 11u);
    EXPECT_EQ(HexAtLeast(0x1A, 2), "1A");
    EXPECT_EQ(HexAtLeast(0x123, 2), "123");
    EXPECT_EQ(HexAtLeast(5, 2), "05");
}

TEST(Frame, AnswerRecognition) {
    const std::string good = FrameText5A5A("0000", "0003", "0000");
    EXPECT_TRUE(Is5A5AAnswer(good));
    EXPECT_TRUE(TrailerChecksumOk(good));
    EXPECT_FALSE(Is5A5AAnswer(good.substr(0, good.size() - 2))); // no 0D0A at the end
    std::string bad = good;
    bad[bad.size() - 5] = bad[bad.size() - 5] == '0' ? '1' : '0';
    EXPECT_FALSE(TrailerChecksumOk(bad));

    const std::string io = FrameText4040("0001", "A6", "0013", "0101");
    EXPECT_TRUE(Is4040Answer(io));
    EXPECT_TRUE(TrailerChecksumOk(io));
    EXPECT_FALSE(Is5A5AAnswer(io));

    EXPECT_TRUE(IsEDEDAnswer("EDED0305E2"));
    EXPECT_TRUE(EDEDChecksumOk("EDED0305E2"));
    EXPECT_FALSE(EDEDChecksumOk("EDED0305E3"));
    EXPECT_FALSE(EDEDChecksumOk("E")); // too short to hold a checksum
    EXPECT_FALSE(TrailerChecksumOk("0D0A"));
}

TEST(Frame, FieldNeverReadsPastTheEnd) {
    EXPECT_EQ(Field("5A5A0D0A", 11, 4), "");
    EXPECT_EQ(Field("5A5A00005A0003", 11, 4), "0003");
    EXPECT_EQ(Field("5A5A00005A00", 11, 4), "00");
    EXPECT_EQ(Field("ABC", 0, 2), "");
}
