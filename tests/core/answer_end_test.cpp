#include "core/answer_end.h"

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
