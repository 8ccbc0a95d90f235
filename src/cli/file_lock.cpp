#include "file_lock.h"

#include <stdexcept>
#include <string>

#ifdef _WIN32
#include "serial/win32_sio.h"

#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace cli {

#ifdef _WIN32

FileLock::FileLock(const std::filesystem::path& file) {
    m_handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open the lock file: " +
                                 serial::SystemErrorText(GetLastError()));
    OVERLAPPED whole{};
    if (LockFileEx(m_handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) == 0) {
        const std::string reason = serial::SystemErrorText(GetLastError());
        CloseHandle(m_handle);
        throw std::runtime_error("cannot lock: " + reason);
    }
}

FileLock::~FileLock() {
    CloseHandle(m_handle);
}

#else

FileLock::FileLock(const std::filesystem::path& file) {
    m_fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        throw std::runtime_error(std::string("cannot open the lock file: ") + std::strerror(errno));
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const std::string reason = std::strerror(errno);
            ::close(m_fd);
            throw std::runtime_error("cannot lock: " + reason);
        }
    }
}

FileLock::~FileLock() {
    ::close(m_fd);
}

#endif

} // namespace cli
