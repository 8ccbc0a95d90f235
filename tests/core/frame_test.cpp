#include "core/frame.h"

#include <gtest/gtest.h>

using namespace core;

namespace {
Bytes B(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}
} // namespace

TEST(Frame, WorkedExamples) {
    // air-rate write 9600: 5A5A 0000 5A 8003 02 0500, sum 0x198
    EXPECT_EQ(BuildFrame5A5A("0000", "8003", "0500"),
              B({0x5A, 0x5A, 0x00, 0x00, 0x5A, 0x80, 0x03, 0x02, 0x05, 0x00, 0x98, 0x0D, 0x0A}));
    // the same in the short framing: EDED 03 05 E2
    EXPECT_EQ(BuildFrameEDED("03", "05"), B({0xED, 0xED, 0x03, 0x05, 0xE2}));
    // power-saving read 8010
    EXPECT_EQ(BuildFrame5A5A("0000", "8010", "0000"),
              B({0x5A, 0x5A, 0x00, 0x00, 0x5A, 0x80, 0x10, 0x02, 0x00, 0x00, 0xA0, 0x0D, 0x0A}));
    // IO read for ID 1: length 2 + 5 = 07
    EXPECT_EQ(BuildFrame4040("0001", "A6", "8013", "0000"),
              B({0x40, 0x40, 0xA6, 0x00, 0x01, 0x07, 0x80, 0x13, 0x00, 0x00, 0xC1, 0x0D, 0x0A}));
}

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
