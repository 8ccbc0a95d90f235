#include "port_holder.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace serial {

namespace fs = std::filesystem;

namespace {

std::string Named(const std::string& pid) {
    std::string name;
    std::getline(std::ifstream("/proc/" + pid + "/comm"), name);
    return "pid " + pid + (name.empty() ? "" : " (" + name + ")");
}

// The process holding a lock on the device: /proc/locks names it by the file's device and
// inode, "1: FLOCK  ADVISORY  WRITE 4242 00:19:4 0 EOF".
std::string LockHolder(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return {};
    char file[64];
    std::snprintf(file, sizeof file, "%02x:%02x:%lu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, inode;
        fields >> number >> kind >> mode >> access >> pid >> inode;
        if (inode == file)
            return Named(pid);
    }
    return {};
}

// Without a lock: the first other process with the device among its open files.
std::string OpenHolder(const fs::path& target) {
    std::error_code ec;
    const std::string self = std::to_string(::getpid());
    for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
        const std::string pid = proc->path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(proc->path() / "fd", fdError), fdEnd;
             !fdError && fd != fdEnd; fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) == target)
                return Named(pid);
        }
    }
    return {};
}

} // namespace

std::string PortHolder(const std::string& device) {
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec)
        return {};
    const std::string locker = LockHolder(target.string());
    return locker.empty() ? OpenHolder(target) : locker;
}

} // namespace serial
