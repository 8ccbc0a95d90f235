#include "serial_permission_check.h"

#include "core/serial_permission.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace serial {

namespace {

std::string GroupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry != nullptr ? entry->gr_name : std::to_string(gid);
}

std::vector<std::string> ProcessGroups() {
    std::vector<gid_t> ids(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(ids.size()), ids.data());
    ids.resize(static_cast<std::size_t>(std::max(count, 0)));
    ids.push_back(::getegid());
    std::vector<std::string> names;
    for (const gid_t id : ids)
        names.push_back(GroupName(id));
    return names;
}

} // namespace

std::string SerialPermissionProblem() {
    namespace fs = std::filesystem;
    std::vector<core::DeviceAccess> devices;
    std::error_code error;
    for (fs::directory_iterator it("/dev", error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool serialName =
            name.starts_with("ttyS") || name.starts_with("ttyUSB") || name.starts_with("ttyACM");
        struct stat info {};
        if (!serialName || ::stat(it->path().c_str(), &info) != 0)
            continue;
        // access() asks the permission without opening: an open raises the modem lines of a
        // device a module may sit behind.
        const bool refused = ::access(it->path().c_str(), R_OK | W_OK) != 0 && errno == EACCES;
        devices.push_back({it->path().string(), refused, GroupName(info.st_gid),
                           (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP)});
    }
    // Adapters first, as the port list numbers them: the one to name when there are many.
    std::ranges::sort(devices, [](const core::DeviceAccess& a, const core::DeviceAccess& b) {
        const bool aBuiltIn = a.path.starts_with("/dev/ttyS");
        const bool bBuiltIn = b.path.starts_with("/dev/ttyS");
        return aBuiltIn != bBuiltIn ? bBuiltIn : a.path < b.path;
    });
    return core::SerialPermissionProblem(devices, ProcessGroups());
}

} // namespace serial
