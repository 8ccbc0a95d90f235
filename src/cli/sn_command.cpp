#include "commands.h"

#include "core/hex.h"
#include "core/models.h"
#include "core/serial_number.h"
#include "core/setting_values.h"
#include "module.h"
#include "module_records.h"
#include "port_runs.h"
#include "serial/module_profile_io.h"
#include "serial_counter.h"

namespace cli {

namespace {

const char* Reason(core::SerialNumberError error) {
    switch (error) {
    case core::SerialNumberError::kYearInvalid:
        return "--year takes a year from 2000 to 2099";
    case core::SerialNumberError::kMonthInvalid:
        return "--month takes a month from 1 to 12";
    default:
        return "--year and --month take a year and a month";
    }
}

// "QX861 2026-12 00042"
std::string Shown(const std::string& model, const std::string& payload) {
    const core::SerialNumber sn = core::DecodeSerialNumber(payload);
    return model + " " + sn.year + "-" + sn.month + " " + sn.number;
}

// {"model": "QX861", "serial_number": "QX861 2026-12 00042"}, as [module] of a profile
Json SerialNumberJson(const std::string& model, const std::string& payload) {
    Json module = Json::object();
    module["model"] = model;
    module["serial_number"] = Shown(model, payload);
    return module;
}

// A running number of zero: the module was never given one.
bool Blank(const core::answer::SerialNumber& number) {
    return number.number.find_first_not_of('0') == std::string::npos;
}

// The number the module had: "2024-01 00017", "QX871 2024-01 00017" `withModel`, or "blank".
std::string Before(const Module& module, bool withModel) {
    const core::answer::SerialNumber& before = module.serialNumber;
    if (Blank(before))
        return "blank";
    std::string model;
    if (withModel)
        model = (module.modelPosition >= 0 ? core::ModelName(module.modelPosition, 1)
                                           : "model " + before.modelCode) +
                " ";
    return model + before.year + "-" + before.month + " " + before.number;
}

// The guard rails, checked before the counter is stepped so that a refused module costs no
// number: the model asked must be of the family the module reports (unless --force), and with
// --only-if-blank the module must have no number yet.
void CheckModule(const Arguments& arguments, const ModulePort& port, const Module& module,
                 int position) {
    const std::string none = "; no number taken";
    const int family = module.identity.family;
    if (!arguments.force && family != core::FamilyByte(position)) {
        const std::string reported = core::FamilyText(family, 1);
        const std::string byte =
            "family byte 0x" + core::ToHex(static_cast<std::uint32_t>(family), 2);
        throw Failure{Exit::kRefused,
                      port.Name() + ": --model " + core::ModelName(position, 1) + " is of family " +
                          core::FamilyText(core::FamilyByte(position), 1) +
                          ", the module reports " + (reported.empty() ? byte : reported) +
                          "; --force numbers it all the same" + none};
    }
    if (arguments.onlyIfBlank && !Blank(module.serialNumber))
        throw Failure{Exit::kRefused,
                      port.Name() + ": the module has serial number " + Before(module, true) +
                          " already; --only-if-blank numbers blank modules only" + none};
}

} // namespace

Exit SerialNumberCommand(const Arguments& arguments) {
    const int position = core::ModelPositionOfName(arguments.model);
    if (position < 0)
        throw Failure{Exit::kUsage, "--model " + arguments.model +
                                        ": no such model (names as the window lists them, "
                                        "such as QX861)"};
    // the date is checked with a number that always fits, before any number is taken
    const auto probe = core::EncodeSerialNumber(position, arguments.year, arguments.month, "0");
    if (probe.error != core::SerialNumberError::kNone)
        throw Failure{Exit::kUsage, Reason(probe.error)};
    const std::string model = core::ModelName(position, 1);

    // The records and the counter are checked, then the modules found and their guard rails
    // passed, so a missing or refused one costs no number. A dry run records and steps nothing:
    // each port takes, in its turn, the number after the one before, as the counter would give
    // them.
    if (!arguments.dryRun)
        OpenRecords(arguments.records);
    int next = TakeSerialNumber(arguments.counter, true);
    const ResultWords words{arguments.dryRun ? "would be numbered" : "numbered"};
    return RunOnPorts(arguments, words, [&](PortRun& run) {
        const auto port = OpenPort(arguments, run.Port());
        const Module module = FindModule(*port, arguments, run.Shown());
        run.json["before"] = ModuleJson(serial::IdentityProfile(module));
        CheckModule(arguments, *port, module, position);
        // a connection of the port's own, opened before its number is taken: its thread is the
        // only one that uses it
        const auto store = arguments.dryRun ? nullptr : OpenRecords(arguments.records);
        // the modules are found at once, the numbers taken in the order of the ports
        int number = 0;
        run.Show("waiting for the counter");
        run.InTurn([&] {
            number = arguments.dryRun ? next++ : TakeSerialNumber(arguments.counter, false);
        });
        const auto sn = core::EncodeSerialNumber(position, arguments.year, arguments.month,
                                                 std::to_string(number));
        if (sn.error != core::SerialNumberError::kNone) // a dry run past the counter's end
            throw Failure{Exit::kRefused, arguments.counter + ": running number " +
                                              std::to_string(number) +
                                              " is past the last, 65534; start a new counter"};
        const auto wait = AnswerWait(arguments);
        const std::string given = Shown(model, sn.payload);
        // "COM3 QX861 2026-05 01006 (was 2024-01 00017)"
        const std::string line = run.Port() + " " + given + " (was " +
                                 Before(module, module.modelPosition != position) + ")";
        run.json["module"] = SerialNumberJson(model, sn.payload);
        run.json["number"] = number;
        if (arguments.dryRun) {
            run.json["dry_run"] = true;
            run.text << line << " would be written (800A payload " << sn.payload << ")\n";
            return;
        }
        const auto expected = core::DecodeSerialNumber(sn.payload);
        const auto& old = module.serialNumber;
        records::Record record =
            RecordOf(arguments.bench, "sn", *port, DeviceOf(run.Port()), model,
                     {{"serial_number", old.year + "-" + old.month + " " + old.number,
                       expected.year + "-" + expected.month + " " + expected.number}});
        record.serialNumber = record.changes.front().newValue;
        Recorded(*store, std::move(record), [&] {
            const std::string usedUp = "; number " + core::RunningNumberText(number) +
                                       " is used up, the next write takes the next one";
            std::string refused;
            run.Show("writing " + given);
            try {
                refused =
                    Put(*port, core::CommandAt(core::cmd::kWriteSerialNumber), sn.payload, wait);
            } catch (serial::ExchangeError& lost) {
                lost.message += usedUp;
                throw;
            }
            if (!refused.empty())
                throw Failure{Exit::kRefused, refused + usedUp};
            run.Show("reading back");
            const auto back =
                Ask<core::answer::SerialNumber>(*port, core::cmd::kReadSerialNumber, wait);
            if (back.modelCode != core::ModelCodeFromIndex(position) ||
                back.year != expected.year || back.month != expected.month ||
                back.number != expected.number)
                throw Failure{Exit::kRefused, port->Name() + ": wrote " + given + ", read back " +
                                                  back.year + "-" + back.month + " " + back.number +
                                                  " (model code " + back.modelCode + ")"};
            run.text << line << "\n";
        });
    });
}

} // namespace cli
