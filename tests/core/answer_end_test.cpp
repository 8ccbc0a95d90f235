#include "core/answer_end.h"
#include "core/hex.h"

#include <gtest/gtest.h>

using namespace core;

// Every prefix of an answer is partial and the whole of it complete; bytes that begin no
// answer are unframed, and an answer is found behind them.
TEST(AnswerEnd, WholeFramesByTheirOwnLength) {
    const char* answers[] = {
        "5A5A 0000 5A 0000 03 301202 55 0D0A", // search answer, 3 payload bytes
        "5A5A 0000 5A 0000 00 0E 0D0A",        // empty payload: 11 bytes
        "4040 A6 0001 07 0013 0000 41 0D0A",   // IO read answer: its length counts the code too
        "EDED 03 05 E2",                       // short form: its checksum ends it
    };
    for (std::string hex : answers) {
        std::erase(hex, ' ');
        const Bytes whole = HexToBytes(hex);
        for (std::size_t n = 1; n < whole.size(); ++n)
            EXPECT_EQ(AnswerEndOf(whole.substr(0, n)), AnswerEnd::kPartial) << hex << " at " << n;
        EXPECT_EQ(AnswerEndOf(whole), AnswerEnd::kComplete) << hex;
    }
    for (const char* hex : {"FF5A5A", "5AED", "0D0A"})
        EXPECT_EQ(AnswerEndOf(HexToBytes(hex)), AnswerEnd::kUnframed) << hex;
    const AnswerSpan behindTail = FindAnswer(HexToBytes("00150D0A"
                                                        "EDED0305E2"));
    EXPECT_EQ(behindTail.end, AnswerEnd::kComplete);
    EXPECT_EQ(behindTail.start, 4u);
    EXPECT_EQ(FindAnswer(HexToBytes("0D0A")).end, AnswerEnd::kUnframed);
}

// A complete answer ends where its frame says, whatever follows it in the same read: the next
// answer's beginning, a stray byte, the rest of a line that goes on talking. A beginning that
// would run past the longest answer is none, so nothing is waited on without bound.
TEST(AnswerEnd, AnswersEndAtTheirOwnLengthAndBeginningsAreBounded) {
    struct Row {
        std::string hex;
        AnswerEnd end;
        std::size_t start;
        std::size_t length;
    };
    const std::string zeros(2 * (kLongestAnswer - 2), '0');
    const Row rows[] = {
        // search answer and one byte more
        {"5A5A00005A000003301202550D0A FF", AnswerEnd::kComplete, 0, 14},
        // two answers in one read: the first is taken
        {"5A5A00005A0000000E0D0A 5A5A00005A0000000E0D0A", AnswerEnd::kComplete, 0, 11},
        // a short answer and the next one's header
        {"EDED0305E2 EDED", AnswerEnd::kComplete, 0, 5},
        // noise, an IO answer, a byte
        {"00 4040A60001070013000041 0D0A 00", AnswerEnd::kComplete, 1, 13},
        // a short header followed by zeros: partial until the longest answer, then none at all
        {"EDED" + zeros.substr(0, 20), AnswerEnd::kPartial, 0, 0},
        {"EDED" + zeros, AnswerEnd::kUnframed, 0, 0},
        {"EDED" + zeros + zeros, AnswerEnd::kUnframed, 0, 0},
        // a length field that claims more than any answer: no answer waits on it
        {"5A5A00005A0000FF", AnswerEnd::kUnframed, 0, 0},
        {"4040A60001FF", AnswerEnd::kUnframed, 0, 0},
        // the longest 5A5A frame that is still waited for
        {"5A5A00005A000035", AnswerEnd::kPartial, 0, 0},
    };
    for (Row row : rows) {
        std::erase(row.hex, ' ');
        const AnswerSpan span = FindAnswer(HexToBytes(row.hex));
        EXPECT_EQ(span.end, row.end) << row.hex;
        EXPECT_EQ(span.start, row.start) << row.hex;
        EXPECT_EQ(span.length, row.length) << row.hex;
    }
}
