#include "module_state.h"

#include "core/hex.h"

#include <array>
#include <charconv>

namespace core {

namespace {

constexpr std::array kSettings{
    ModuleSetting{"family", &ModuleState::family, 0, 255, true, "family code of the search answer"},
    ModuleSetting{"firmware", &ModuleState::firmware, 0, 255, true,
                  "firmware version byte (0x12 reads V1.2)"},
    ModuleSetting{"base-frequency", &ModuleState::base_frequency, 0, 255, true,
                  "base frequency code (1 230 MHz, 2 433 MHz, ... 6 2.4 GHz)"},
    ModuleSetting{"model", &ModuleState::model, 0, 255, true,
                  "model of the serial number: a name such as QX861 or its two-digit code 21"},
    ModuleSetting{"year", &ModuleState::year, 0, 255, false,
                  "serial number year (last two digits)"},
    ModuleSetting{"month", &ModuleState::month, 0, 255, false, "serial number month"},
    ModuleSetting{"number", &ModuleState::number, 0, 65535, false, "serial running number"},
    ModuleSetting{"id", &ModuleState::id, 0, 65535, false, "module ID for the IO commands"},
    ModuleSetting{"channel", &ModuleState::channel, 1, 255, false, "channel number"},
    ModuleSetting{"air-rate", &ModuleState::air_rate, 1, 8, false,
                  "air rate code (2 1200, 3 2400, 4 4800, 5 9600, 6 19200, 7 38400, 8 57600)"},
    ModuleSetting{"serial-rate", &ModuleState::serial_rate, 1, 8, false,
                  "serial rate code, as for the air rate (1 is 600)"},
    ModuleSetting{"parity", &ModuleState::parity, 0, 2, false,
                  "parity code (0 none, 1 even, 2 odd)"},
    ModuleSetting{"air-protocol", &ModuleState::air_protocol, 0, 1, false,
                  "air protocol (0 standard, 1 compatible)"},
    ModuleSetting{"power-save", &ModuleState::power_save, 0, 3, false,
                  "power-saving mode (0 none, 1 hardware, 2 serial, 3 air wake-up)"},
    ModuleSetting{"wake-ms", &ModuleState::wake_ms, 0, 65535, false,
                  "duty cycle listening time, ms"},
    ModuleSetting{"sleep-ms", &ModuleState::sleep_ms, 0, 65535, false,
                  "duty cycle sleeping time, ms"},
    ModuleSetting{"output-power", &ModuleState::output_power, 0, 1, false,
                  "output power (0 1 W, 1 2 W)"},
    ModuleSetting{"power-level", &ModuleState::power_level, 0, 15, false, "power level 0..15"},
    ModuleSetting{"field-strength", &ModuleState::field_strength, 0, 255, false,
                  "value the field-strength read reports"},
    ModuleSetting{"input1", &ModuleState::input1, 0, 1, false,
                  "level of IO input 1 (0 low, 1 high)"},
    ModuleSetting{"input2", &ModuleState::input2, 0, 1, false, "level of IO input 2"},
    ModuleSetting{"output1", &ModuleState::output1, 0, 1, false, "level of IO output 1"},
    ModuleSetting{"output2", &ModuleState::output2, 0, 1, false, "level of IO output 2"},
    ModuleSetting{"tx-test", &ModuleState::tx_test, 0, 1, false,
                  "1 starts the module in its transmit test"},
    ModuleSetting{"capacitance", &ModuleState::capacitance, 0, 127, false,
                  "frequency calibration value 0..127"},
};

} // namespace

std::span<const ModuleSetting> ModuleSettings() {
    return kSettings;
}

const ModuleSetting* FindModuleSetting(std::string_view key) {
    for (const ModuleSetting& setting : kSettings)
        if (key == setting.key)
            return &setting;
    return nullptr;
}

const ModuleSetting* FindModuleSetting(int ModuleState::*member) {
    for (const ModuleSetting& setting : kSettings)
        if (setting.member == member)
            return &setting;
    return nullptr;
}

std::optional<int> ParseSettingValue(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string FormatSettingValue(const ModuleSetting& setting, int value) {
    if (setting.hex)
        return "0x" + ToHex(static_cast<std::uint32_t>(value), 2);
    return std::to_string(value);
}

bool StoreSetting(ModuleState& state, int ModuleState::*member, int value) {
    const ModuleSetting* setting = FindModuleSetting(member);
    if (setting == nullptr || value < setting->min || value > setting->max)
        return false;
    state.*member = value;
    return true;
}

} // namespace core
