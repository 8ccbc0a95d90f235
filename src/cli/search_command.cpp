#include "commands.h"

#include "core/models.h"
#include "core/setting_values.h"
#include "module.h"
#include "port_runs.h"
#include "serial/module_profile_io.h"

#include <iostream>

namespace cli {

Exit SearchCommand(const Arguments& arguments) {
    return RunOnPorts(arguments, {"found"}, [&](PortRun& run) {
        const auto port = OpenPort(arguments, run.Port());
        const Module module = FindModule(*port, arguments, run.Shown());
        const auto& id = module.identity;
        run.json["line"] = LineJson(port->Baud(), port->Parity());
        run.json["step"] = module.step != 0 ? Json(module.step) : Json(nullptr);
        run.json["module"] = ModuleJson(serial::IdentityProfile(module));
        run.text << "port: " << port->Name() << "\n"
                 << "line: " << port->Baud() << " "
                 << core::SettingValueText(core::Setting::kParity, port->Parity()) << "\n";
        if (module.step != 0)
            run.text << "found at try " << module.step << " of " << module.tries << "\n";
        run.text << "family: " << core::FamilyText(id.family, 1) << "\n"
                 << "firmware:" << core::FirmwareVersionText(id.version) << "\n"
                 << "base frequency: " << core::BaseFrequencyText(id.baseFrequencyCode) << "\n"
                 << "model: " << core::ModelName(module.modelPosition, 1) << "\n"
                 << "serial number: " << module.serialNumber.year << "-"
                 << module.serialNumber.month << " " << module.serialNumber.number << "\n";
    });
}

} // namespace cli
