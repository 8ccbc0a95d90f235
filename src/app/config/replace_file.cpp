#include "replace_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace config {

namespace fs = std::filesystem;

namespace {

// A save takes milliseconds; a temporary this young may still be on its way to the rename.
constexpr auto kSaveInProgress = std::chrono::seconds(10);
constexpr int kNumberDigits = 8;
constexpr std::string_view kTemporaryEnd = ".tmp";

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
void SyncDirectoryOf(const fs::path& file) {
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

// Creates a file of a fresh name beside `target`; never opens one that exists already, so a
// second instance saving at the same moment cannot share it.
std::FILE* CreateTemporary(const fs::path& target, fs::path& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char number[kNumberDigits + 1];
        std::snprintf(number, sizeof number, "%0*x", kNumberDigits,
                      static_cast<unsigned>(random()));
        name = target;
        name += '.' + std::string(number) + std::string(kTemporaryEnd);
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

void RemoveLeftoverTemporaries(const fs::path& target, fs::file_time_type now) {
    const std::optional<fs::path> file = ReplacedFile(target);
    if (!file) {
        return;
    }
    std::vector<fs::path> stale;
    std::error_code error;
    for (fs::directory_iterator it(DirectoryOf(*file), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (!IsTemporaryOf(*file, it->path().filename().string()) ||
            !it->is_regular_file(entryError) || it->is_symlink(entryError)) {
            continue;
        }
        const fs::file_time_type written = it->last_write_time(entryError);
        if (!entryError && (written < now - kSaveInProgress || written > now + kSaveInProgress)) {
            stale.push_back(it->path());
        }
    }
    for (const fs::path& path : stale) {
        fs::remove(path, error);
    }
}

} // namespace config
