#include "port_devices.h"

#include "config/config_file.h"
#include "serial/ports.h"

namespace {

serial::PortOverrides Overrides(const std::filesystem::path& configFile) {
    serial::PortOverrides overrides;
    for (const auto& [number, device] : config::LoadPortMap(configFile))
        overrides[serial::PortName(number)] = device;
    return overrides;
}

} // namespace

std::string DeviceOfPort(const std::filesystem::path& configFile, int port) {
    const std::string device =
        serial::DeviceForPort(port, Overrides(configFile), serial::SystemSerialDevices());
    return device.empty() ? serial::UnlistedDevice(port) : device;
}

std::array<std::string, serial::kPortCount>
DevicesOfPorts(const std::filesystem::path& configFile) {
    return serial::PortDevices(Overrides(configFile), serial::SystemSerialDevices());
}
