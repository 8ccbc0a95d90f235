#include "commands.h"

#include "port_runs.h"
#include "serial/module_profile_io.h"

namespace cli {

Exit ReadCommand(const Arguments& arguments) {
    return RunOnPorts(arguments, {"read"}, [&](PortRun& run) {
        const auto port = OpenPort(arguments, run.Port());
        const Module module = FindModule(*port, arguments, run.Shown());
        run.Show("reading");
        const config::ModuleProfile profile = ReadProfile(*port, module, AnswerWait(arguments));
        run.json["line"] = LineJson(port->Baud(), port->Parity());
        run.json["module"] = ModuleJson(profile);
        run.json["settings"] = SettingsJson(profile.settings);
        run.text << config::ModuleProfileText(profile);
    });
}

} // namespace cli
