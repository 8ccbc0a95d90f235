// One function per command; each returns the exit code or throws Failure.
#pragma once

#include "arguments.h"
#include "failure.h"
#include "module.h"

#include <memory>

namespace cli {

Exit PortsCommand(const Arguments& arguments);
Exit SearchCommand(const Arguments& arguments);
Exit ReadCommand(const Arguments& arguments);
Exit WriteCommand(const Arguments& arguments); // write and diff
Exit SerialNumberCommand(const Arguments& arguments);

// The device a port name stands for: a COM name as the window resolves it (section [Ports] of
// Config.ini in the current directory, then the system's serial devices), or a device path.
std::string DeviceOf(const std::string& name);

// The port `name` opened, at the device DeviceOf gives.
std::unique_ptr<ModulePort> OpenPort(const Arguments& arguments, const std::string& name);

// The help text of a command, or the general one for an empty name.
const char* HelpText(const std::string& command);

} // namespace cli
