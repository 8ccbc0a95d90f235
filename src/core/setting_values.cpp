#include "setting_values.h"

#include "catalogue.h"
#include "decimal_entry.h"
#include "models.h"

#include <algorithm>
#include <array>
#include <vector>

namespace core {

namespace {

using enum Setting;

constexpr std::array kKeys{
    SettingKey{kChannel, "channel", true},
    SettingKey{kAirRate, "air_rate", true},
    SettingKey{kPowerSaving, "power_saving", true},
    SettingKey{kWakeMs, "wake_ms", false},
    SettingKey{kSleepS, "sleep_s", false},
    SettingKey{kAirProtocol, "air_protocol", true},
    SettingKey{kId, "id", true},
    SettingKey{kOutputPower, "output_power", false},
    SettingKey{kPowerLevel, "power_level", false},
    SettingKey{kSerialRate, "serial_rate", true},
    SettingKey{kParity, "parity", true},
};

// The texts of the settings chosen from a list, by wire number.
std::vector<std::string_view> Names(Setting setting) {
    switch (setting) {
    case kParity:
        return {"none", "even", "odd"};
    case kPowerSaving:
        return {"no sleep", "hardware wake-up", "serial wake-up", "air wake-up"};
    case kAirProtocol:
        return {"Velmora", "compatible"};
    case kOutputPower:
        return {"1W", "2W"};
    default:
        return {};
    }
}

bool IsRate(Setting setting) {
    return setting == kAirRate || setting == kSerialRate;
}

struct Range {
    std::uint32_t low;
    std::uint32_t high;
};

// The decimal settings; the channel's upper bound depends on the model and is checked there.
Range RangeOf(Setting setting) {
    switch (setting) {
    case kChannel:
        return {1, 255};
    case kWakeMs:
    case kId:
        return {setting == kId ? 0u : 1u, 65535};
    case kSleepS:
        return {1, 65};
    case kPowerLevel:
        return {0, 15};
    default:
        return {0, 0};
    }
}

} // namespace

std::span<const SettingKey> SettingKeys() {
    return kKeys;
}

const SettingKey& KeyOf(Setting setting) {
    return kKeys[static_cast<std::size_t>(setting)];
}

const SettingKey* FindSettingKey(std::string_view key) {
    const auto it = std::ranges::find(kKeys, key, &SettingKey::key);
    return it == kKeys.end() ? nullptr : &*it;
}

std::optional<int> ParseSettingValue(Setting setting, std::string_view text) {
    const auto names = Names(setting);
    if (!names.empty()) {
        const auto it = std::ranges::find(names, text);
        if (it == names.end())
            return std::nullopt;
        return static_cast<int>(it - names.begin());
    }
    if (IsRate(setting)) {
        // The window's lists begin at 1200; a module that runs its serial line at 600 reports
        // code 1, and a profile read from it must go back in.
        for (int code = setting == kSerialRate ? 1 : 2; code <= 8; ++code)
            if (text == std::to_string(BaudFromRateCode(code)))
                return code;
        return std::nullopt;
    }
    const Range range = RangeOf(setting);
    const auto value = DecimalInRange(text, range.low, range.high);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::string SettingValueText(Setting setting, int value) {
    const auto names = Names(setting);
    if (!names.empty())
        return value >= 0 && static_cast<std::size_t>(value) < names.size()
                   ? std::string(names[static_cast<std::size_t>(value)])
                   : "code " + std::to_string(value);
    if (IsRate(setting)) {
        const int baud = BaudFromRateCode(value);
        return baud != 0 ? std::to_string(baud) : "rate code " + std::to_string(value);
    }
    return std::to_string(value);
}

std::string SettingValueHint(Setting setting) {
    const auto names = Names(setting);
    if (!names.empty()) {
        std::string hint;
        for (const std::string_view name : names)
            hint += (hint.empty() ? "" : ", ") + std::string(name);
        return hint;
    }
    if (IsRate(setting))
        return std::string(setting == kSerialRate ? "600, " : "") +
               "1200, 2400, 4800, 9600, 19200, 38400, 57600";
    const Range range = RangeOf(setting);
    return std::to_string(range.low) + " .. " + std::to_string(range.high);
}

std::string SettingRefusal(Setting setting, int value, int model_position,
                           std::string_view variant_type) {
    const std::string model = ModelName(model_position, 1);
    switch (setting) {
    case kChannel: {
        const int count = ChannelCount(model_position, variant_type);
        if (value > count)
            return model + " has channels 1 .. " + std::to_string(count);
        break;
    }
    case kAirRate:
    case kSerialRate:
        if (BaudFromRateCode(value) > MaxRate(model_position))
            return model + " runs at most " + std::to_string(MaxRate(model_position)) + " baud";
        break;
    case kOutputPower:
        if (!HasPowerGroup(model_position))
            return model + " has no output power setting";
        break;
    default:
        break;
    }
    return {};
}

SettingDifferences CompareSettings(const SettingValues& wanted, const SettingValues& held) {
    SettingDifferences differences;
    for (const auto& [setting, value] : wanted) {
        const SettingKey& key = KeyOf(setting);
        const std::string text = SettingValueText(setting, value);
        if (!key.readable) {
            differences.lines.push_back(std::string(key.key) + ": " + text +
                                        " written, the module does not report it");
            continue;
        }
        const auto it = held.find(setting);
        if (it != held.end() && it->second == value)
            continue;
        ++differences.count;
        differences.lines.push_back(
            std::string(key.key) + ": profile " + text + ", module " +
            (it == held.end() ? std::string("-") : SettingValueText(setting, it->second)));
    }
    return differences;
}

int ModelPositionOfName(std::string_view name) {
    for (int position = 0; position < kModelCount; ++position)
        for (int list_variant = 0; list_variant <= 2; ++list_variant)
            if (name == ModelName(position, list_variant))
                return position;
    return -1;
}

} // namespace core
