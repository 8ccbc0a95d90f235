#include "module_profile_io.h"

#include "core/frequencies.h"
#include "core/models.h"

#include <map>

namespace serial {

namespace {

using namespace core;
using std::chrono::milliseconds;

std::string SerialNumberText(const answer::SerialNumber& sn, int position) {
    const std::string model = position >= 0 ? ModelName(position, 1) : "model " + sn.modelCode;
    return model + " " + sn.year + "-" + sn.month + " " + sn.number;
}

std::string FrequencyOf(const Module& module, int channel, std::string_view variant) {
    const std::string base = BaseFrequencyText(module.identity.baseFrequencyCode);
    const auto table = ChannelFrequencies(ModelName(module.modelPosition, 1), base, variant,
                                          module.modelPosition, false);
    return channel >= 1 && channel <= 20 ? table[static_cast<std::size_t>(channel - 1)] : "";
}

// The values a write of `values` sends: the profile's, and for a setting whose write carries
// another that the profile leaves out, the module's own.
SettingValues WithCurrent(SettingValues values, const SettingValues& current) {
    SettingValues rest = current;
    values.merge(rest);
    return values;
}

} // namespace

Module IdentifyModule(ModulePort& port, milliseconds wait) {
    Module module;
    module.identity = Ask<answer::SearchAnswer>(port, cmd::kSearch, wait);
    module.serialNumber = Ask<answer::SerialNumber>(port, cmd::kReadSerialNumber, wait);
    module.modelPosition = ModelIndexFromCode(module.serialNumber.modelCode);
    return module;
}

std::string ProfileRefusal(const ModulePort& port, const config::ModuleProfile& wanted,
                           const Module& module, const std::string& source) {
    const std::string model = ModelName(module.modelPosition, 1);
    if (wanted.modelPosition >= 0 && wanted.modelPosition != module.modelPosition)
        return source + " is a profile of " + ModelName(wanted.modelPosition, 1) +
               ", the module on " + port.Name() + " is " +
               (model.empty() ? "of unknown model" : model) + "; nothing written";
    if (const std::string missing = MissingCompanion(wanted.settings); !missing.empty())
        return missing + "; nothing written";
    for (const auto& [setting, value] : wanted.settings) {
        const std::string refusal =
            SettingRefusal(setting, value, module.modelPosition, port.Variant());
        if (!refusal.empty())
            return std::string(RowOf(setting).key) + "=" + SettingValueText(setting, value) + ": " +
                   refusal + "; nothing written";
    }
    return {};
}

config::ModuleProfile ReadProfile(ModulePort& port, const Module& module, milliseconds wait) {
    config::ModuleProfile profile;
    profile.modelPosition = module.modelPosition;
    profile.model = module.modelPosition >= 0 ? ModelName(module.modelPosition, 1) : "";
    // Each answer once, asked in the order of the settings that take their value from it.
    std::map<std::uint8_t, AnswerEvent> answers;
    for (const SettingRow& row : SettingRows()) {
        if (!row.Readable())
            continue;
        auto answer = answers.find(*row.profileRead);
        if (answer == answers.end()) {
            const Command& command = CommandAt(*row.profileRead);
            answer = answers
                         .emplace(command.code,
                                  Ask(port, command, ReadPayload(port.FramingOf(command)), wait))
                         .first;
        }
        const std::optional<int> value = row.reported(answer->second);
        if (!value)
            throw serial::ExchangeError{serial::ExchangeFault::kRefused,
                                        port.Name() + ": an answer without the data of " +
                                            CommandLogName(*row.profileRead)};
        profile.settings[row.setting] = *value;
    }
    const int channel = profile.settings.at(Setting::kChannel);
    profile.identity = {
        {"serial_number", SerialNumberText(module.serialNumber, module.modelPosition)},
        {"family", FamilyText(module.identity.family, 1)},
        {"firmware", FirmwareVersionText(module.identity.version).substr(1)},
        {"base_frequency", BaseFrequencyText(module.identity.baseFrequencyCode)},
        {"frequency", FrequencyOf(module, channel, port.Variant())},
    };
    if (HasIoGroup(module.modelPosition)) {
        const auto io = Ask<answer::IoLinesRead>(
            port, cmd::kIoRead, wait,
            WordPayload(static_cast<std::uint16_t>(profile.settings.at(Setting::kId))));
        profile.identity.emplace_back("io_input1", io.level1 == 1 ? "high" : "low");
        profile.identity.emplace_back("io_input2", io.level2 == 1 ? "high" : "low");
    }
    return profile;
}

std::string WriteSettings(ModulePort& port, const SettingValues& values,
                          const SettingValues& current, milliseconds wait, milliseconds settle) {
    const SettingValues sent = WithCurrent(values, current);
    for (const auto& [setting, value] : values) {
        const SettingRow& row = RowOf(setting);
        // written with the setting that carries it
        if (row.layout == SettingLayout::kCarried && values.contains(*row.with))
            continue;
        const Command& command = CommandAt(row.write);
        const Framing framing = port.FramingOf(command);
        if (std::string refused = Put(port, command, SettingPayload(setting, sent, framing), wait);
            !refused.empty())
            return refused;
        if (row.write == cmd::kWriteSerial) {
            // the module answered at its old line and moves now; follow it (the short framing
            // carries no parity: the module keeps the one it answered at)
            const int parity =
                framing == Framing::kEDED ? port.Parity() : sent.at(Setting::kParity);
            port.SetLine(BaudFromRateCode(sent.at(Setting::kSerialRate)), parity);
            port.Settle(settle);
        }
    }
    return {};
}

} // namespace serial
