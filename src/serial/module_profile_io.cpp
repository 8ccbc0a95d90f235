#include "module_profile_io.h"

#include "core/frequencies.h"
#include "core/models.h"

#include <thread>

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

struct Write {
    std::uint8_t code;
    std::string payload;
};

// The value a write takes: the profile's, else the module's own.
int Effective(Setting setting, const SettingValues& values, const SettingValues& current) {
    const auto it = values.find(setting);
    return it != values.end() ? it->second : current.at(setting);
}

// The request that writes `setting`; nothing for the settings another one carries along (the
// sleep time goes with the listening time, the parity with the serial rate).
std::optional<Write> WriteOf(Setting setting, const SettingValues& values,
                             const SettingValues& current, const ModulePort& port) {
    const int v = values.at(setting);
    const auto framing = [&](std::uint8_t code) { return port.FramingOf(*FindCommand(code)); };
    const auto byte = [&](std::uint8_t code) { return Write{code, BytePayload(v, framing(code))}; };
    const auto serial = [&] {
        return Write{cmd::kWriteSerial,
                     SerialSettingsPayload(Effective(Setting::kSerialRate, values, current),
                                           Effective(Setting::kParity, values, current),
                                           framing(cmd::kWriteSerial))};
    };
    switch (setting) {
    case Setting::kChannel:
        return byte(cmd::kWriteChannel);
    case Setting::kAirRate:
        return byte(cmd::kWriteAirRate);
    case Setting::kPowerSaving:
        return byte(cmd::kWritePowerSave);
    case Setting::kWakeMs:
        return Write{cmd::kSetDutyCycle, *DutyCyclePayload(v, values.at(Setting::kSleepS))};
    case Setting::kAirProtocol:
        return byte(cmd::kWriteProtocol);
    case Setting::kId:
        return Write{cmd::kWriteId, WordPayload(static_cast<std::uint16_t>(v))};
    case Setting::kOutputPower:
        return byte(cmd::kSetOutputPower);
    case Setting::kPowerLevel:
        return byte(cmd::kSetPowerLevel);
    case Setting::kSerialRate:
        return serial();
    case Setting::kParity:
        if (values.contains(Setting::kSerialRate))
            return std::nullopt;
        return serial();
    case Setting::kSleepS:
        break;
    }
    return std::nullopt;
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
    for (const auto& [setting, value] : wanted.settings) {
        const std::string refusal =
            SettingRefusal(setting, value, module.modelPosition, port.Variant());
        if (!refusal.empty())
            return std::string(KeyOf(setting).key) + "=" + SettingValueText(setting, value) + ": " +
                   refusal + "; nothing written";
    }
    return {};
}

config::ModuleProfile ReadProfile(ModulePort& port, const Module& module, milliseconds wait) {
    config::ModuleProfile profile;
    profile.modelPosition = module.modelPosition;
    profile.model = module.modelPosition >= 0 ? ModelName(module.modelPosition, 1) : "";
    const auto all = Ask<answer::AllRead>(port, cmd::kReadAll, wait);
    const auto save = Ask<answer::PowerSaveRead>(port, cmd::kReadPowerSave, wait);
    const auto protocol = Ask<answer::ProtocolRead>(port, cmd::kReadProtocol, wait);
    const auto id = Ask<answer::IdRead>(port, cmd::kReadId, wait);
    profile.settings = {
        {Setting::kChannel, all.channel},
        {Setting::kAirRate, all.airRate},
        {Setting::kPowerSaving, save.mode},
        {Setting::kAirProtocol, protocol.protocol},
        {Setting::kId, id.id},
        {Setting::kSerialRate, all.serialRate},
        {Setting::kParity, all.parity},
    };
    profile.identity = {
        {"serial_number", SerialNumberText(module.serialNumber, module.modelPosition)},
        {"family", FamilyText(module.identity.family, 1)},
        {"firmware", FirmwareVersionText(module.identity.version).substr(1)},
        {"base_frequency", BaseFrequencyText(module.identity.baseFrequencyCode)},
        {"frequency", FrequencyOf(module, all.channel, port.Variant())},
    };
    if (HasIoGroup(module.modelPosition)) {
        const auto io = Ask<answer::IoLinesRead>(port, cmd::kIoRead, wait,
                                                 WordPayload(static_cast<std::uint16_t>(id.id)));
        profile.identity.emplace_back("io_input1", io.level1 == 1 ? "high" : "low");
        profile.identity.emplace_back("io_input2", io.level2 == 1 ? "high" : "low");
    }
    return profile;
}

std::string WriteSettings(ModulePort& port, const SettingValues& values,
                          const SettingValues& current, milliseconds wait, milliseconds settle) {
    for (const auto& [setting, value] : values) {
        const auto write = WriteOf(setting, values, current, port);
        if (!write)
            continue;
        if (std::string refused = Put(port, *FindCommand(write->code), write->payload, wait);
            !refused.empty())
            return refused;
        if (write->code == cmd::kWriteSerial) {
            // the module answered at its old line and moves now; follow it (the short framing
            // carries no parity: the module keeps the one it answered at)
            const int parity = port.FramingOf(*FindCommand(cmd::kWriteSerial)) == Framing::kEDED
                                   ? port.Parity()
                                   : Effective(Setting::kParity, values, current);
            port.SetLine(BaudFromRateCode(Effective(Setting::kSerialRate, values, current)),
                         parity);
            std::this_thread::sleep_for(settle);
        }
    }
    return {};
}

} // namespace serial
