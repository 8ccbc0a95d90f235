#include "commands.h"

#include "core/models.h"
#include "core/setting_values.h"
#include "module.h"

#include <iostream>

namespace cli {

Exit SearchCommand(const Arguments& arguments) {
    const auto port = OpenPort(arguments);
    const Module module = FindModule(*port, arguments);
    const auto& id = module.identity;
    std::cout << "port: " << port->Name() << "\n"
              << "line: " << port->Baud() << " "
              << core::SettingValueText(core::Setting::kParity, port->Parity()) << "\n";
    if (module.step != 0)
        std::cout << "found at try " << module.step << " of " << module.tries << "\n";
    std::cout << "family: " << core::FamilyText(id.family, 1) << "\n"
              << "firmware:" << core::FirmwareVersionText(id.version) << "\n"
              << "base frequency: " << core::BaseFrequencyText(id.baseFrequencyCode) << "\n"
              << "model: " << core::ModelName(module.modelPosition, 1) << "\n"
              << "serial number: " << module.serialNumber.year << "-" << module.serialNumber.month
              << " " << module.serialNumber.number << "\n";
    return Exit::kDone;
}

} // namespace cli
