// Which device file a port number opens: section [Ports] of Config.ini first, then the serial
// devices the system reports. Read at each open, so an edited file counts without a restart.
#pragma once

#include <filesystem>
#include <string>

std::string DeviceOfPort(const std::filesystem::path& configFile, int port);
