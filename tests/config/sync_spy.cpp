#include "sync_spy.h"

#include <cerrno>
#include <climits>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::vector<std::string> g_synced;
int g_goodSyncs = -1;

} // namespace

void sync_spy::Reset(int goodSyncs) {
    g_synced.clear();
    g_goodSyncs = goodSyncs;
}

std::vector<std::string> sync_spy::Synced() {
    return g_synced;
}

// Defined in the test program, this takes the place of the C library's fsync for the code under
// test, which is linked in statically.
extern "C" int fsync(int fd) {
    char path[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), path, sizeof path);
    g_synced.emplace_back(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (g_goodSyncs >= 0 && g_synced.size() > static_cast<std::size_t>(g_goodSyncs)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}
