#include "frequencies.h"

#include <initializer_list>

namespace core {

namespace {

using Texts = std::initializer_list<const char*>;

// The texts are kept exactly as the modules' documentation prints them, mixed "MHZ"/"MHz"
// included, because operators compare them with it.
constexpr Texts kQx861At433{"433.5308MHZ", "429.0012MHZ", "433.3020MHZ", "433.9164MHZ"};
constexpr Texts kQx861At915{"912.5340MHZ", "913.2252MHZ", "913.9164MHZ", "914.3772MHZ"};
constexpr Texts k86At868{"868.2972MHZ", "869.2188MHZ", "868.9116MHZ", "869.6796MHZ",
                         "867.6828MHZ", "870.1404MHZ", "867.0684MHZ", "870.7548MHZ"};
constexpr Texts k86At433{"428.0028MHZ", "429.0012MHZ", "433.3020MHZ", "433.9164MHZ",
                         "433.1176MHZ", "433.6706MHZ", "433.8286MHZ", "433.5308MHZ"};
constexpr Texts k86At915{"912.5340MHZ", "913.2252MHZ", "913.9164MHZ", "914.3772MHZ",
                         "914.6076MHZ", "915.2988MHZ", "915.9900MHZ", "916.6812MHZ"};
constexpr Texts k86At868Orw{"865.2252MHZ", "865.5324MHZ", "865.8396MHZ", "866.2236MHZ",
                            "867.6828MHZ", "866.4540MHZ", "867.0684MHZ", "866.9148MHZ"};

constexpr Texts k871TerminalTx{"420.125MHz", "402.625MHz", "441.025MHz", "441.900MHz",
                               "442.500MHz", "444.550MHz", "445.675MHz", "447.100MHz",
                               "448.325MHz", "449.760MHz"};
constexpr Texts k871TerminalRx{"430.125MHz", "431.725MHz", "402.275MHz", "402.825MHz",
                               "403.275MHz", "403.825MHz", "405.275MHZ", "405.825MHz",
                               "406.275MHz", "406.825MHz"};
constexpr Texts k87TxRxTx{"430.125MHz", "431.725MHz", "441.025MHz", "441.900MHz", "442.500MHz",
                          "444.550MHz", "445.675MHZ", "447.100MHz", "448.325MHz", "449.760MHz"};
constexpr Texts k87TxRxRx{"420.125MHz", "414.125MHz", "441.025MHz", "441.900MHz", "442.500MHz",
                          "444.550MHz", "445.675MHz", "447.100MHz", "448.325MHz", "449.760MHz"};
constexpr Texts k87At433{"430.2000MHZ", "431.4288MHZ", "431.7360MHZ", "430.5072MHZ", "434.6940MHZ",
                         "434.2332MHZ", "433.1580MHZ", "433.9260MHZ", "458.5250MHZ", "459.1250MHZ",
                         "459.5250MHZ", "460.1250MHZ", "460.5250MHZ", "461.1250MHZ", "461.5250MHZ",
                         "462.1250MHZ", "428.0028MHZ"};
constexpr Texts k87At915{"912.2000MHZ", "913.4288MHZ", "913.7360MHZ", "912.5072MHZ",
                         "916.6940MHZ", "916.2332MHZ", "915.1580MHZ", "915.9260MHZ"};
constexpr Texts k87At868{"868.0500MHZ", "868.3500MHZ", "868.5750MHZ", "869.2250MHZ",
                         "869.3500MHZ", "869.6750MHZ", "869.5000MHZ", "869.9260MHZ"};
constexpr Texts k88At490{"487.5072MHZ", "488.4289MHZ", "489.2329MHZ", "489.9260MHZ",
                         "490.6942MHZ", "491.1580MHZ", "491.7360MHZ", "492.4388MHZ"};
constexpr Texts k23At230{"230.2251MHZ", "231.3250MHZ", "232.5249MHZ", "229.7250MHZ",
                         "228.6250MHZ", "227.5250MHZ", "233.1253MHZ", "226.9752MHZ"};
constexpr Texts k24At2400{"2400MHZ",    "2400MHZMHZ", "2400MHZMHZ", "2400MHZMHZ",
                          "2400MHZMHZ", "2400MHZMHZ", "2400MHZMHZ", "2400MHZMHZ"};

constexpr Texts kBaseStationTerminal{"420.125MHz", "420.125MHz", "441.025MHz", "441.750MHz",
                                     "442.500MHz", "444.550MHz", "445.675MHz", "447.100MHz",
                                     "448.325MHz", "449.760MHz"};
constexpr Texts kBaseStationPartner{"430.125MHz", "431.725MHz", "420.125MHz", "420.125MHz",
                                    "420.125MHz", "420.125MHz", "420.125MHZ", "420.125MHz",
                                    "420.125MHz", "420.125MHz"};

// A table of one list, or of a TX half in entries 0..9 and an RX half in entries 10..19.
ChannelFrequencyTable Table(Texts first, Texts second = {}) {
    ChannelFrequencyTable table;
    std::size_t i = 0;
    for (const char* text : first)
        table[i++] = text;
    i = 10;
    for (const char* text : second)
        table[i++] = text;
    return table;
}

ChannelFrequencyTable Table86(std::string_view model_text, std::string_view base,
                              std::string_view variant_type) {
    // Only the exact name "QX861" has its own four-channel tables.
    const bool qx861 = model_text == "QX861";
    if (base == "433MHZ")
        return Table(qx861 ? kQx861At433 : k86At433);
    if (base == "915MHZ")
        return Table(qx861 ? kQx861At915 : k86At915);
    if (base == "868MHZ")
        return Table(!qx861 && variant_type == "ORW" ? k86At868Orw : k86At868);
    return {};
}

ChannelFrequencyTable Table87(std::string_view base, std::string_view variant_type, int position,
                              bool base_station) {
    if (base == "433MHZ") {
        if (variant_type != "MORVANTELIS")
            return Table(k87At433);
        if (position == 6 && !base_station)
            return Table(k871TerminalTx, k871TerminalRx);
        return Table(k87TxRxTx, k87TxRxRx);
    }
    if (base == "915MHZ")
        return Table(k87At915);
    if (base == "868MHZ")
        return Table(k87At868);
    return {};
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

} // namespace

std::string FamilyKey(std::string_view model_text) {
    std::string key(model_text.substr(0, 4));
    const std::string_view tail =
        model_text.substr(model_text.size() < 3 ? 0 : model_text.size() - 3);
    // Tested in this order so the last hit wins: "886" is an 88, not an 86.
    for (const char* family : {"86", "87", "88", "89"})
        if (Contains(tail, family))
            key = family;
    for (const char* family : {"23", "24"})
        if (Contains(model_text, family))
            key = family;
    return key;
}

ChannelFrequencyTable ChannelFrequencies(std::string_view model_text, std::string_view base,
                                         std::string_view variant_type, int model_position,
                                         bool base_station) {
    const std::string key = FamilyKey(model_text);
    if (key == "86")
        return Table86(model_text, base, variant_type);
    if (key == "87")
        return Table87(base, variant_type, model_position, base_station);
    if ((key == "88" || key == "89") && base == "490MHZ")
        return Table(k88At490);
    if (key == "23" && base == "230MHZ")
        return Table(k23At230);
    if (key == "24" && base == "2400MHZ")
        return Table(k24At2400);
    return {};
}

ChannelFrequencyTable BaseStationTable(bool checked) {
    return checked ? Table(kBaseStationPartner, kBaseStationTerminal)
                   : Table(kBaseStationTerminal, kBaseStationPartner);
}

std::vector<std::string> RateListTexts(int maximum) {
    if (maximum != 19200 && maximum != 38400 && maximum != 57600)
        return {};
    std::vector<std::string> texts;
    for (int rate : {1200, 2400, 4800, 9600, 19200, 38400, 57600})
        if (rate <= maximum)
            texts.push_back(std::to_string(rate));
    return texts;
}

std::vector<std::string> ChannelListTexts(int count) {
    std::vector<std::string> texts;
    for (int channel = 1; channel <= count; ++channel)
        texts.push_back(std::to_string(channel));
    return texts;
}

} // namespace core
