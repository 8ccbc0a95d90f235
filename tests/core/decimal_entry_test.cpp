#include "core/decimal_entry.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* text;
    std::uint32_t low, high;
    std::optional<std::uint32_t> expected;
};

TEST(DecimalEntry, AcceptsOnlyDigitsInsideTheRange) {
    const Case cases[] = {
        {"300", 0, 65535, 300u},           // IO target ID 012C
        {"0", 0, 65535, 0u},               // ID 0 is a valid ID
        {"65535", 0, 65535, 65535u},       // largest ID that fits four hex digits
        {"65536", 0, 65535, std::nullopt}, // one above
        {"00042", 0, 65535, 42u},          // leading zeros are still decimal
        {"0", 1, 65535, std::nullopt},     // on time starts at 1 ms
        {"65", 1, 65, 65u},                // longest sleep time in s
        {"66", 1, 65, std::nullopt},       // 66000 ms would not fit two bytes
        {"", 0, 65535, std::nullopt},      // empty field
        {"12a", 0, 65535, std::nullopt},   // a letter got in by other means
        {"-1", 0, 65535, std::nullopt},    // sign is not a digit
        // 2^64 + 1: must not wrap around into the range
        {"18446744073709551617", 0, 65535, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::DecimalInRange(c.text, c.low, c.high), c.expected) << c.text;
}

} // namespace
