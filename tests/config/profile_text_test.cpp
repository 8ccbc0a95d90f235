#include "config/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using config::ParseProfileInteger;
using config::ValidUtf8;

TEST(ProfileInteger, ReadsTheNumberTheTextStartsWith) {
    struct Row {
        std::string text;
        std::optional<int> expected;
    };
    const Row rows[] = {
        {"42", 42},
        {" 42 ", 42},   // blanks around the value do not count
        {"\t7\r", 7},   // nor tabs or a stray CR
        {"-3", -3},     // a sign comes first
        {"+5", 5},      //
        {"12abc", 12},  // leading decimal digits, the rest ignored
        {"12.7", 12},   // no rounding
        {"007", 7},     // leading zeros are decimal, not octal
        {"0x10", 16},   // hex prefix
        {"0X1f", 31},   //
        {"-0x10", -16}, //
        {"0x", 0},      // "0" then text: no hex digit follows the prefix
        {"0xg", 0},     //
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0x7FFFFFFF", 2147483647},
        {"2147483648", std::nullopt},  // past int: default, not a wrapped value
        {"-2147483649", std::nullopt}, //
        {"99999999999999999999999", std::nullopt},
        {"0x100000000", std::nullopt},
        {"", std::nullopt},            // empty value
        {"   ", std::nullopt},         //
        {"abc", std::nullopt},         // no leading digit
        {"-", std::nullopt},           //
        {"- 3", std::nullopt},         // blank between sign and digits
        {"x10", std::nullopt},         //
        {"\xEF\xBC\x91", std::nullopt} // full-width digit one
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseProfileInteger(row.text), row.expected) << '"' << row.text << '"';
    }
}

TEST(ProfileText, ValidUtf8KeepsGoodTextAndReplacesBadBytes) {
    struct Row {
        std::string text;
        std::string expected;
    };
    const std::string bad = "\xEF\xBF\xBD";
    const Row rows[] = {
        {"COM1", "COM1"},
        {"\xE4\xB8\xAD\xE6\x96\x87", "\xE4\xB8\xAD\xE6\x96\x87"}, // "中文" in UTF-8
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                 // four-byte sequence
        {"\xD6\xD0\xCE\xC4", bad + bad + bad + bad},              // "中文" in GBK
        {"A\xB0Z", "A" + bad + "Z"},                              // ANSI degree sign
        {"\xC0\xAF", bad + bad},                                  // overlong "/"
        {"\xED\xA0\x80", bad + bad + bad},                        // UTF-16 surrogate
        {"\xF4\x90\x80\x80", bad + bad + bad + bad},              // past U+10FFFF
        {"\xE4\xB8", bad + bad},                                  // cut-off sequence
        {"\xE4\xB8"
         "A",
         bad + bad + "A"}, // interrupted sequence
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ValidUtf8(row.text), row.expected) << row.text;
    }
}
