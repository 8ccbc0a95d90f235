#include "profile.h"

#include "profile_text.h"
#include "replace_file.h"

#include <fstream>
#include <string_view>
#include <utility>

// Header-only use of SimpleIni: its implementation is compiled here, in this one unit, and the
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
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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
// "A" variant), the first of repeated keys wins (multi-key, whose lookup finds the first),
// "key=value" without spaces, and values quoted when they start or end with blanks.
void Configure(CSimpleIniA& ini) {
    ini.SetMultiKey(true);
    ini.SetSpaces(false);
    ini.SetQuotes(true);
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A line SimpleIni keeps when it rewrites the file: a section header with a name and nothing
// after it, or a key=value line with a key. Comments and blank lines are checked by the caller.
bool IsSectionOrKeyLine(std::string_view line) {
    if (line.front() == '[') {
        const auto close = line.find(']');
        return close != std::string_view::npos && !TrimBlanks(line.substr(1, close - 1)).empty() &&
               TrimBlanks(line.substr(close + 1)).empty();
    }
    const auto equals = line.find('=');
    return equals != std::string_view::npos && equals > 0;
}

// Where the last section or key line ends, and whether a rewrite would keep every line.
// SimpleIni drops the comments after the last entry; those are carried over by hand.
struct Layout {
    bool rewritable = true;
    std::size_t bodyEnd = 0;
};

Layout ScanLines(std::string_view text) {
    Layout layout;
    if (text.find('\0') != std::string_view::npos) {
        layout.rewritable = false;
        return layout;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        // CR, LF and CR LF all end a line, as they do for SimpleIni.
        std::size_t next = text.find_first_of("\r\n", start);
        next = next == std::string_view::npos ? text.size() : next + 1;
        if (next < text.size() && text[next - 1] == '\r' && text[next] == '\n') {
            ++next;
        }
        const std::string_view line = TrimBlanks(text.substr(start, next - start));
        if (!line.empty() && line.front() != ';' && line.front() != '#') {
            layout.bodyEnd = next;
            layout.rewritable = layout.rewritable && IsSectionOrKeyLine(line);
        }
        start = next;
    }
    return layout;
}

bool FitsOnOneLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string WithCrLf(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

// The file's text with one key set, or nothing when the file cannot be rewritten safely.
std::optional<std::string> WithValue(std::string_view text, const std::string& section,
                                     const std::string& key, const std::string& value) {
    const bool bom = text.starts_with(kUtf8Bom);
    if (bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    const Layout layout = ScanLines(text);
    if (!layout.rewritable) {
        return std::nullopt;
    }
    CSimpleIniA ini;
    Configure(ini);
    const std::string body(text.substr(0, layout.bodyEnd));
    if (ini.LoadData(body) < 0 ||
        ini.SetValue(section.c_str(), key.c_str(), value.c_str(), nullptr, true) < 0) {
        return std::nullopt;
    }
    std::string saved;
    if (ini.Save(saved, false) < 0) {
        return std::nullopt;
    }
    if (text.find("\r\n") != std::string_view::npos) {
        saved = WithCrLf(saved);
    }
    std::string result(bom ? kUtf8Bom : std::string_view());
    const std::string_view tail = text.substr(layout.bodyEnd);
    if (TrimBlanks(tail).empty()) {
        return result + saved;
    }
    if (layout.bodyEnd > 0) {
        return result + saved + std::string(tail);
    }
    // Only comments so far: they stay at the top, the new section follows them.
    const bool ended = tail.back() == '\n' || tail.back() == '\r';
    return result + std::string(tail) + (ended ? "" : "\n") + saved;
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

bool Profile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) const {
    if (!FitsOnOneLine(section) || !FitsOnOneLine(key) || !FitsOnOneLine(value)) {
        return false;
    }
    const FileText file = ReadFileText(m_file);
    if (file.state == FileState::Unusable) {
        return false;
    }
    const auto text = WithValue(file.text, section, key, value);
    return text && ReplaceFileContents(m_file, *text);
}

bool Profile::WriteInteger(const std::string& section, const std::string& key, int value) const {
    return WriteString(section, key, std::to_string(value));
}

bool Profile::WriteBool(const std::string& section, const std::string& key, bool value) const {
    return WriteString(section, key, value ? "1" : "0");
}

} // namespace config
