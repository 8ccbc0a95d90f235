#include "core/frequencies.h"
#include "core/models.h"

#include <gtest/gtest.h>

using namespace core;

namespace {
// Number of leading filled entries, and that nothing is filled after them.
std::size_t Filled(const ChannelFrequencyTable& t) {
    std::size_t n = 0;
    while (n < t.size() && !t[n].empty())
        ++n;
    return n;
}
bool AllEmpty(const ChannelFrequencyTable& t) {
    for (const std::string& s : t)
        if (!s.empty())
            return false;
    return true;
}
} // namespace

TEST(Frequencies, FamilyKey) {
    struct Row {
        const char* model;
        const char* key;
    };
    const Row rows[] = {
        {"QX861", "86"},  {"861", "86"},  {"NUV861", "86"},  {"QX866", "86"},
        {"QX886", "88"}, // "886" holds 86 and 88: the later test wins
        {"QX878", "87"},  {"898", "89"},  {"QX230A", "23"},  {"NUV230D", "23"},
        {"QX2403", "24"}, {"2401", "24"}, {"NUV2405", "24"}, {"ABCDEFG", "ABCD"},
        {"", ""},         {"8", "8"},     {"86", "86"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FamilyKey(r.model), r.key) << r.model;
    // every name of every naming variant gives its family's key
    for (int pos = 0; pos < kModelCount; ++pos)
        for (int variant : {0, 1, 2})
            EXPECT_EQ(FamilyKey(ModelName(pos, variant)), ModelFamily(pos)) << pos;
}

TEST(Frequencies, TablesByModelAndBase) {
    struct Row {
        const char* model;
        const char* base;
        const char* variant;
        int position;
        std::size_t filled;
        const char* first;
        const char* last;
    };
    const Row rows[] = {
        // only the exact text "QX861" picks the four-entry tables
        {"QX861", "433MHZ", "", 0, 4, "433.5308MHZ", "433.9164MHZ"},
        {"861", "433MHZ", "", 0, 8, "428.0028MHZ", "433.5308MHZ"},
        {"NUV861", "433MHZ", "", 0, 8, "428.0028MHZ", "433.5308MHZ"},
        {"QX861", "915MHZ", "", 0, 4, "912.5340MHZ", "914.3772MHZ"},
        {"QX862", "915MHZ", "", 1, 8, "912.5340MHZ", "916.6812MHZ"},
        {"QX861", "868MHZ", "ORW", 0, 8, "868.2972MHZ", "870.7548MHZ"},
        {"862", "868MHZ", "ORW", 1, 8, "865.2252MHZ", "866.9148MHZ"},
        {"862", "868MHZ", "", 1, 8, "868.2972MHZ", "870.7548MHZ"},
        // 87 at 433: 17 entries outside MORVANTELIS, the 17th for QXTEST's channel 17
        {"QX872", "433MHZ", "", 7, 17, "430.2000MHZ", "428.0028MHZ"},
        {"874", "433MHZ", "QXTEST", 9, 17, "430.2000MHZ", "428.0028MHZ"},
        {"QX878", "915MHZ", "MORVANTELIS", 13, 8, "912.2000MHZ", "915.9260MHZ"},
        {"QX871", "868MHZ", "", 6, 8, "868.0500MHZ", "869.9260MHZ"},
        {"QX886", "490MHZ", "", 22, 8, "487.5072MHZ", "492.4388MHZ"},
        {"891", "490MHZ", "", 23, 8, "487.5072MHZ", "492.4388MHZ"},
        {"QX230C", "230MHZ", "", 20, 8, "230.2251MHZ", "226.9752MHZ"},
        {"QX2401", "2400MHZ", "", 31, 8, "2400MHZ", "2400MHZMHZ"},
    };
    for (const Row& r : rows) {
        const auto t = ChannelFrequencies(r.model, r.base, r.variant, r.position, false);
        EXPECT_EQ(Filled(t), r.filled) << r.model << " " << r.base;
        EXPECT_EQ(t[0], r.first) << r.model << " " << r.base;
        EXPECT_EQ(t[r.filled - 1], r.last) << r.model << " " << r.base;
        for (std::size_t i = r.filled; i < t.size(); ++i)
            EXPECT_EQ(t[i], "") << r.model << " " << r.base << " entry " << i;
    }
}

TEST(Frequencies, EmptyWhereNoTableApplies) {
    struct Row {
        const char* model;
        const char* base;
    };
    const Row rows[] = {
        {"QX881", "433MHZ"},
        {"QX891", "915MHZ"},
        {"QX886", ""},
        {"QX861", ""},
        {"QX872", ""},
        {"QX861", "490MHZ"},
        {"QX230A", "433MHZ"},
        {"QX2401", "2.4GHZ"}, // the module reports 2.4GHZ, the table is keyed
                              // "2400MHZ"
        {"", "433MHZ"},
        {"QX861", "433mhz"},
    };
    for (const Row& r : rows)
        EXPECT_TRUE(AllEmpty(ChannelFrequencies(r.model, r.base, "", 0, false)))
            << r.model << " " << r.base;
}

TEST(Frequencies, TxRxTablesUnderMorvantelis) {
    // 871 as a terminal: TX in 0..9, RX in 10..19, one "MHZ" among the "MHz"
    const auto terminal = ChannelFrequencies("QX871", "433MHZ", "MORVANTELIS", 6, false);
    EXPECT_EQ(terminal[1], "402.625MHz");
    EXPECT_EQ(terminal[9], "449.760MHz");
    EXPECT_EQ(terminal[16], "405.275MHZ");
    EXPECT_EQ(terminal[19], "406.825MHz");
    // 871 with the box checked and every other 87 share the second table
    const auto shared = ChannelFrequencies("QX871", "433MHZ", "MORVANTELIS", 6, true);
    EXPECT_EQ(shared, ChannelFrequencies("QX875", "433MHZ", "MORVANTELIS", 10, false));
    EXPECT_EQ(shared, ChannelFrequencies("876", "433MHZ", "MORVANTELIS", 11, true));
    EXPECT_EQ(shared[6], "445.675MHZ");
    EXPECT_EQ(shared[11], "414.125MHz");
    EXPECT_EQ(shared[16], "445.675MHz");
    // the base-station box only matters at 433 under MORVANTELIS
    EXPECT_EQ(ChannelFrequencies("QX871", "433MHZ", "", 6, true),
              ChannelFrequencies("QX871", "433MHZ", "", 6, false));
}

TEST(Frequencies, BaseStationBoxTables) {
    const auto unchecked = BaseStationTable(false);
    const ChannelFrequencyTable want = {"420.125MHz", "420.125MHz", "441.025MHz", "441.750MHz",
                                        "442.500MHz", "444.550MHz", "445.675MHz", "447.100MHz",
                                        "448.325MHz", "449.760MHz", "430.125MHz", "431.725MHz",
                                        "420.125MHz", "420.125MHz", "420.125MHz", "420.125MHz",
                                        "420.125MHZ", "420.125MHz", "420.125MHz", "420.125MHz"};
    EXPECT_EQ(unchecked, want);
    // checked: the two halves swapped
    const auto checked = BaseStationTable(true);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(checked[i], want[i + 10]);
        EXPECT_EQ(checked[i + 10], want[i]);
    }
    // its own table, not the one the model selection stores
    EXPECT_NE(unchecked, ChannelFrequencies("QX871", "433MHZ", "MORVANTELIS", 6, false));
}

TEST(Frequencies, RateAndChannelLists) {
    using V = std::vector<std::string>;
    EXPECT_EQ(RateListTexts(57600), (V{"1200", "2400", "4800", "9600", "19200", "38400", "57600"}));
    EXPECT_EQ(RateListTexts(38400).size(), 6u);
    EXPECT_EQ(RateListTexts(19200), (V{"1200", "2400", "4800", "9600", "19200"}));
    for (int other : {0, 9600, 20000, 115200, -1})
        EXPECT_TRUE(RateListTexts(other).empty()) << other;
    EXPECT_EQ(ChannelListTexts(4), (V{"1", "2", "3", "4"}));
    EXPECT_EQ(ChannelListTexts(17).back(), "17");
    EXPECT_TRUE(ChannelListTexts(0).empty());
    EXPECT_TRUE(ChannelListTexts(-3).empty());
}
