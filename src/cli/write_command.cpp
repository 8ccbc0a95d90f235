#include "commands.h"

#include "core/models.h"
#include "module_records.h"
#include "port_runs.h"
#include "serial/module_profile_io.h"

namespace cli {

namespace {

config::ModuleProfile LoadProfile(const std::string& file) {
    auto loaded = config::LoadModuleProfile(file);
    if (auto* error = std::get_if<std::string>(&loaded))
        throw Failure{Exit::kUsage, *error + "; nothing written"};
    return std::get<config::ModuleProfile>(std::move(loaded));
}

config::ModuleProfile ProfileOfSets(const std::vector<std::string>& sets) {
    config::ModuleProfile profile;
    for (const std::string& set : sets) {
        const auto equals = set.find('=');
        if (equals == std::string::npos)
            throw Failure{Exit::kUsage, "--set " + set + ": not KEY=VALUE with a setting's key"};
        const core::SettingRow* key = core::FindSettingRow(set.substr(0, equals));
        if (key == nullptr)
            throw Failure{Exit::kUsage, "--set " + set + ": " +
                                            config::UnknownSettingText(set.substr(0, equals))};
        const auto value = core::ParseSettingValue(key->setting, set.substr(equals + 1));
        if (!value)
            throw Failure{Exit::kUsage, "--set " + set + ": " + key->key + " takes " +
                                            core::SettingValueHint(key->setting)};
        profile.settings[key->setting] = *value;
    }
    return profile;
}

// The read-back after a write. A module that takes up new serial settings a moment after its
// answer may not hear the first request at them yet: it is asked once more after the settle
// time, and when it still does not answer there the write stands, unconfirmed.
core::SettingValues ReadBack(ModulePort& port, const Module& module, std::chrono::milliseconds wait,
                             std::chrono::milliseconds settle, bool lineChanged) {
    try {
        return ReadProfile(port, module, wait).settings;
    } catch (const serial::ExchangeError& error) {
        if (error.fault != serial::ExchangeFault::kNoAnswer || !lineChanged)
            throw;
    }
    port.Settle(settle);
    try {
        return ReadProfile(port, module, wait).settings;
    } catch (const serial::ExchangeError& error) {
        if (error.fault != serial::ExchangeFault::kNoAnswer)
            throw;
        throw Failure{Exit::kNotFound,
                      port.Name() + ": written; not confirmed at " + std::to_string(port.Baud()) +
                          " " + core::SettingValueText(core::Setting::kParity, port.Parity()) +
                          ": the module does not answer at its new serial settings"};
    }
}

// Settings that travel in one request come together.
void CheckPairs(const core::SettingValues& values) {
    if (std::string missing = core::MissingCompanion(values); !missing.empty())
        throw Failure{Exit::kUsage, std::move(missing)};
}

// What the write changes: each setting of `wanted` the module holds otherwise, with its value
// before ("" when it does not report it).
std::vector<records::SettingChange> Changes(const core::SettingValues& wanted,
                                            const core::SettingValues& current) {
    std::vector<records::SettingChange> changes;
    for (const auto& [setting, value] : wanted) {
        const auto held = current.find(setting);
        if (held != current.end() && held->second == value)
            continue;
        changes.push_back(
            {core::RowOf(setting).key,
             held == current.end() ? std::string() : core::SettingValueText(setting, held->second),
             core::SettingValueText(setting, value)});
    }
    return changes;
}

} // namespace

Exit WriteCommand(const Arguments& arguments) {
    const bool write = arguments.command == "write";
    const std::string source = arguments.sets.empty() ? arguments.profile : std::string("--set");
    const config::ModuleProfile wanted =
        arguments.sets.empty() ? LoadProfile(source) : ProfileOfSets(arguments.sets);
    CheckPairs(wanted.settings);

    // the records are opened (their tables made) before any module is touched, so a store that
    // cannot be used costs nothing; a dry run records nothing
    if (write && !arguments.dryRun)
        OpenRecords(arguments.records);
    const ResultWords words = !write             ? ResultWords{"same", "different"}
                              : arguments.dryRun ? ResultWords{"would be written"}
                                                 : ResultWords{"written"};
    return RunOnPorts(arguments, words, [&](PortRun& run) {
        const auto port = OpenPort(arguments, run.Port());
        const Module module = FindModule(*port, arguments, run.Shown());
        // the line found, until a write moves it
        run.json["line"] = LineJson(port->Baud(), port->Parity());
        run.json["module"] = ModuleJson(serial::IdentityProfile(module));
        if (const std::string refusal = serial::ProfileRefusal(*port, wanted, module, source);
            !refusal.empty())
            throw Failure{Exit::kRefused, refusal};
        const auto wait = AnswerWait(arguments);
        run.Show("reading");
        const core::SettingValues current = ReadProfile(*port, module, wait).settings;
        // what the module held of the settings given, before anything is written
        core::SettingValues previous;
        for (const auto& [setting, value] : current)
            if (wanted.settings.contains(setting))
                previous[setting] = value;
        run.json["before"] = SettingsJson(previous);
        if (arguments.dryRun) {
            // what the write would send, in its order and against what the module holds now
            run.json["writes"] = WritesJson(wanted.settings, current);
            run.json["dry_run"] = true;
            run.text << "would write, in this order:\n";
            for (const std::string& line : core::WritePlan(wanted.settings, current))
                run.text << line << "\n";
            run.text << "nothing written (--dry-run)\n";
            return;
        }

        const auto compare = [&](const core::SettingValues& held, const std::string& refused) {
            const core::SettingDifferences difference =
                core::CompareSettings(wanted.settings, held);
            run.json["line"] = LineJson(port->Baud(), port->Parity());
            run.json["differences"] = DifferencesJson(wanted.settings, held);
            run.json["unconfirmed"] = UnconfirmedJson(wanted.settings);
            for (const std::string& line : difference.lines)
                run.text << line << "\n";
            if (!refused.empty())
                throw Failure{Exit::kRefused, refused};
            if (difference.count != 0)
                throw Failure{Exit::kRefused, std::to_string(difference.count) +
                                                  (difference.count == 1 ? " setting differs"
                                                                         : " settings differ") +
                                                  (write ? " after the write" : "")};
            run.text << (write ? "written; the read-back matches\n" : "no difference\n");
        };
        if (!write)
            return compare(current, {});
        // a connection of the port's own: its thread is the only one that uses it
        const auto store = OpenRecords(arguments.records);
        Recorded(
            *store,
            RecordOf(arguments.bench, "write", *port, DeviceOf(run.Port()),
                     core::ModelName(module.modelPosition, 1), Changes(wanted.settings, current)),
            [&] {
                const std::chrono::milliseconds settle =
                    arguments.settleMs ? std::chrono::milliseconds(*arguments.settleMs)
                                       : serial::kSettleTime;
                const core::LineSettings before = port->Line();
                const std::string refused =
                    WriteSettings(*port, wanted.settings, current, wait, settle,
                                  [&run](int, int, const std::string& asks) { run.Show(asks); });
                const bool lineChanged = port->Baud() != before.BaudRate ||
                                         port->Line().PortParityCode != before.PortParityCode;
                run.Show("reading back");
                compare(ReadBack(*port, module, wait, settle, lineChanged), refused);
            });
    });
}

} // namespace cli
