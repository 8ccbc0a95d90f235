// What a simulated radio module keeps in its flash and registers, and the one table of its
// settings that the state file, the command line and the write commands all check against.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace core {

// Defaults are a QX861 at 433 MHz with firmware V1.2, 9600 baud no parity, channel 1,
// air rate 9600 and ID 1: what a search from the tool's defaults finds.
struct ModuleState {
    int family = 0x20;       // search answer byte 0
    int firmware = 0x12;     // search answer byte 1, shown as V1.2
    int base_frequency = 2;  // search answer byte 2, 433 MHz
    int model = 0x21;        // serial number: model code
    int year = 24;           // serial number: last two digits of the year
    int month = 1;           // serial number: month
    int number = 1;          // serial number: running number
    int id = 1;              // module ID, addressed by the 4040 IO commands
    int channel = 1;         // channel number
    int air_rate = 5;        // air rate code (5 = 9600)
    int serial_rate = 5;     // serial rate code (5 = 9600)
    int parity = 0;          // 0 none, 1 even, 2 odd
    int air_protocol = 0;    // 0 standard, 1 compatible
    int power_save = 0;      // power-saving mode 0..3
    int wake_ms = 500;       // duty cycle: listening time in ms
    int sleep_ms = 2000;     // duty cycle: sleeping time in ms
    int output_power = 0;    // 0 = 1 W, 1 = 2 W
    int power_level = 15;    // power level 0..15
    int field_strength = 80; // what the field-strength read reports
    int input1 = 0;          // IO input levels, 0 low, 1 high
    int input2 = 0;
    int output1 = 0; // IO output levels set by the 4040 write
    int output2 = 0;
    int tx_test = 0;      // 1 while the transmit test runs
    int capacitance = 64; // frequency calibration value 0..127

    bool operator==(const ModuleState&) const = default;
};

struct ModuleSetting {
    const char* key; // in state files and as a command-line option "--key"
    int ModuleState::*member;
    int min;
    int max;
    bool hex; // a code rather than a quantity: written as 0x..
    const char* help;
};

std::span<const ModuleSetting> ModuleSettings();
const ModuleSetting* FindModuleSetting(std::string_view key);
const ModuleSetting* FindModuleSetting(int ModuleState::*member);
// Decimal "12" or hex "0x1F"; nullopt for anything else, signs and overflow included.
std::optional<int> ParseSettingValue(std::string_view text);
std::string FormatSettingValue(const ModuleSetting& setting, int value);
// Stores the value when the setting allows it; false leaves the state unchanged.
bool StoreSetting(ModuleState& state, int ModuleState::*member, int value);

} // namespace core
