// An exclusive lock on a file, held from construction to destruction. The system drops it when
// the process dies, so a killed bench never blocks the others.
#pragma once

#include <filesystem>

namespace cli {

class FileLock {
public:
    // Creates `file` when missing and waits for its lock. Throws std::runtime_error saying what
    // failed.
    explicit FileLock(const std::filesystem::path& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
#ifdef _WIN32
    void* m_handle;
#else
    int m_fd;
#endif
};

} // namespace cli
