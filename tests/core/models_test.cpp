#include "core/models.h"

#include <gtest/gtest.h>

#include <set>

using namespace core;

TEST(Models, NamesInTheThreeVariants) {
    struct Row {
        int pos;
        const char* bare;
    };
    // the corners of each block, and 886 sitting after the 230 MHz block
    const Row rows[] = {{0, "861"},  {5, "866"},   {6, "871"},   {13, "878"}, {14, "881"},
                        {17, "885"}, {18, "230A"}, {21, "230D"}, {22, "886"}, {23, "891"},
                        {30, "898"}, {31, "2401"}, {35, "2405"}};
    for (const Row& r : rows) {
        EXPECT_EQ(ModelName(r.pos, 1), std::string("QX") + r.bare);
        EXPECT_EQ(ModelName(r.pos, 2), std::string("NUV") + r.bare);
        for (int other : {0, 3, -1})
            EXPECT_EQ(ModelName(r.pos, other), r.bare);
        // the model name from an answer never takes the NUV prefix
        EXPECT_EQ(AnswerModelName(r.pos, 2), r.bare);
        EXPECT_EQ(AnswerModelName(r.pos, 1), std::string("QX") + r.bare);
    }
    EXPECT_EQ(ModelName(-1, 1), "");
    EXPECT_EQ(ModelName(36, 1), "");
}

TEST(Models, CodesBothWays) {
    // first digit the family, second the last character (230A..D count as 1..4)
    const char* expected[kModelCount] = {"21", "22", "23", "24", "25", "26", "31", "32", "33",
                                         "34", "35", "36", "37", "38", "41", "42", "43", "45",
                                         "11", "12", "13", "14", "46", "51", "52", "53", "54",
                                         "55", "56", "57", "58", "61", "62", "63", "64", "65"};
    for (int pos = 0; pos < kModelCount; ++pos) {
        EXPECT_EQ(ModelCodeFromIndex(pos), expected[pos]) << pos;
        EXPECT_EQ(ModelIndexFromCode(expected[pos]), pos);
    }
    EXPECT_EQ(ModelIndexFromCode("45"), 17); // QX885
    EXPECT_EQ(ModelCodeFromIndex(-1), "");
    EXPECT_EQ(ModelCodeFromIndex(36), "");
    for (const char* unknown : {"44", "15", "00", "", "2", "210", "6A", "a1"})
        EXPECT_EQ(ModelIndexFromCode(unknown), -1) << unknown;
}

TEST(Models, OfferedBaseFrequenciesAndRates) {
    using V = std::vector<std::string>;
    const V band433{"433MHZ", "915MHZ", "868MHZ"};
    struct Row {
        int first, last;
        V bases;
        int max_rate;
        const char* family;
        int family_byte; // of the search answer
    };
    const Row rows[] = {
        {0, 5, band433, 19200, "86", 0x20},       {6, 13, band433, 38400, "87", 0x30},
        {14, 17, {"490MHZ"}, 19200, "88", 0x40},  {18, 21, {"230MHZ"}, 19200, "23", 0x10},
        {22, 22, {"490MHZ"}, 19200, "88", 0x40},  {23, 30, {"490MHZ"}, 38400, "89", 0x50},
        {31, 35, {"2400MHZ"}, 57600, "24", 0x60},
    };
    for (const Row& r : rows)
        for (int pos = r.first; pos <= r.last; ++pos) {
            EXPECT_EQ(BaseFrequencies(pos), r.bases) << pos;
            EXPECT_EQ(MaxRate(pos), r.max_rate) << pos;
            EXPECT_EQ(ModelFamily(pos), r.family) << pos;
            EXPECT_EQ(FamilyByte(pos), r.family_byte) << pos;
        }
    EXPECT_EQ(FamilyByte(36), 0);
    EXPECT_TRUE(BaseFrequencies(-1).empty());
    EXPECT_EQ(MaxRate(36), 0);
    EXPECT_EQ(InitialBaseFrequencies(), (V{"433MHZ", "490MHZ", "915MHZ", "868MHZ", "230MHZ"}));
}

TEST(Models, ChannelCountByVariant) {
    struct Row {
        int pos;
        const char* variant;
        int channels;
    };
    const Row rows[] = {
        {0, "", 4},
        {1, "", 8},
        {2, "", 8},
        {2, "KWTRLP", 16}, // only 863 grows under KWTRLP
        {3, "KWTRLP", 8},
        {6, "", 8},
        {6, "MORVANTELIS", 10}, // 871 with TX/RX
        {7, "MORVANTELIS", 10},
        {10, "MORVANTELIS", 10},
        {11, "MORVANTELIS", 16},
        {13, "MORVANTELIS", 16},
        {7, "QXTEST", 17},
        {13, "QXTEST", 17}, // the 87 rule
        {7, "", 16},
        {13, "ORW", 16},
        {6, "QXTEST", 8},
        {14, "QXTEST", 8},
        {22, "", 8},
        {35, "MORVANTELIS", 8},
        {-1, "", 0},
        {36, "", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ChannelCount(r.pos, r.variant), r.channels) << r.pos << " " << r.variant;
}

TEST(Models, OptionalGroups) {
    std::set<int> txrx, base_station, power, io;
    for (int pos = -1; pos <= kModelCount; ++pos) {
        if (HasTxRxDisplay(pos, "MORVANTELIS"))
            txrx.insert(pos);
        if (HasBaseStationOption(pos, "MORVANTELIS"))
            base_station.insert(pos);
        if (HasPowerGroup(pos))
            power.insert(pos);
        if (HasIoGroup(pos))
            io.insert(pos);
        EXPECT_FALSE(HasTxRxDisplay(pos, "QXTEST"));
        EXPECT_FALSE(HasBaseStationOption(pos, ""));
    }
    EXPECT_EQ(txrx, (std::set<int>{6, 7, 8, 9, 10}));
    EXPECT_EQ(base_station, (std::set<int>{6}));
    EXPECT_EQ(power, (std::set<int>{10, 17, 20})); // QX875, QX885, QX230C
    EXPECT_EQ(io, (std::set<int>{7, 8}));          // QX872, QX873
}

TEST(Models, SearchAnswerTexts) {
    struct Row {
        int family_byte;
        const char* bare;
    };
    const Row rows[] = {{0x10, "230X"}, {0x20, "86X"}, {0x30, "87X"},
                        {0x40, "88X"},  {0x50, "89X"}, {0x60, "240X"}};
    for (const Row& r : rows) {
        EXPECT_EQ(FamilyText(r.family_byte, 1), std::string("QX") + r.bare);
        EXPECT_EQ(FamilyText(r.family_byte, 0), r.bare);
        EXPECT_EQ(FamilyText(r.family_byte, 2), r.bare);
    }
    for (int unknown : {0x00, 0x21, 0x70, 0xF0, 0x0F, -0x10})
        EXPECT_EQ(FamilyText(unknown, 1), "") << unknown;

    const char* bases[] = {"", "230MHZ", "433MHZ", "490MHZ", "868MHZ", "915MHZ", "2.4GHZ", ""};
    for (int code = 0; code <= 7; ++code)
        EXPECT_EQ(BaseFrequencyText(code), bases[code]) << code;
    EXPECT_EQ(BaseFrequencyText(0xFF), "");

    EXPECT_EQ(FirmwareVersionText(0x12), " V1.2");
    EXPECT_EQ(FirmwareVersionText(0x0A), " V0.A");
    EXPECT_EQ(FirmwareVersionText(0xFF), " VF.F");
}
