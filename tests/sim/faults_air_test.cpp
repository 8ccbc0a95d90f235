#include "core/frame.h"
#include "core/module/module_air.h"
#include "core/module/module_faults.h"

#include <gtest/gtest.h>

using namespace core;

namespace {

AnswerFault Parse(AnswerFault::Kind kind, const char* text) {
    std::string error;
    const auto fault = ParseAnswerFault(kind, text, error);
    EXPECT_TRUE(fault.has_value()) << text << ": " << error;
    return fault.value_or(AnswerFault{});
}

// Answer to an air-rate write: 5A5A 0000 5A 0003 02 0500, sum 18.
const Bytes kAnswer = BuildFrame5A5A("0000", "0003", "0500");

} // namespace

TEST(AnswerFaults, EachKindDoesWhatItSays) {
    using K = AnswerFault::Kind;
    struct Row {
        const char* what;
        AnswerFault fault;
        std::vector<std::string> pieces; // hex of each piece
        int gap_ms;
    };
    const Row rows[] = {
        {"silent", Parse(K::kSilent, "8003"), {}, 0},
        // the sum 18 spoiled to 42
        {"bad checksum", Parse(K::kBadChecksum, "all"), {"5A5A00005A0003020500420D0A"}, 0},
        // the code becomes 0005 and the sum follows it, 18 + 2
        {"wrong code", Parse(K::kWrongCode, "8003:8005"), {"5A5A00005A00050205001A0D0A"}, 0},
        {"garbage", Parse(K::kGarbage, "03:FF00"), {"FF005A5A00005A0003020500180D0A"}, 0},
        {"default garbage", Parse(K::kGarbage, "8003"), {"FF5A5A00005A0003020500180D0A"}, 0},
        {"split", Parse(K::kSplit, "8003:250"), {"5A5A00005A00", "03020500180D0A"}, 250},
        {"split by default", Parse(K::kSplit, "all"), {"5A5A00005A00", "03020500180D0A"}, 500},
        {"other command", Parse(K::kSilent, "8005"), {"5A5A00005A0003020500180D0A"}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const AnswerFault faults[] = {row.fault};
        const FaultedAnswer out = ApplyAnswerFaults(faults, 0x03, Framing::k5A5A, kAnswer);
        std::vector<std::string> pieces;
        for (const Bytes& piece : out.pieces)
            pieces.push_back(BytesToHex(piece));
        EXPECT_EQ(pieces, row.pieces);
        EXPECT_EQ(out.gap_ms, row.gap_ms);
    }
}

TEST(AnswerFaults, CombinedAndInOtherFramings) {
    using K = AnswerFault::Kind;
    // the checksum stays spoiled whichever option came first
    const AnswerFault both[] = {Parse(K::kBadChecksum, "all"), Parse(K::kWrongCode, "all:05")};
    const std::string text =
        BytesToHex(ApplyAnswerFaults(both, 0x03, Framing::k5A5A, kAnswer).pieces.at(0));
    EXPECT_EQ(Field(text, 11, 4), "0005");
    EXPECT_FALSE(TrailerChecksumOk(text));
    // EDED: code at byte 2, checksum last (ED ED 03 05 E2 -> ED ED 05 05 E4)
    const AnswerFault code[] = {Parse(K::kWrongCode, "03:05")};
    EXPECT_EQ(
        BytesToHex(
            ApplyAnswerFaults(code, 0x03, Framing::kEDED, BuildFrameEDED("03", "05")).pieces.at(0)),
        "EDED0505E4");
    // 4040: code at bytes 6 and 7
    const std::string io = BytesToHex(
        ApplyAnswerFaults(code, 0x03, Framing::k4040, BuildFrame4040("0001", "A6", "0013", "0000"))
            .pieces.at(0));
    EXPECT_EQ(Field(io, 13, 4), "0005");
    EXPECT_TRUE(TrailerChecksumOk(io));
}

TEST(AnswerFaults, BadArgumentsAreRefused) {
    using K = AnswerFault::Kind;
    struct Row {
        K kind;
        const char* text;
    };
    const Row rows[] = {
        {K::kSilent, "80031"},   {K::kSilent, "xyz"},      {K::kSilent, "8003:1"},
        {K::kSplit, "all:x"},    {K::kSplit, "all:70000"}, {K::kGarbage, "all:F"},
        {K::kGarbage, "all:GG"}, {K::kWrongCode, "8003"},  {K::kWrongCode, "8003:all"},
    };
    for (const Row& row : rows) {
        std::string error;
        EXPECT_FALSE(ParseAnswerFault(row.kind, row.text, error).has_value()) << row.text;
        EXPECT_FALSE(error.empty()) << row.text;
    }
}

TEST(Air, TimeAndNoise) {
    EXPECT_EQ(AirTimeMs(12, 5), 10); // 96 bits at 9600
    EXPECT_EQ(AirTimeMs(13, 5), 11); // 104 bits, rounded up
    EXPECT_EQ(AirTimeMs(12, 0), 0);

    AirNoise same_a(7, 0.5, 0.0), same_b(7, 0.5, 0.0);
    int lost = 0;
    for (int i = 0; i < 1000; ++i) {
        const bool a = same_a.Lost();
        EXPECT_EQ(a, same_b.Lost());
        lost += a ? 1 : 0;
    }
    EXPECT_GT(lost, 400);
    EXPECT_LT(lost, 600);

    AirNoise never(1, 0.0, 0.0), always(1, 1.0, 1.0);
    EXPECT_FALSE(never.Lost());
    EXPECT_TRUE(always.Lost());
    Bytes packet = "AB";
    never.Damage(packet);
    EXPECT_EQ(packet, "AB");
    always.Damage(packet);
    EXPECT_EQ(packet, Bytes({static_cast<char>(~'A'), static_cast<char>(~'B')}));
}
