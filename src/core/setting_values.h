// A module's settings as operators write them in a profile: one key per setting, the value as
// the window's list shows it ("9600", "even", "air wake-up"), and the number the wire carries.
#pragma once

#include "setting_table.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Values as the wire numbers: channel number, rate code, parity code, list positions, ms, s.
using SettingValues = std::map<Setting, int>;

// The number of a value text, or nullopt when the text is none the setting takes.
std::optional<int> ParseSettingValue(Setting setting, std::string_view text);
std::string SettingValueText(Setting setting, int value);
// What the value texts of a setting look like, for a message: "1200 .. 57600".
std::string SettingValueHint(Setting setting);

// The payload of the write of `setting` in `framing`; `values` holds the value of the setting
// its write carries too (the parity with the serial rate, the sleeping time with the listening
// time). Values outside the setting's range give an empty payload.
std::string SettingPayload(Setting setting, const SettingValues& values, Framing framing);

// Why `values` cannot be written: a setting whose write carries another that the module never
// reports, given without it ("wake_ms and sleep_s are written together; give both"); empty
// when they can.
std::string MissingCompanion(const SettingValues& values);

// Why a model (list position) under a variant does not take the value; empty when it does.
std::string SettingRefusal(Setting setting, int value, int model_position,
                           std::string_view variant_type);

// One line per setting of `wanted` that `held` (what the module reports) does not hold:
// "air_rate: profile 9600, module 4800". Settings a module never reports are listed as not
// confirmed and count as no difference.
struct SettingDifferences {
    std::vector<std::string> lines;
    int count = 0;
};
SettingDifferences CompareSettings(const SettingValues& wanted, const SettingValues& held);

// What a write of `wanted` sends, a line a setting in the order it goes out (the serial
// settings last), against what the module holds now: "channel: 3 -> 5", "air_rate: 9600, as
// now", "parity: none -> even, with serial_rate", "wake_ms: 700, not reported by the module".
std::vector<std::string> WritePlan(const SettingValues& wanted, const SettingValues& held);

// The position of a model name in any naming variant ("QX861", "NUV861", "861"); -1 for none.
int ModelPositionOfName(std::string_view name);

} // namespace core
