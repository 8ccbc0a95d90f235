// A settings profile: a module's settings in a small INI file that operators edit by hand,
// read from one module and applied to others. Section [module] names the model it belongs to
// (and, for the reader, what else was read: serial number, family, ...); section [settings]
// holds one key per setting with the value as the window's list shows it:
//
//   [module]
//   model=QX871
//   serial_number=QX871 2026-12 00042
//   [settings]
//   channel=3
//   air_rate=9600
//   serial_rate=9600
//   parity=none
//
// Keys and values compare exactly; ';' and '#' begin comment lines; lines end at LF, CR LF or a
// CR alone (see SplitTextLines).
#pragma once

#include "core/setting_values.h"

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace config {

struct ModuleProfile {
    std::string model; // the name as written, "QX871"
    int modelPosition = -1;
    // The other keys of [module], in file order: what was read besides the settings. A write
    // ignores them.
    std::vector<std::pair<std::string, std::string>> identity;
    core::SettingValues settings;
};

// The keys [module] may hold besides the model.
inline constexpr std::string_view kIdentityKeys[] = {
    "serial_number", "family", "firmware", "base_frequency", "frequency", "io_input1", "io_input2"};

// The profile in `text`, or the reason it is refused, beginning "`name`:LINE: " where a line
// is to blame: a line that holds a control byte (a binary file) or is no comment, section or
// key=value, an unknown section or key, a key given twice, a value the setting does not take, a
// missing model. Bytes that are not UTF-8 show as U+FFFD in the reason.
std::variant<ModuleProfile, std::string> ParseModuleProfile(std::string_view text,
                                                            std::string_view name);

// The profile in the file at `path`, or the reason it is refused: unreadable, larger than a
// profile can be, or malformed as ParseModuleProfile tells.
std::variant<ModuleProfile, std::string> LoadModuleProfile(const std::string& path);

// What a key that is no setting's is told, in a profile or on the command line: every key,
// and the nearest one where the key looks like a misspelling of it.
std::string UnknownSettingText(std::string_view key);

// The profile as INI text, settings in the order of core::SettingRows.
std::string ModuleProfileText(const ModuleProfile& profile);

} // namespace config
