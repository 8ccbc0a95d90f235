// The fixed catalogue of 36 module models by list position, and what each model offers.
// All gating goes by list position, never by the shown name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

inline constexpr int kModelCount = 36;

// Shown name under the naming variant (key QX): 1 "QX861", 2 "NUV861", any other "861".
// Empty outside 0..35.
std::string ModelName(int position, int list_variant);
// The module's model name taken from a serial-number answer: "QX861" when the list variant
// is 1, else the bare "861" (the NUV names are never used there).
std::string AnswerModelName(int position, int list_variant);

// Two-digit model code of the serial number ("21" for position 0); empty outside 0..35.
std::string ModelCodeFromIndex(int position);
// Position of a two-character model code, -1 when no model has it.
int ModelIndexFromCode(std::string_view code);

// Family of a position: "86", "87", "88", "89", "23" or "24"; empty outside 0..35.
std::string ModelFamily(int position);
// The family byte a module of the position reports in its search answer: its code's first
// digit in the high nibble (0x20, "86X", for code "21"); 0 outside 0..35.
int FamilyByte(int position);

// Base frequencies offered for a position, in list order; empty outside 0..35.
std::vector<std::string> BaseFrequencies(int position);
// The base-frequency list before the first model choice.
std::vector<std::string> InitialBaseFrequencies();

// Channels the channel list offers; 0 outside 0..35.
int ChannelCount(int position, std::string_view variant_type);
// Highest air and serial rate offered (19200, 38400 or 57600); 0 outside 0..35.
int MaxRate(int position);
// Separate TX and RX frequency fields: positions 6..10 under "MORVANTELIS".
bool HasTxRxDisplay(int position, std::string_view variant_type);
// The base-station box: position 6 under "MORVANTELIS".
bool HasBaseStationOption(int position, std::string_view variant_type);
// Output power group (1 W / 2 W): positions 10, 17 and 20.
bool HasPowerGroup(int position);
// IO line buttons: positions 7 and 8.
bool HasIoGroup(int position);

// Search answer fields.
// Family byte 0x10..0x60 -> "230X", "86X", "87X", "88X", "89X", "240X", with "QX" in front when
// the list variant is 1; empty for any other byte.
std::string FamilyText(int family_byte, int list_variant);
// Base frequency code 1..6 -> "230MHZ", "433MHZ", "490MHZ", "868MHZ", "915MHZ", "2.4GHZ";
// empty for any other code.
std::string BaseFrequencyText(int code);
// Version byte 0x12 -> " V1.2": the two hex digits as major and minor.
std::string FirmwareVersionText(int version_byte);

} // namespace core
