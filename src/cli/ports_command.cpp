#include "commands.h"

#include "config/config_file.h"
#include "json_values.h"
#include "port_runs.h"
#include "serial/net_device.h"
#include "serial/port_devices.h"
#include "serial/ports.h"
#include "serial/serial_permission_check.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace cli {

Exit PortsCommand(const Arguments& arguments) {
    // The list is read afresh at each run, so adapters plugged since anything started count.
    if (const std::string problem = serial::SerialPermissionProblem(); !problem.empty())
        std::cerr << "qxcli: " << problem << "\n";
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
        const auto detail = std::ranges::find_if(details, [&](const serial::DeviceDetails& d) {
            return d.path == device || d.byId == device;
        });
        const bool known = detail != details.end();
        const std::string byId = known && detail->byId != device ? detail->byId : "";
        const std::string usb = known ? detail->usb : "";
        // a name the operator wrote, perhaps for an adapter not plugged in; a network port is
        // not asked for here, as its server may be slow to answer
        const auto net = serial::ParseNetDevice(device);
        const std::string network = !net ? "" : net->rfc2217 ? "rfc2217" : "socket";
        std::error_code error;
        // the system lists it, or its file is there (a COM name is no file)
        const bool present = net || known || std::filesystem::exists(device, error);
        const std::string mappedIn = mapped.contains(port) ? config.string() : "";
        if (arguments.json) {
            Json json = Json::object();
            json["port"] = serial::PortName(port);
            json["device"] = device;
            PutValue(json, "by_id", byId);
            PutValue(json, "usb", usb);
            PutValue(json, "network", network);
            if (!net)
                json["present"] = present;
            PutValue(json, "config", mappedIn);
            std::cout << json.dump() << "\n";
            continue;
        }
        std::cout << serial::PortName(port) << "\t" << device;
        for (const std::string& part :
             {byId, usb, network.empty() ? network : "network (" + network + ")"})
            if (!part.empty())
                std::cout << "\t" << part;
        if (!mappedIn.empty())
            std::cout << (present ? "" : "\tno such device") << "\t[Ports] of " << mappedIn;
        std::cout << "\n";
    }
    if (!any && !arguments.json)
        std::cout << NoSerialPorts(config) << "\n";
    return Exit::kDone;
}

} // namespace cli
