// Channel frequency texts by model, base frequency and variant, and the texts of the channel
// and rate lists. The frequencies are for display only: a channel goes on the wire as its number.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Entry i is the frequency of channel i + 1; with separate TX/RX frequencies entry i is the TX
// and entry i + 10 the RX frequency of channels 1..10. Unlisted entries are empty.
using ChannelFrequencyTable = std::array<std::string, 20>;

// "86", "87", "88", "89", "23" or "24" from a model name in any naming variant ("QX886" -> "88");
// any other result selects no table.
std::string FamilyKey(std::string_view model_text);

// The table for a model text and base frequency ("433MHZ"); empty when the base frequency is
// empty or not offered for the family. The position and the base-station box matter only for
// the 87 family at "433MHZ" under "MORVANTELIS".
ChannelFrequencyTable ChannelFrequencies(std::string_view model_text,
                                         std::string_view base_frequency,
                                         std::string_view variant_type, int model_position,
                                         bool base_station);

// The table the base-station box writes, whatever the base frequency.
ChannelFrequencyTable BaseStationTable(bool checked);

// "1200" .. up to the maximum (19200, 38400 or 57600); empty for any other maximum.
std::vector<std::string> RateListTexts(int maximum);
// "1", "2", .. up to the count.
std::vector<std::string> ChannelListTexts(int count);

} // namespace core
