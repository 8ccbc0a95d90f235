#include "commands.h"

#include "config/config_file.h"
#include "serial/port_devices.h"
#include "serial/ports.h"

#include <filesystem>
#include <iostream>
#include <mutex>

namespace cli {

std::string DeviceOf(const std::string& name) {
    const int number = serial::PortOfKey(name);
    if (number == 0)
        return name;
    std::string device = DeviceOfPort(config::ConfigPath(std::filesystem::current_path()), number);
    if (device.empty())
        throw Failure{Exit::kPort, name + " stands for no device here: name one as " + name +
                                       "=/dev/... in section [Ports] of Config.ini, or give "
                                       "the device path (qxcli ports lists them)"};
    return device;
}

std::unique_ptr<ModulePort> OpenPort(const Arguments& arguments, const std::string& name) {
    const std::string device = DeviceOf(name);
    serial::TraceSink trace;
    if (arguments.trace)
        trace = [](const std::string& line) {
            // ports on several threads: one whole line at a time
            static std::mutex mutex;
            const std::lock_guard lock(mutex);
            std::cerr << line << '\n';
        };
    auto port = std::make_unique<ModulePort>(name, device, std::move(trace), arguments.eded);
    port->SetRefusalHint(" (--trace shows its answer)");
    port->Open();
    return port;
}

} // namespace cli
