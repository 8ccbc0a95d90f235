#include "core/answer_frame.h"
#include "core/frame.h"

#include <gtest/gtest.h>

using namespace core;

TEST(AnswerFrame, FieldsOfEachFraming) {
    // IO read answer from ID 012C: inputs 01 and 00
    const AnswerFrame io = ParseTrailerAnswer(FrameText4040("012C", "A6", "0013", "0100"));
    ASSERT_EQ(io.check, AnswerCheck::kFrame);
    EXPECT_EQ(io.framing, Framing::k4040);
    EXPECT_EQ(io.code, "0013");
    EXPECT_EQ(io.id, "012C");
    EXPECT_EQ(io.payload, "0100");

    // an answer without data has no bytes, rather than its own checksum as byte 0
    const AnswerFrame empty = ParseTrailerAnswer(FrameText5A5A("0000", "0006", ""));
    ASSERT_EQ(empty.check, AnswerCheck::kFrame);
    EXPECT_EQ(empty.Byte(0), "");
    EXPECT_EQ(empty.ByteValue(0), 0);

    // EDED 0B with a serial number: data from character 7, as for every EDED code
    const AnswerFrame sn = ParseEDEDAnswer(FrameTextEDED("0B", "450C050102"));
    ASSERT_EQ(sn.check, AnswerCheck::kFrame);
    EXPECT_EQ(sn.code, "0B");
    EXPECT_EQ(sn.ByteValue(1), 0x0C);
    EXPECT_EQ(sn.Byte(4), "02");
    EXPECT_EQ(sn.Byte(5), "");
}

TEST(AnswerFrame, TextThatIsNoFrame) {
    // header and trailer with nothing between: too short to hold a code
    EXPECT_EQ(ParseTrailerAnswer("5A5A0D0A").check, AnswerCheck::kNotFrame);
    EXPECT_EQ(ParseTrailerAnswer(FrameTextEDED("03", "05")).check, AnswerCheck::kNotFrame);
    EXPECT_EQ(ParseEDEDAnswer(FrameText5A5A("0000", "0003", "")).check, AnswerCheck::kNotFrame);
    // ED ED 03 05 with the checksum E3 instead of E2
    EXPECT_EQ(ParseEDEDAnswer("EDED0305E3").check, AnswerCheck::kBadChecksum);
}
