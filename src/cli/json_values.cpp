#include "json_values.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace cli {

namespace {

// The number at the start of `text` and where it ends; nothing when it does not begin with one.
std::optional<std::pair<Json, std::size_t>> LeadingNumber(const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    long long whole = 0;
    const auto [afterWhole, wholeError] = std::from_chars(begin, end, whole);
    if (wholeError != std::errc{} || afterWhole == begin || *begin == '-')
        return std::nullopt;
    if (afterWhole == end || *afterWhole != '.')
        return std::pair{Json(whole), static_cast<std::size_t>(afterWhole - begin)};
    double fraction = 0;
    const auto [afterFraction, error] = std::from_chars(begin, end, fraction);
    if (error != std::errc{})
        return std::nullopt;
    return std::pair{Json(fraction), static_cast<std::size_t>(afterFraction - begin)};
}

// The text of a setting's value; empty when the module reported one that no list names.
std::string KnownText(core::Setting setting, int value) {
    const std::string text = core::SettingValueText(setting, value);
    const core::SettingRow& row = core::RowOf(setting);
    const std::string unknown = std::string(row.unknown) + " " + std::to_string(value);
    return text == unknown ? std::string() : text;
}

} // namespace

void PutValue(Json& object, const std::string& key, const std::string& text) {
    if (text.empty()) {
        object[key] = nullptr;
        return;
    }
    if (key != "serial_number" && key != "firmware") {
        if (const auto number = LeadingNumber(text)) {
            const std::string unit = text.substr(number->second);
            if (unit.empty()) {
                object[key] = number->first;
                return;
            }
            if (std::ranges::all_of(unit, [](unsigned char c) { return std::isalpha(c); })) {
                std::string lower;
                for (const unsigned char c : unit)
                    lower += static_cast<char>(std::tolower(c));
                object[key + "_" + lower] = number->first;
                return;
            }
        }
    }
    object[key] = text;
}

Json LineJson(int baud, int parity) {
    Json line = Json::object();
    line["baud"] = baud;
    PutValue(line, "parity", KnownText(core::Setting::kParity, parity));
    return line;
}

Json SettingsJson(const core::SettingValues& values) {
    Json settings = Json::object();
    for (const auto& [setting, value] : values)
        PutValue(settings, core::RowOf(setting).key, KnownText(setting, value));
    return settings;
}

Json ModuleJson(const config::ModuleProfile& profile) {
    Json module = Json::object();
    PutValue(module, "model", profile.model);
    for (const auto& [key, value] : profile.identity)
        PutValue(module, key, value);
    return module;
}

Json DifferencesJson(const core::SettingValues& wanted, const core::SettingValues& held) {
    Json differences = Json::object();
    for (const auto& [setting, value] : wanted) {
        const auto module = held.find(setting);
        if (!core::RowOf(setting).Readable() || (module != held.end() && module->second == value))
            continue;
        Json pair = Json::object();
        PutValue(pair, "profile", KnownText(setting, value));
        if (module == held.end())
            pair["module"] = nullptr;
        else
            PutValue(pair, "module", KnownText(setting, module->second));
        differences[core::RowOf(setting).key] = pair;
    }
    return differences;
}

Json WritesJson(const core::SettingValues& wanted, const core::SettingValues& held) {
    Json writes = Json::array();
    for (const auto& [setting, value] : wanted) {
        const auto now = held.find(setting);
        Json write = Json::object();
        write["setting"] = core::RowOf(setting).key;
        if (now == held.end() || !core::RowOf(setting).Readable())
            write["module"] = nullptr;
        else
            PutValue(write, "module", KnownText(setting, now->second));
        PutValue(write, "profile", KnownText(setting, value));
        writes.push_back(std::move(write));
    }
    return writes;
}

Json UnconfirmedJson(const core::SettingValues& wanted) {
    Json keys = Json::array();
    for (const auto& [setting, value] : wanted)
        if (!core::RowOf(setting).Readable())
            keys.push_back(core::RowOf(setting).key);
    return keys;
}

} // namespace cli
