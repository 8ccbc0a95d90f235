// Who holds a serial device open, for the message of a busy port.
#pragma once

#include <string>

namespace serial {

// "pid 4242 (minicom)": the process that holds a lock on `device`, else the first other one
// with it among its open files; empty when /proc does not tell (another user's processes).
std::string PortHolder(const std::string& device);

} // namespace serial
