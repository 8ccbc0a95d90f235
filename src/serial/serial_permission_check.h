// Whether this user may open any of the serial devices present (/dev/ttyS*, ttyUSB*, ttyACM*).
#pragma once

#include <string>

namespace serial {

// The message with the fix when every one refuses for lack of permission; empty otherwise.
std::string SerialPermissionProblem();

} // namespace serial
