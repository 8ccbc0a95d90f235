#include "core/serial_number.h"

#include <gtest/gtest.h>

using namespace core;

TEST(SerialNumber, Encode) {
    struct Row {
        int position;
        const char* year;
        const char* month;
        const char* number;
        const char* payload;
    };
    const Row rows[] = {
        {18, "2012", "05", "258", "110C050102"},   // QX230A (11), 12, 5, 0x0102
        {18, "2012", "5", "00258", "110C050102"},  // one-digit month, padded number
        {17, "2099", "12", "65534", "45630CFFFE"}, // QX885, 99, 12, highest number FFFE
        {0, "2000", "01", "0", "2100010000"},      // lowest values
        {35, "2024", "10", "00001", "65180A0001"},
    };
    for (const Row& r : rows) {
        const auto got = EncodeSerialNumber(r.position, r.year, r.month, r.number);
        EXPECT_EQ(got.error, SerialNumberError::kNone) << r.payload;
        EXPECT_EQ(got.payload, r.payload);
    }
}

TEST(SerialNumber, RefusedInCheckOrder) {
    using enum SerialNumberError;
    struct Row {
        int position;
        const char* year;
        const char* month;
        const char* number;
        SerialNumberError error;
    };
    const Row rows[] = {
        {-1, "", "", "", kYearEmpty}, // the empty year is reported first
        {-1, "2012", "", "", kMonthEmpty},
        {-1, "2012", "05", "", kNumberEmpty},
        {-1, "2012", "05", "65535", kNumberOutOfRange},
        {-1, "2012", "05", "999999999999999999999", kNumberOutOfRange},
        {-1, "2012", "05", "12a", kNumberOutOfRange},
        {-1, "2100", "05", "1", kYearInvalid}, // would read back as 2000
        {-1, "1999", "05", "1", kYearInvalid},
        {-1, "12", "05", "1", kYearInvalid},
        {-1, "20a2", "05", "1", kYearInvalid},
        {-1, "02012", "05", "1", kYearInvalid},
        {-1, "2012", "13", "1", kMonthInvalid},
        {-1, "2012", "0", "1", kMonthInvalid},
        {-1, "2012", "005", "1", kMonthInvalid},
        {-1, "2012", "x", "1", kMonthInvalid},
        {-1, "2012", "05", "1", kNoModel}, // the model is checked last
        {36, "2012", "05", "1", kNoModel},
    };
    for (const Row& r : rows) {
        const auto got = EncodeSerialNumber(r.position, r.year, r.month, r.number);
        EXPECT_EQ(got.error, r.error) << r.year << "/" << r.month << "/" << r.number;
        EXPECT_EQ(got.payload, "");
    }
}

TEST(SerialNumber, Decode) {
    // 45 = QX885, year 0x0C, month 0x05, number 0x0102
    const auto sn = DecodeSerialNumber("450C050102");
    ASSERT_TRUE(sn);
    EXPECT_EQ(sn->model_position, 17);
    EXPECT_EQ(sn->year, "2012");
    EXPECT_EQ(sn->month, "05");
    EXPECT_EQ(sn->number, "00258");
    // an unknown model code gives no position; the date and number still read
    const auto unknown = DecodeSerialNumber("99630CFFFE");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->model_position, -1);
    EXPECT_EQ(unknown->year, "2099");
    EXPECT_EQ(unknown->month, "12");
    EXPECT_EQ(unknown->number, "65534");
    // trailing bytes (checksum, trailer) are not read
    EXPECT_EQ(DecodeSerialNumber("2100010000AB0D0A")->number, "00000");
    // a truncated payload is refused instead of read as zeros
    EXPECT_FALSE(DecodeSerialNumber("450C0501"));
    EXPECT_FALSE(DecodeSerialNumber(""));
    EXPECT_EQ(RunningNumberText(7), "00007");
}
