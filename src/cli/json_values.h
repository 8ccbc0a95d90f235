// qxcli's JSON: the profile's keys with typed values, so a script reads numbers as numbers.
// A value with a unit goes under the key with the unit added ("frequency_mhz": 430.2), one
// that the module reports as unknown is null, never "".
#pragma once

#include "config/module_profile.h"
#include "core/setting_values.h"

#include <nlohmann/json.hpp>

#include <string>

namespace cli {

// Keys in the order they are put, as in the profile.
using Json = nlohmann::ordered_json;

// Puts `text`, a value as the profile writes it, under `key` of `object`: digits as a number, a
// number with a unit as a number under key_unit, an empty text as null, any other as a string.
// A serial number and a firmware version stay strings.
void PutValue(Json& object, const std::string& key, const std::string& text);

// {"baud": 19200, "parity": "odd"}
Json LineJson(int baud, int parity);

// Each setting under its profile key; a value the module reports but no list names is null.
Json SettingsJson(const core::SettingValues& values);

// [module] of a profile: the model, then what else was read.
Json ModuleJson(const config::ModuleProfile& profile);

// The settings of `wanted` that `held` does not hold, {"channel": {"profile": 3, "module": 7}},
// and the keys a module never reports, which the read-back cannot confirm.
Json DifferencesJson(const core::SettingValues& wanted, const core::SettingValues& held);
Json UnconfirmedJson(const core::SettingValues& wanted);

// What a write of `wanted` sends, in its order: [{"setting": "channel", "module": 3,
// "profile": 5}, ...], the module's value null where it never reports it.
Json WritesJson(const core::SettingValues& wanted, const core::SettingValues& held);

} // namespace cli
