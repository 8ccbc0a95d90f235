// How the text of an INI file is cut into lines, how a value is read as a number and handed out
// as a string, and how numbers are written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// A line of an INI text and the break that ends it: CR LF, LF, a CR alone, or nothing on the
// last line. Every reader and editor of INI text here cuts lines this way, so that what a check
// passes line by line is what is read and written.
struct TextLine {
    std::string_view text;
    std::string_view end;
};
std::vector<TextLine> SplitTextLines(std::string_view text);

// The integer an INI value starts with, or nothing when it does not start with one.
// Surrounding blanks are ignored; an optional sign comes first; "0x" or "0X" followed by hex
// digits reads hexadecimal, otherwise the leading decimal digits count and whatever follows them
// is ignored, as the Windows profile functions do ("12abc" and "12.7" read 12). Text without a
// leading digit ("abc", "", "-", "- 3") and values outside the range of int read as nothing, so
// the caller's default applies instead of a wrapped or clipped number.
std::optional<int> ParseProfileInteger(std::string_view text);

// The text with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD.
// Files carried over from old Windows installs may hold GBK or ANSI bytes; they read as
// replacement characters rather than as invalid UTF-8 that the window would have to guess at.
std::string ValidUtf8(std::string_view text);

// Integers are written in decimal, booleans as 1 and 0.
std::string ProfileIntegerText(int value);
std::string ProfileBoolText(bool value);

} // namespace config
