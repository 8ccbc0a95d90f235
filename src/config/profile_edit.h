// Setting keys in the text of an INI file line by line: every other line (comments, blank
// lines, spacing, repeated sections and keys, line breaks) stays as it was, byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// One key to set and the text it is to hold, which the caller has checked fits on one line.
struct ProfileValue {
    std::string section;
    std::string key;
    std::string value;
};

// The text with the values set in turn, or nothing when it holds lines an edit could misplace
// or lose: a zero byte, or a line that is neither blank, a comment, a "[section]" header nor a
// key=value line. Keys are found the way they are read: names without regard to ASCII case,
// in every section of the name, keys before the first header in the section "", and the first
// of repeated keys. Its line becomes key=value; a key that is not there goes after the last key
// of the first section of its name, a section that is not there to the end of the text. New
// lines end with the text's first line break, LF when it has none.
std::optional<std::string> WithValues(std::string_view text,
                                      const std::vector<ProfileValue>& values);

} // namespace config
