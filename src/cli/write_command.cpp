#include "commands.h"

#include "core/models.h"
#include "serial/module_profile_io.h"

#include <fstream>
#include <iostream>
#include <iterator>

namespace cli {

namespace {

// Profiles are a few hundred bytes; a larger file is not one.
constexpr std::size_t kProfileLimit = 64 * 1024;

config::ModuleProfile LoadProfile(const std::string& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        throw Failure{Exit::kUsage, file + ": cannot read the profile"};
    std::string text(kProfileLimit + 1, '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(stream.gcount()));
    if (text.size() > kProfileLimit)
        throw Failure{Exit::kUsage, file + ": larger than 64 KiB, not a profile"};
    auto parsed = config::ParseModuleProfile(text, file);
    if (auto* error = std::get_if<std::string>(&parsed))
        throw Failure{Exit::kUsage, *error + "; nothing written"};
    return std::get<config::ModuleProfile>(std::move(parsed));
}

config::ModuleProfile ProfileOfSets(const std::vector<std::string>& sets) {
    config::ModuleProfile profile;
    for (const std::string& set : sets) {
        const auto equals = set.find('=');
        const core::SettingKey* key =
            equals == std::string::npos ? nullptr : core::FindSettingKey(set.substr(0, equals));
        if (key == nullptr)
            throw Failure{Exit::kUsage, "--set " + set + ": not KEY=VALUE with a setting's key"};
        const auto value = core::ParseSettingValue(key->setting, set.substr(equals + 1));
        if (!value)
            throw Failure{Exit::kUsage, "--set " + set + ": " + key->key + " takes " +
                                            core::SettingValueHint(key->setting)};
        profile.settings[key->setting] = *value;
    }
    return profile;
}

// The listening and sleeping times travel in one request, so they come together.
void CheckPairs(const core::SettingValues& values) {
    if (values.contains(core::Setting::kWakeMs) != values.contains(core::Setting::kSleepS))
        throw Failure{Exit::kUsage, "wake_ms and sleep_s are written together; give both"};
}

// A value the module's model does not offer, or a profile of another model: refused before
// anything is written.
void CheckModel(const ModulePort& port, const config::ModuleProfile& wanted, const Module& module,
                const std::string& source) {
    const std::string model = core::ModelName(module.modelPosition, 1);
    if (wanted.modelPosition >= 0 && wanted.modelPosition != module.modelPosition)
        throw Failure{Exit::kRefused,
                      source + " is a profile of " + core::ModelName(wanted.modelPosition, 1) +
                          ", the module on " + port.Name() + " is " +
                          (model.empty() ? "of unknown model" : model) + "; nothing written"};
    const std::string& variant = port.Variant();
    for (const auto& [setting, value] : wanted.settings) {
        const std::string refusal =
            core::SettingRefusal(setting, value, module.modelPosition, variant);
        if (!refusal.empty())
            throw Failure{Exit::kRefused, std::string(core::KeyOf(setting).key) + "=" +
                                              core::SettingValueText(setting, value) + ": " +
                                              refusal + "; nothing written"};
    }
}

} // namespace

Exit WriteCommand(const Arguments& arguments) {
    const bool write = arguments.command == "write";
    const std::string source =
        arguments.sets.empty() ? arguments.operands.at(1) : std::string("--set");
    const config::ModuleProfile wanted =
        arguments.sets.empty() ? LoadProfile(source) : ProfileOfSets(arguments.sets);
    CheckPairs(wanted.settings);

    const auto port = OpenPort(arguments);
    const Module module = FindModule(*port, arguments);
    CheckModel(*port, wanted, module, source);
    const auto wait = AnswerWait(arguments);
    const core::SettingValues current = ReadProfile(*port, module, wait).settings;

    std::string refused;
    core::SettingValues held = current;
    if (write) {
        refused = WriteSettings(*port, wanted.settings, current, wait);
        held = ReadProfile(*port, module, wait).settings;
    }
    const core::SettingDifferences difference = core::CompareSettings(wanted.settings, held);
    for (const std::string& line : difference.lines)
        std::cout << line << "\n";
    if (!refused.empty())
        throw Failure{Exit::kRefused, refused};
    if (difference.count != 0)
        throw Failure{Exit::kRefused,
                      std::to_string(difference.count) +
                          (difference.count == 1 ? " setting differs" : " settings differ") +
                          (write ? " after the write" : "")};
    std::cout << (write ? "written; the read-back matches\n" : "no difference\n");
    return Exit::kDone;
}

} // namespace cli
