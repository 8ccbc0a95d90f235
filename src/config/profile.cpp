#include "profile.h"

#include "profile_edit.h"
#include "profile_text.h"
#include "replace_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

// Header-only use of SimpleIni: its implementation is compiled in the units that use it, and the
// wide-character variant (which would need a conversion library) is left out.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace config {

namespace fs = std::filesystem;

namespace {

// A Config.ini is a few hundred bytes; anything past this is not one and is neither read nor
// rewritten.
constexpr std::uintmax_t kMaxFileBytes = 1 << 20;

enum class FileState { Missing, Text, Unusable };

struct FileText {
    FileState state = FileState::Missing;
    std::string text;
};

FileText ReadFileText(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) {
        return {FileState::Missing, {}};
    }
    const std::uintmax_t size = fs::file_size(file, error);
    if (!fs::is_regular_file(status) || error || size > kMaxFileBytes) {
        return {FileState::Unusable, {}};
    }
    std::ifstream stream(file, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!stream && !stream.eof()) {
        return {FileState::Unusable, {}};
    }
    text.resize(static_cast<std::size_t>(stream.gcount()));
    return {FileState::Text, std::move(text)};
}

// Windows INI conventions on top of SimpleIni's defaults: names without regard to case (the
// "A" variant), the first of repeated keys wins (multi-key, whose lookup finds the first) and
// values lose one pair of quotes around them.
void Configure(CSimpleIniA& ini) {
    ini.SetMultiKey(true);
    ini.SetQuotes(true);
}

bool FitsOnOneLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

} // namespace

Profile::Profile(fs::path file) : m_file(std::move(file)) {}

std::optional<std::string> Profile::Value(const std::string& section,
                                          const std::string& key) const {
    const FileText file = ReadFileText(m_file);
    if (file.state != FileState::Text) {
        return std::nullopt;
    }
    CSimpleIniA ini;
    Configure(ini);
    if (ini.LoadData(file.text) < 0) {
        return std::nullopt;
    }
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::string Profile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    const auto value = Value(section, key);
    return value ? ValidUtf8(*value) : fallback;
}

int Profile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
    const auto value = Value(section, key);
    const auto number = value ? ParseProfileInteger(*value) : std::nullopt;
    return number.value_or(fallback);
}

bool Profile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool Profile::Write(const std::vector<ProfileValue>& values) const {
    std::vector<ProfileValue> writable;
    std::ranges::copy_if(values, std::back_inserter(writable), [](const ProfileValue& v) {
        return FitsOnOneLine(v.section) && FitsOnOneLine(v.key) && FitsOnOneLine(v.value);
    });
    const FileText file = ReadFileText(m_file);
    if (file.state == FileState::Unusable) {
        return false;
    }
    const auto text = WithValues(file.text, writable);
    const bool written = text && (*text == file.text || ReplaceFileContents(m_file, *text));
    return written && writable.size() == values.size();
}

bool Profile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) const {
    return Write({{section, key, value}});
}

bool Profile::WriteInteger(const std::string& section, const std::string& key, int value) const {
    return WriteString(section, key, ProfileIntegerText(value));
}

bool Profile::WriteBool(const std::string& section, const std::string& key, bool value) const {
    return WriteString(section, key, ProfileBoolText(value));
}

} // namespace config
