#include "replace_file.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace config {

namespace fs = std::filesystem;

namespace {

constexpr auto kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// An existing file without any write permission is read-only, as the Windows attribute makes
// it, even for a user whom the system would let write anyway. Where some write bit is set the
// system decides: a file this user may not write is not replaced behind its owner's back.
bool MayReplace(const fs::path& file, fs::perms permissions) {
    if ((permissions & kAnyWrite) == fs::perms::none) {
        return false;
    }
    std::FILE* probe = std::fopen(file.c_str(), "r+b");
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

// A rename is on the disk only once the directory that records it is. Windows has no sync of a
// directory, so nothing is done there. A directory that cannot be synced (some file systems
// refuse) does not fail the replace: the file is replaced either way.
void SyncDirectoryOf(const fs::path& file) {
#ifndef _WIN32
    const fs::path parent = file.parent_path();
    const int directory =
        open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
#endif
}

// Creates a file of a fresh name beside `target`; never opens one that exists already, so a
// second instance saving at the same moment cannot share it.
std::FILE* CreateTemporary(const fs::path& target, fs::path& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        name = target;
        name += suffix;
        if (std::FILE* file = std::fopen(name.c_str(), "wbx")) {
            return file;
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
    std::error_code error;
    fs::path file = target;
    if (fs::is_symlink(target, error)) {
        file = fs::canonical(target, error);
        if (error) {
            return false;
        }
    }
    const fs::file_status status = fs::status(file, error);
    const bool exists = fs::exists(status);
    if (exists && (!fs::is_regular_file(status) || !MayReplace(file, status.permissions()))) {
        return false;
    }
    fs::path temporary;
    std::FILE* stream = CreateTemporary(file, temporary);
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

} // namespace config
