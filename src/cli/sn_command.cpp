#include "commands.h"

#include "core/models.h"
#include "core/serial_number.h"
#include "core/setting_values.h"
#include "module.h"
#include "module_records.h"
#include "port_runs.h"
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

    if (arguments.dryRun) {
        // each port would take the next number after the one before
        const int first = TakeSerialNumber(arguments.counter, true);
        return RunOnPorts(arguments, {"numbered"}, [&](PortRun& run) {
            const auto sn =
                core::EncodeSerialNumber(position, arguments.year, arguments.month,
                                         std::to_string(first + static_cast<int>(run.Index())));
            run.json["module"] = SerialNumberJson(model, sn.payload);
            run.json["dry_run"] = true;
            run.text << "would write " << Shown(model, sn.payload) << " (800A payload "
                     << sn.payload << ")\n";
        });
    }

    // the records and the counter are checked, then the modules found, so a missing one costs
    // no number
    OpenRecords(arguments.records);
    TakeSerialNumber(arguments.counter, true);
    return RunOnPorts(arguments, {"numbered"}, [&](PortRun& run) {
        const auto port = OpenPort(arguments, run.Port());
        const Module module = FindModule(*port, arguments, run.Shown());
        // a connection of the port's own, opened before its number is taken: its thread is the
        // only one that uses it
        const auto store = OpenRecords(arguments.records);
        // the modules are found at once, the numbers taken in the order of the ports
        int number = 0;
        run.Show("waiting for the counter");
        run.InTurn([&] { number = TakeSerialNumber(arguments.counter, false); });
        const auto sn = core::EncodeSerialNumber(position, arguments.year, arguments.month,
                                                 std::to_string(number));
        const auto wait = AnswerWait(arguments);
        const std::string given = Shown(model, sn.payload);
        run.json["module"] = SerialNumberJson(model, sn.payload);
        run.json["number"] = number;
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
            run.text << given << "\n";
        });
    });
}

} // namespace cli
