#include "module_profile.h"

#include "profile_text.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

// See profile.cpp: header-only SimpleIni, no wide-character variant, here only to write a
// profile. Its templates are instantiated in each unit that uses them.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace config {

namespace {

constexpr const char* kModule = "module";
constexpr const char* kSettings = "settings";

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsIdentityKey(std::string_view key) {
    return std::ranges::find(kIdentityKeys, key) != std::end(kIdentityKeys);
}

// How many single-byte insertions, deletions and replacements turn `a` into `b`.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Each key of the text: the line it stands on and its value.
struct KeyLine {
    int number;
    std::string value;
};
using KeyLines = std::map<std::pair<std::string, std::string>, KeyLine>;

// A byte that has no place in a text file; tabs are blanks.
bool IsControl(char c) {
    return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
}

std::string Scan(std::string_view text, std::string_view name, KeyLines& lines,
                 std::vector<std::string>& identityOrder) {
    std::string section;
    int number = 0;
    for (const TextLine& textLine : SplitTextLines(text)) {
        ++number;
        const std::string at = std::string(name) + ":" + std::to_string(number) + ": ";
        if (const auto control = std::ranges::find_if(textLine.text, IsControl);
            control != textLine.text.end()) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(*control));
            return at + "holds the control byte " + code + "; a profile is plain text";
        }
        const std::string_view line = Trimmed(textLine.text);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return at + "a section header ends with ']'";
            section = Trimmed(line.substr(1, line.size() - 2));
            if (section != kModule && section != kSettings)
                return at + "unknown section [" + section +
                       "]; a profile has [module] and "
                       "[settings]";
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return at + "not a comment, [section] or key=value line";
        const std::string key(Trimmed(line.substr(0, equals)));
        if (section.empty())
            return at + "key " + key + " before the first [section]";
        if (section == kSettings && core::FindSettingRow(key) == nullptr)
            return at + UnknownSettingText(key);
        if (section == kModule && key != "model" && !IsIdentityKey(key))
            return at + "unknown key " + key + " in [module]";
        const auto [it, added] =
            lines.emplace(std::pair(section, key),
                          KeyLine{number, std::string(Trimmed(line.substr(equals + 1)))});
        if (!added)
            return at + key + " is given twice (first on line " +
                   std::to_string(it->second.number) + ")";
        if (section == kModule && key != "model")
            identityOrder.push_back(key);
    }
    return {};
}

std::variant<ModuleProfile, std::string> Parse(std::string_view text, std::string_view name) {
    KeyLines lines;
    std::vector<std::string> identityOrder;
    if (std::string error = Scan(text, name, lines, identityOrder); !error.empty())
        return error;
    const auto value = [&](const char* section, const std::string& key) {
        return lines.at({section, key}).value;
    };
    const auto at = [&](const char* section, const std::string& key) {
        return std::string(name) + ":" + std::to_string(lines.at({section, key}).number) + ": ";
    };

    ModuleProfile profile;
    if (!lines.contains({kModule, "model"}))
        return std::string(name) + ": no model=... in [module]; the profile must name its model";
    profile.model = value(kModule, "model");
    profile.modelPosition = core::ModelPositionOfName(profile.model);
    if (profile.modelPosition < 0)
        return at(kModule, "model") + "unknown model " + profile.model;
    for (const std::string& key : identityOrder)
        profile.identity.emplace_back(key, value(kModule, key));
    for (const core::SettingRow& key : core::SettingRows()) {
        if (!lines.contains({kSettings, key.key}))
            continue;
        const std::string text_value = value(kSettings, key.key);
        const auto number = core::ParseSettingValue(key.setting, text_value);
        if (!number)
            return at(kSettings, key.key) + key.key + "=" + text_value + " is not a value of " +
                   key.key + " (" + core::SettingValueHint(key.setting) + ")";
        profile.settings[key.setting] = *number;
    }
    return profile;
}

} // namespace

std::variant<ModuleProfile, std::string> ParseModuleProfile(std::string_view text,
                                                            std::string_view name) {
    auto parsed = Parse(text, name);
    // Names and values are echoed as text: bytes of another encoding do not reach the terminal.
    if (auto* error = std::get_if<std::string>(&parsed))
        *error = ValidUtf8(*error);
    return parsed;
}

std::string UnknownSettingText(std::string_view key) {
    std::string keys;
    const char* nearest = nullptr;
    std::size_t distance = key.size() / 2 + 1; // more edits than that is another word
    for (const core::SettingRow& k : core::SettingRows()) {
        keys += (keys.empty() ? "" : ", ") + std::string(k.key);
        if (const std::size_t d = EditDistance(key, k.key); d < distance) {
            distance = d;
            nearest = k.key;
        }
    }
    return "unknown setting " + std::string(key) +
           (nearest ? std::string("; did you mean ") + nearest + "?" : std::string()) +
           " (settings: " + keys + ")";
}

std::string ModuleProfileText(const ModuleProfile& profile) {
    CSimpleIniA ini;
    ini.SetSpaces(false); // "channel=3", as operators write it
    ini.SetValue(kModule, nullptr, nullptr,
                 "; qxtool settings profile: [module] names the model it belongs to; qxcli write "
                 "and diff\n; take the values of [settings], one key per setting.");
    ini.SetValue(kModule, "model", profile.model.c_str());
    for (const auto& [key, text] : profile.identity)
        ini.SetValue(kModule, key.c_str(), text.c_str());
    ini.SetValue(kSettings, nullptr, nullptr);
    for (const auto& [setting, number] : profile.settings)
        ini.SetValue(kSettings, core::RowOf(setting).key,
                     core::SettingValueText(setting, number).c_str());
    std::string text;
    ini.Save(text);
    return text;
}

std::variant<ModuleProfile, std::string> LoadModuleProfile(const std::string& path) {
    // Profiles are a few hundred bytes; a larger file is not one.
    constexpr std::size_t kProfileLimit = 64 * 1024;
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return path + ": cannot read the profile";
    std::string text(kProfileLimit + 1, '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(stream.gcount()));
    if (text.size() > kProfileLimit)
        return path + ": larger than 64 KiB, not a profile";
    return ParseModuleProfile(text, path);
}

} // namespace config
