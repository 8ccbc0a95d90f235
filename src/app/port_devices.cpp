#include "port_devices.h"

#include "app/config/config_file.h"
#include "serial/ports.h"

std::string DeviceOfPort(const std::filesystem::path& configFile, int port) {
    serial::PortOverrides overrides;
    for (const auto& [number, device] : config::LoadPortMap(configFile))
        overrides[serial::PortName(number)] = device;
    return serial::DeviceForPort(port, overrides, serial::SystemSerialDevices());
}
