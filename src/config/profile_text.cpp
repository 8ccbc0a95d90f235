#include "profile_text.h"

#include <climits>

namespace config {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// Length of the well-formed UTF-8 sequence at the start of `text`, 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t min = 0;
    char32_t code = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are not well formed.
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return (code < min || surrogate || code > 0x10FFFF) ? 0 : length;
}

} // namespace

std::vector<TextLine> SplitTextLines(std::string_view text) {
    std::vector<TextLine> lines;
    while (!text.empty()) {
        const auto cut = text.find_first_of("\r\n");
        if (cut == std::string_view::npos) {
            lines.push_back({text, {}});
            break;
        }
        const std::size_t breakSize = text.substr(cut).starts_with("\r\n") ? 2 : 1;
        lines.push_back({text.substr(0, cut), text.substr(cut, breakSize)});
        text.remove_prefix(cut + breakSize);
    }
    return lines;
}

std::optional<int> ParseProfileInteger(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
        DigitValue(text[2], 16) >= 0) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || DigitValue(text.front(), base) < 0) {
        return std::nullopt;
    }
    // Accumulated as a negative number so that INT_MIN itself is in range.
    long long value = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            break;
        }
        value = value * base - digit;
        if (value < static_cast<long long>(INT_MIN)) {
            return std::nullopt;
        }
    }
    if (!negative) {
        value = -value;
        if (value > INT_MAX) {
            return std::nullopt;
        }
    }
    return static_cast<int>(value);
}

std::string ProfileIntegerText(int value) {
    return std::to_string(value);
}

std::string ProfileBoolText(bool value) {
    return value ? "1" : "0";
}

std::string ValidUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            result += "\xEF\xBF\xBD";
            text.remove_prefix(1);
        } else {
            result.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return result;
}

} // namespace config
