#include "replace_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace config {

namespace fs = std::filesystem;

namespace {

constexpr int kNumberDigits = 8;
constexpr std::string_view kTemporaryEnd = ".tmp";

constexpr auto kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// Paths are wide on Windows; the C library opens them with its wide call there.
std::FILE* OpenFile(const fs::path& file, const char* mode) {
#ifdef _WIN32
    const std::string narrow(mode);
    return _wfopen(file.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
#else
    return std::fopen(file.c_str(), mode);
#endif
}

// A new file, never one that exists already, open for writing.
std::FILE* CreateNewFile(const fs::path& file) {
#ifdef _WIN32
    // The Windows C runtime knows no "x" mode; the same is asked of its open.
    const int fd =
        _wopen(file.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    return fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
    return std::fopen(file.c_str(), "wbx");
#endif
}

// An existing file without any write permission is read-only, as the Windows attribute makes
// it, even for a user whom the system would let write anyway. Where some write bit is set the
// system decides: a file this user may not write is not replaced behind its owner's back.
bool MayReplace(const fs::path& file, fs::perms permissions) {
    if ((permissions & kAnyWrite) == fs::perms::none) {
        return false;
    }
    std::FILE* probe = OpenFile(file, "r+b");
    if (probe == nullptr) {
        return false;
    }
    std::fclose(probe);
    return true;
}

bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// The file a replace writes: the one a symbolic link names, or the target itself.
std::optional<fs::path> ReplacedFile(const fs::path& target) {
    std::error_code error;
    if (!fs::is_symlink(target, error)) {
        return target;
    }
    fs::path file = fs::canonical(target, error);
    if (error) {
        return std::nullopt;
    }
    return file;
}

fs::path DirectoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// A rename is on the disk only once the directory that records it is. Windows has no sync of a
// directory, so nothing is done there. A directory that cannot be synced (some file systems
// refuse) does not fail the replace: the file is replaced either way.
void SyncDirectoryOf([[maybe_unused]] const fs::path& file) {
#ifndef _WIN32
    const int directory = open(DirectoryOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
#endif
}

bool IsTemporaryOf(const fs::path& file, const std::string& name) {
    const std::string prefix = file.filename().string() + '.';
    if (name.size() != prefix.size() + kNumberDigits + kTemporaryEnd.size() ||
        !name.starts_with(prefix) || !name.ends_with(kTemporaryEnd)) {
        return false;
    }
    const std::string_view number(name.data() + prefix.size(), kNumberDigits);
    return std::ranges::all_of(
        number, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// A save locks its temporary from its creation to the rename, so that a start in between takes it
// for a save in progress, not a leftover; the lock of a killed save ends with its process. On
// Windows an open file cannot be removed, which keeps a save's temporary just as well.
class SaveLock {
public:
    SaveLock() = default;
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    ~SaveLock() { Release(); }

    // Locks the file `stream` has just opened as `name`, letting go of any file locked before.
    // False when someone else holds it, or a start has taken it for a leftover meanwhile, so it
    // is no longer the one of that name.
    bool Take(std::FILE* stream, const fs::path& name) {
        Release();
#ifndef _WIN32
        // A descriptor of its own keeps the lock past the stream's close.
        m_fd = fcntl(fileno(stream), F_DUPFD_CLOEXEC, 0);
        struct stat held {};
        struct stat named {};
        return m_fd >= 0 && flock(m_fd, LOCK_EX | LOCK_NB) == 0 && fstat(m_fd, &held) == 0 &&
               stat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
               held.st_ino == named.st_ino;
#else
        (void)stream;
        (void)name;
        return true;
#endif
    }

private:
    void Release() {
#ifndef _WIN32
        if (m_fd >= 0) {
            close(m_fd);
        }
#endif
        m_fd = -1;
    }

    int m_fd = -1;
};

// Whether no save holds the temporary `name`; while it answers true, none can take it either.
bool Abandoned(const fs::path& name, SaveLock& lock) {
#ifndef _WIN32
    std::FILE* probe = OpenFile(name, "rbe");
    if (probe == nullptr) {
        return false;
    }
    const bool taken = lock.Take(probe, name);
    std::fclose(probe);
    return taken;
#else
    (void)name;
    (void)lock;
    return true;
#endif
}

// Creates a file of a fresh name beside `target` and locks it; never opens one that exists
// already, so a second instance saving at the same moment cannot share it.
std::FILE* CreateTemporary(const fs::path& target, fs::path& name, SaveLock& lock) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char number[kNumberDigits + 1];
        std::snprintf(number, sizeof number, "%0*x", kNumberDigits,
                      static_cast<unsigned>(random()));
        name = target;
        name += '.' + std::string(number) + std::string(kTemporaryEnd);
        std::FILE* file = CreateNewFile(name);
        if (file != nullptr && lock.Take(file, name)) {
            return file;
        }
        if (file != nullptr) {
            std::fclose(file);
            continue;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

bool WriteAndClose(std::FILE* file, std::string_view contents) {
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const bool flushed = written && std::fflush(file) == 0 && SyncToDisk(file);
    const bool closed = std::fclose(file) == 0;
    return flushed && closed;
}

} // namespace

bool ReplaceFileContents(const fs::path& target, std::string_view contents) {
    const std::optional<fs::path> replaced = ReplacedFile(target);
    if (!replaced) {
        return false;
    }
    const fs::path& file = *replaced;
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    const bool exists = fs::exists(status);
    if (exists && (!fs::is_regular_file(status) || !MayReplace(file, status.permissions()))) {
        return false;
    }
    fs::path temporary;
    SaveLock lock;
    std::FILE* stream = CreateTemporary(file, temporary, lock);
    if (stream == nullptr) {
        return false;
    }
    bool ok = WriteAndClose(stream, contents);
    if (ok && exists) {
        fs::permissions(temporary, status.permissions(), error);
        ok = !error;
    }
    if (ok) {
        fs::rename(temporary, file, error);
        ok = !error;
    }
    if (ok) {
        SyncDirectoryOf(file);
    } else {
        fs::remove(temporary, error);
    }
    return ok;
}

void RemoveLeftoverTemporaries(const fs::path& target) {
    const std::optional<fs::path> file = ReplacedFile(target);
    if (!file) {
        return;
    }
    std::vector<fs::path> named;
    std::error_code error;
    for (fs::directory_iterator it(DirectoryOf(*file), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (IsTemporaryOf(*file, it->path().filename().string()) &&
            it->is_regular_file(entryError) && !it->is_symlink(entryError)) {
            named.push_back(it->path());
        }
    }
    for (const fs::path& path : named) {
        SaveLock lock;
        if (Abandoned(path, lock)) {
            fs::remove(path, error);
        }
    }
}

} // namespace config
