#include "core/answer_frame.h"
#include "core/frame.h"

#include <gtest/gtest.h>

using namespace core;

TEST(AnswerFrame, TrailerFramedAnswersAreTakenApart) {
    struct Row {
        const char* why;
        std::string text;
        AnswerCheck check;
        Framing framing;
        const char* code;
        const char* payload;
        const char* id;
    };
    const Row rows[] = {
        // serial-number answer 000B: model 45, year 0C, month 05, number 0102
        {"5A5A data", FrameText5A5A("0000", "000B", "450C050102"), AnswerCheck::kFrame,
         Framing::k5A5A, "000B", "450C050102", ""},
        // an answer without data has no bytes, not its own checksum as byte 0
        {"5A5A empty", FrameText5A5A("0000", "0006", ""), AnswerCheck::kFrame, Framing::k5A5A,
         "0006", "", ""},
        // IO read answer from ID 012C: inputs 01 and 00
        {"4040", FrameText4040("012C", "A6", "0013", "0100"), AnswerCheck::kFrame, Framing::k4040,
         "0013", "0100", "012C"},
        // checksum 98 of the air-rate write replaced by 99
        {"bad sum",
         "5A5A00005A000302050099"
         "0D0A",
         AnswerCheck::kBadChecksum, Framing::k5A5A, "", "", ""},
        // 4040 with a wrong checksum is told apart from a 5A5A one
        {"4040 bad sum", "4040A6000107001300000D0A", AnswerCheck::kBadChecksum, Framing::k4040, "",
         "", ""},
        // no trailer, wrong header, EDED text, too short to hold a code: none is a frame
        {"no trailer", "5A5A00005A00030205009", AnswerCheck::kNotFrame, Framing::k5A5A, "", "", ""},
        {"header", "5B5A00005A0003020500980D0A", AnswerCheck::kNotFrame, Framing::k5A5A, "", "",
         ""},
        {"eded", FrameTextEDED("03", ""), AnswerCheck::kNotFrame, Framing::k5A5A, "", "", ""},
        {"trailer only", "5A5A0D0A", AnswerCheck::kNotFrame, Framing::k5A5A, "", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const AnswerFrame a = ParseTrailerAnswer(row.text);
        EXPECT_EQ(a.check, row.check);
        if (row.check == AnswerCheck::kNotFrame)
            continue;
        EXPECT_EQ(a.framing, row.framing);
        EXPECT_EQ(a.code, row.code);
        EXPECT_EQ(a.payload, row.payload);
        EXPECT_EQ(a.id, row.id);
    }
}

TEST(AnswerFrame, EDEDAnswersCarryTheirDataFromCharacterSeven) {
    // EDED 0B 45 0C 05 01 02 + checksum: serial number at character 7, as for every EDED code
    const AnswerFrame sn = ParseEDEDAnswer(FrameTextEDED("0B", "450C050102"));
    ASSERT_EQ(sn.check, AnswerCheck::kFrame);
    EXPECT_EQ(sn.framing, Framing::kEDED);
    EXPECT_EQ(sn.code, "0B");
    EXPECT_EQ(sn.payload, "450C050102");
    EXPECT_EQ(sn.ByteValue(1), 0x0C);
    EXPECT_EQ(sn.Byte(4), "02");
    EXPECT_EQ(sn.Byte(5), ""); // past the data
    EXPECT_EQ(sn.ByteValue(5), 0);

    // ED ED 03 05 E2 with the checksum changed to E3
    EXPECT_EQ(ParseEDEDAnswer("EDED0305E3").check, AnswerCheck::kBadChecksum);
    EXPECT_EQ(ParseEDEDAnswer(FrameText5A5A("0000", "0003", "")).check, AnswerCheck::kNotFrame);
    EXPECT_EQ(ParseEDEDAnswer("ED").check, AnswerCheck::kNotFrame);
}
