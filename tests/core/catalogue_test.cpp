#include "core/catalogue.h"
#include "core/frame.h"

#include <gtest/gtest.h>

#include <set>

using namespace core;

namespace {
const Command& Cmd(std::uint8_t code, bool io = false) {
    const Command* c = FindCommand(code, io);
    EXPECT_NE(c, nullptr) << int(code);
    return *c;
}
} // namespace

TEST(Catalogue, TableHoldsEveryCodeOnce) {
    std::set<std::pair<int, bool>> seen;
    for (const Command& c : Commands())
        EXPECT_TRUE(seen.insert({c.code, c.io}).second) << CommandLogName(c.code, c.io);
    // 00..19 without 18, plus the two IO commands
    EXPECT_EQ(seen.size(), 25u + 2u);
    EXPECT_EQ(FindCommand(0x18), nullptr);
    EXPECT_EQ(FindCommand(0x1A), nullptr);
    EXPECT_EQ(FindCommand(0x14, true), nullptr);
}

TEST(Catalogue, FramingByVariant) {
    // EDED only for 00-08, 12, 13 and only under MORVANTELIS; IO always 4040
    for (const Command& c : Commands()) {
        const bool short_form = !c.io && (c.code <= 0x08 || c.code == 0x12 || c.code == 0x13);
        EXPECT_EQ(FramingFor(c, "MORVANTELIS"), c.io         ? Framing::k4040
                                                : short_form ? Framing::kEDED
                                                             : Framing::k5A5A)
            << CommandLogName(c.code, c.io);
        for (const char* other : {"", "KWTRLP", "QXTEST", "morvantelis", "MORVANTELIS "})
            EXPECT_EQ(FramingFor(c, other), c.io ? Framing::k4040 : Framing::k5A5A)
                << CommandLogName(c.code, c.io) << " under '" << other << "'";
    }
}

TEST(Catalogue, CodesAndNames) {
    struct Row {
        std::string got, want;
    };
    const Row rows[] = {
        {RequestCode(0x03, Framing::k5A5A), "8003"},
        {RequestCode(0x03, Framing::kEDED), "03"},
        {RequestCode(0x13, Framing::k4040), "8013"},
        {AnswerCode(0x0B, Framing::k5A5A), "000B"},
        {AnswerCode(0x0B, Framing::kEDED), "0B"},
        {AnswerCode(0x12, Framing::k4040), "0012"},
        {LastCommandText(Cmd(0x0B)), "800B"},
        {LastCommandText(Cmd(0x12, true)), "40408012"},
        {LastCommandText(Cmd(0x13, true)), "40408013"},
        {CommandLogName(0x03), "8003 write air rate"},
        {CommandLogName(0x13, true), "40408013 read IO lines"},
        {CommandLogName(0x18), "8018 unknown command"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.want);
}

TEST(Catalogue, RequestPayloads) {
    struct Row {
        std::string got, want;
        const char* why;
    };
    const auto F = Framing::k5A5A;
    const auto E = Framing::kEDED;
    const Row rows[] = {
        {ReadPayload(F), "0000", "5A5A read: two zero bytes"},
        {ReadPayload(E), "00", "EDED read: one zero byte"},
        {BytePayload(RateCodeFromPosition(0), F), "0200", "air rate 1200 (position 0) + filler"},
        {BytePayload(RateCodeFromPosition(0), E), "02", "air rate 1200 alone"},
        {BytePayload(RateCodeFromPosition(3), F), "0500", "air rate 9600"},
        {SerialSettingsPayload(RateCodeFromPosition(3), ParityCodeFromPosition(1), F), "0502",
         "serial 9600 (05), odd parity (02)"},
        {SerialSettingsPayload(RateCodeFromPosition(3), ParityCodeFromPosition(1), E), "05",
         "EDED serial settings carry the rate only"},
        {WriteAllPayload(ChannelFromPosition(2), RateCodeFromPosition(3), RateCodeFromPosition(4),
                         ParityCodeFromPosition(2)),
         "03050600", "channel 3, air 9600, serial 19200, no parity"},
        {BytePayload(15, F), "0F00", "power level 15"},
        {*CapacitancePayload("127"), "7F00", "capacitance 127, the largest"},
        {*CapacitancePayload("100"), "6400", "capacitance 100"},
        {*CapacitancePayload("0"), "0000", "capacitance 0"},
        {WordPayload(300), "012C", "module ID 300"},
        {WordPayload(65535), "FFFF", "largest ID"},
        {IoWritePayload(2, 1), "0201", "IO line 2 high"},
        {*DutyCyclePayload(500, 2), "01F407D0", "500 ms on (01F4), 2 s = 2000 ms (07D0)"},
        {*DutyCyclePayload(65535, 65), "FFFFFDE8", "limits: 65535 ms and 65000 ms"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.want) << r.why;
}

TEST(Catalogue, PayloadSizes) {
    struct Row {
        std::uint8_t code;
        bool io;
        Framing framing;
        std::size_t bytes;
    };
    const auto F = Framing::k5A5A;
    const auto E = Framing::kEDED;
    const Row rows[] = {
        {0x00, false, F, 2},
        {0x00, false, E, 1}, // search: 0000 / 00
        {0x01, false, F, 2},
        {0x01, false, E, 1}, // rate + parity / rate
        {0x03, false, F, 2},
        {0x03, false, E, 1}, // air rate + filler / air rate
        {0x0A, false, F, 5},
        {0x0C, false, F, 2}, // serial number, module ID
        {0x0E, false, F, 4},
        {0x16, false, F, 4},             // write all, duty cycle
        {0x19, false, F, 2},             // capacitance + filler
        {0x12, true, Framing::k4040, 2}, // IO write: line + level
        {0x13, true, Framing::k4040, 2}, // IO read: 0000
    };
    for (const Row& r : rows)
        EXPECT_EQ(RequestPayloadSize(Cmd(r.code, r.io), r.framing), r.bytes)
            << CommandLogName(r.code, r.io);
    // the builders agree with the sizes
    EXPECT_EQ(ReadPayload(E).size(), 2 * RequestPayloadSize(Cmd(0x02), E));
    EXPECT_EQ(WriteAllPayload(1, 2, 3, 0).size(), 2 * RequestPayloadSize(Cmd(0x0E), F));
}

TEST(Catalogue, RejectedValues) {
    // sleep times outside 1..65535 ms and 1..65 s do not fit their two bytes
    EXPECT_FALSE(DutyCyclePayload(0, 2));
    EXPECT_FALSE(DutyCyclePayload(65536, 2));
    EXPECT_FALSE(DutyCyclePayload(500, 0));
    EXPECT_FALSE(DutyCyclePayload(500, 66));
    // the capacitance takes seven bits; no text is read past its range
    for (const char* typed : {"128", "", "256", "99999999999999999999"})
        EXPECT_FALSE(CapacitancePayload(typed)) << typed;
}

TEST(Catalogue, WireBytesThroughTheFrameBuilders) {
    // air rate 1200 write: 5A5A 0000 5A 8003 02 0200, sum 0x195
    const Command& rate = Cmd(cmd::kWriteAirRate);
    const Framing f = FramingFor(rate, "");
    EXPECT_EQ(FrameText5A5A("0000", RequestCode(rate.code, f), BytePayload(2, f)),
              "5A5A00005A8003020200950D0A");
    // the same under MORVANTELIS: ED ED 03 02, sum 0x1DF
    const Framing e = FramingFor(rate, "MORVANTELIS");
    EXPECT_EQ(FrameTextEDED(RequestCode(rate.code, e), BytePayload(2, e)), "EDED0302DF");
    // IO write, line 2 high, to ID 300: 4040 A6 012C 07 8012 0201
    const Command& io = Cmd(cmd::kIoWrite, true);
    const std::string text =
        FrameText4040(WordPayload(300), "A6", RequestCode(io.code, FramingFor(io, "MORVANTELIS")),
                      IoWritePayload(2, 1));
    // sum 0x1EF
    EXPECT_EQ(text, "4040A6012C0780120201EF0D0A");
}

TEST(Catalogue, ValueCodes) {
    // rate lists start at 1200 = code 2; 57600 = 8 where offered; 1 is 600 in answers
    const int bauds[] = {600, 1200, 2400, 4800, 9600, 19200, 38400, 57600};
    for (int code = 1; code <= 8; ++code) {
        EXPECT_EQ(BaudFromRateCode(code), bauds[code - 1]);
        EXPECT_EQ(RatePositionFromCode(code), code == 1 ? -1 : code - 2);
    }
    for (int bad : {0, 9, 255, -1}) {
        EXPECT_EQ(BaudFromRateCode(bad), 0);
        EXPECT_EQ(RatePositionFromCode(bad), -1);
    }
    // parity positions even/odd/none <-> codes 01/02/00, both ways
    const int codes[] = {1, 2, 0};
    for (int pos = 0; pos < 3; ++pos) {
        EXPECT_EQ(ParityCodeFromPosition(pos), codes[pos]);
        EXPECT_EQ(ParityPositionFromCode(codes[pos]), pos);
    }
    EXPECT_EQ(ParityCodeFromPosition(-1), -1);
    EXPECT_EQ(ParityPositionFromCode(3), -1);
    EXPECT_EQ(ChannelFromPosition(0), 1);
    EXPECT_EQ(ChannelPositionFromNumber(16), 15);
    // fields read "as decimal" agree with hex for 00..09 and give the byte value above
    EXPECT_EQ(DecimalReadField("08"), 8);
    EXPECT_EQ(DecimalReadField("0A"), 10);
    EXPECT_EQ(DecimalReadField("10"), 16);
}
