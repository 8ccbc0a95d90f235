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
    struct Row {
        const char* payload;
        int model;
        const char* year;
        const char* month;
        const char* number;
    };
    // Missing characters read as zeros, as the payload padded with "0" would.
    const Row rows[] = {
        {"450C050102", 17, "2012", "05", "00258"},      // QX885, 0x0C, 0x05, 0x0102
        {"99630CFFFE", -1, "2099", "12", "65534"},      // unknown model: date and number still read
        {"2100010000AB0D0A", 0, "2000", "01", "00000"}, // what follows the five bytes is not read
        {"450C0501", 17, "2012", "05", "00256"},        // number 01 of 0100
        {"450C0", 17, "2012", "00", "00000"},
        {"45", 17, "2000", "00", "00000"},
        {"", -1, "2000", "00", "00000"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.payload);
        const SerialNumber sn = DecodeSerialNumber(r.payload);
        EXPECT_EQ(sn.model_position, r.model);
        EXPECT_EQ(sn.year, r.year);
        EXPECT_EQ(sn.month, r.month);
        EXPECT_EQ(sn.number, r.number);
    }
    EXPECT_EQ(RunningNumberText(7), "00007");
}
