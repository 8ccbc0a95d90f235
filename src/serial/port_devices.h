// Which device file a port number opens: section [Ports] of Config.ini first, then the serial
// devices the system reports. Read at each open, so an edited file counts without a restart.
#pragma once

#include "serial/sio.h"

#include <array>
#include <filesystem>
#include <string>

std::string DeviceOfPort(const std::filesystem::path& configFile, int port);
// The devices of COM1 to COM36 in turn (empty where a port has none), for showing them.
std::array<std::string, serial::kPortCount> DevicesOfPorts(const std::filesystem::path& configFile);
