#include "profile_edit.h"

#include "profile_text.h"

#include <algorithm>
#include <optional>

namespace config {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A line's text and the break that ends it (see SplitTextLines), as the edit changes them.
struct Line {
    std::string text;
    std::string end;
};

enum class Kind { Blank, Comment, Section, Key, Foreign };

// What a line is to a reader, and the section or key it names.
struct Meaning {
    Kind kind;
    std::string_view name;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

Meaning MeaningOf(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty()) {
        return {Kind::Blank, {}};
    }
    if (line.front() == ';' || line.front() == '#') {
        return {Kind::Comment, {}};
    }
    if (line.front() == '[') {
        const auto close = line.find(']');
        if (close == std::string_view::npos || close + 1 != line.size()) {
            return {Kind::Foreign, {}};
        }
        const std::string_view name = TrimBlanks(line.substr(1, close - 1));
        return {name.empty() ? Kind::Foreign : Kind::Section, name};
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return {Kind::Foreign, {}};
    }
    return {Kind::Key, TrimBlanks(line.substr(0, equals))};
}

// The way a reader compares names: ASCII letters without regard to case, other bytes exactly.
bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// A reader takes one pair of quotes off a value and the blanks around it, so a value that starts
// or ends with either is quoted to read back as it stands.
std::string KeyLine(const ProfileValue& entry) {
    const std::string& value = entry.value;
    const bool quoted =
        !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                           (value.size() > 1 && value.front() == '"' && value.back() == '"'));
    return entry.key + '=' + (quoted ? '"' + value + '"' : value);
}

void InsertLine(std::vector<Line>& lines, std::size_t at, std::string text,
                const std::string& lineBreak) {
    if (at > 0 && lines[at - 1].end.empty()) {
        lines[at - 1].end = lineBreak;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), {std::move(text), lineBreak});
}

void SetValue(std::vector<Line>& lines, const ProfileValue& entry, const std::string& lineBreak) {
    std::string_view section;
    // Where a missing key goes: after the last key of the first section of its name.
    std::optional<std::size_t> insertAt;
    bool inFirstSection = entry.section.empty();
    if (inFirstSection) {
        insertAt = 0;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Meaning meaning = MeaningOf(lines[i].text);
        if (meaning.kind == Kind::Section) {
            section = meaning.name;
            inFirstSection = !insertAt && SameName(section, entry.section);
            if (inFirstSection) {
                insertAt = i + 1;
            }
        } else if (meaning.kind == Kind::Key && SameName(section, entry.section)) {
            if (SameName(meaning.name, entry.key)) {
                lines[i].text = KeyLine(entry);
                return;
            }
            if (inFirstSection) {
                insertAt = i + 1;
            }
        }
    }
    if (!insertAt) {
        InsertLine(lines, lines.size(), '[' + entry.section + ']', lineBreak);
        insertAt = lines.size();
    }
    InsertLine(lines, *insertAt, KeyLine(entry), lineBreak);
}

} // namespace

std::optional<std::string> WithValues(std::string_view text,
                                      const std::vector<ProfileValue>& values) {
    const bool bom = text.starts_with(kUtf8Bom);
    if (bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    if (text.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    std::vector<Line> lines;
    for (const TextLine& line : SplitTextLines(text)) {
        lines.push_back({std::string(line.text), std::string(line.end)});
    }
    if (std::ranges::any_of(
            lines, [](const Line& line) { return MeaningOf(line.text).kind == Kind::Foreign; })) {
        return std::nullopt;
    }
    const auto terminated =
        std::ranges::find_if(lines, [](const Line& l) { return !l.end.empty(); });
    const std::string lineBreak = terminated == lines.end() ? "\n" : terminated->end;
    for (const ProfileValue& entry : values) {
        SetValue(lines, entry, lineBreak);
    }
    std::string result(bom ? kUtf8Bom : std::string_view());
    for (const Line& line : lines) {
        result += line.text;
        result += line.end;
    }
    return result;
}

} // namespace config
