// An INI file read and written with the semantics of the Windows profile functions, so that
// operators can bring the Config.ini of an old install: section and key names match without
// regard to case, names with spaces and slashes are written exactly as given, a write changes
// only the lines of the keys it sets (see WithValues), CRLF and LF both read.
#pragma once

#include "profile_edit.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace config {

class Profile {
public:
    explicit Profile(std::filesystem::path file);

    // Every call opens the file, reads or rewrites it and closes it again; nothing is kept in
    // between, so a change made by hand while the tool runs is seen by the next call.
    // A missing file, section or key, and a file that cannot be read, give the fallback.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // A value that is not a number gives the fallback (see ParseProfileInteger).
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    // True for any non-zero integer; a value that is not a number gives the fallback.
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

    // Sets every value in one replace of the file, so that a failure or a kill leaves all of
    // them or none. A value that holds a line break or a zero byte is left out and makes the
    // result false; the others are still written. False, with the file left exactly as it was,
    // when the file cannot be replaced (see ReplaceFileContents) or it holds lines an edit could
    // misplace or lose (see WithValues), since those belong to someone else. A file that holds
    // the values already is not rewritten.
    bool Write(const std::vector<ProfileValue>& values) const;
    // One key at a time, in the forms of ProfileIntegerText and ProfileBoolText.
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;
    bool WriteInteger(const std::string& section, const std::string& key, int value) const;
    bool WriteBool(const std::string& section, const std::string& key, bool value) const;

private:
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;

    std::filesystem::path m_file;
};

} // namespace config
