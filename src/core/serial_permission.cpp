#include "serial_permission.h"

#include <algorithm>

namespace core {

std::string SerialPermissionProblem(const std::vector<DeviceAccess>& devices,
                                    const std::vector<std::string>& userGroups) {
    if (devices.empty())
        return {};
    std::vector<std::string> groups;
    for (const DeviceAccess& device : devices) {
        // One device the user may open, or one the user is refused for another reason than
        // its group, and adding a group is not the fix.
        if (!device.refused || !device.groupMayOpen ||
            std::ranges::find(userGroups, device.group) != userGroups.end())
            return {};
        if (std::ranges::find(groups, device.group) == groups.end())
            groups.push_back(device.group);
    }
    std::string names;
    for (const std::string& group : groups)
        names += (names.empty() ? "" : ",") + group;
    const std::string more =
        devices.size() > 1 ? " and " + std::to_string(devices.size() - 1) + " more" : "";
    return "No serial device may be opened for lack of permission (" + devices.front().path + more +
           "; group " + names + ", which this user is not in). Fix: sudo usermod -aG " + names +
           " $USER, then log in again.";
}

} // namespace core
