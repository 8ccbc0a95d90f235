// Whether the user may open any serial device at all, and the fix when not.
#pragma once

#include <string>
#include <vector>

namespace core {

// A serial device present, as its permission check found it.
struct DeviceAccess {
    std::string path;
    bool refused = false;     // no read and write permission (EACCES)
    std::string group;        // the group that owns it, by name (its number where it has none)
    bool groupMayOpen = true; // its group may read and write it
};

// The message when every device in `devices` refuses for lack of permission and the user is
// in none of the groups owning them, which may open them (`userGroups`: the groups the process runs
// with), naming the fix with those groups; empty otherwise, also when there is no device at all.
std::string SerialPermissionProblem(const std::vector<DeviceAccess>& devices,
                                    const std::vector<std::string>& userGroups);

} // namespace core
