#include "commands.h"

#include "config/config_file.h"
#include "serial/port_devices.h"
#include "serial/ports.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace cli {

Exit PortsCommand(const Arguments&) {
    const auto config = config::ConfigPath(std::filesystem::current_path());
    const auto mapped = config::LoadPortMap(config);
    const auto devices = DevicesOfPorts(config);
    const auto details = serial::SystemDeviceDetails();
    bool any = false;
    for (int port = 1; port <= serial::kPortCount; ++port) {
        const std::string& device = devices[static_cast<std::size_t>(port - 1)];
        if (device.empty())
            continue;
        any = true;
        std::cout << serial::PortName(port) << "\t" << device;
        const auto detail = std::ranges::find_if(details, [&](const serial::DeviceDetails& d) {
            return d.path == device || d.byId == device;
        });
        if (detail != details.end()) {
            if (!detail->byId.empty() && detail->byId != device)
                std::cout << "\t" << detail->byId;
            if (!detail->usb.empty())
                std::cout << "\t" << detail->usb;
        }
        if (mapped.contains(port)) {
            // a name the operator wrote, perhaps for an adapter not plugged in
            std::error_code error;
            if (!std::filesystem::exists(device, error))
                std::cout << "\tno such device";
            std::cout << "\t[Ports] of " << config.string();
        }
        std::cout << "\n";
    }
    if (!any)
        std::cout << "no serial ports; name one as COM1=/dev/... in section [Ports] of "
                  << config.string() << "\n";
    return Exit::kDone;
}

} // namespace cli
