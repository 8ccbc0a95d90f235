#include "core/hex.h"

#include <gtest/gtest.h>

using namespace core;

TEST(Hex, CharValueTakesOnlyOneDigit) {
    EXPECT_EQ(HexCharValue("0"), 0);
    EXPECT_EQ(HexCharValue("9"), 9);
    EXPECT_EQ(HexCharValue("A"), 10);
    EXPECT_EQ(HexCharValue("f"), 15);
    EXPECT_EQ(HexCharValue("G"), 0);
    EXPECT_EQ(HexCharValue(""), 0);
    EXPECT_EQ(HexCharValue(" "), 0);
    EXPECT_EQ(HexCharValue("10"), 0); // a two-character text is not a digit
}

TEST(Hex, ByteValueReadsTwoCharacters) {
    EXPECT_EQ(HexByteValue("5A"), 0x5A);
    EXPECT_EQ(HexByteValue("ff"), 0xFF);
    EXPECT_EQ(HexByteValue("5A5A"), 0x5A); // the rest is ignored
    EXPECT_EQ(HexByteValue("5"), 0x50);    // a missing second digit counts 0
    EXPECT_EQ(HexByteValue(""), 0);
    EXPECT_EQ(HexByteValue("Z1"), 0x01);
}

TEST(Hex, HexToBytes) {
    EXPECT_EQ(HexToBytes(""), "");
    EXPECT_EQ(HexToBytes("A"), std::string("\x0A", 1));
    EXPECT_EQ(HexToBytes("0d0a"), "\r\n");
    EXPECT_EQ(HexToBytes("12 34 5"), std::string("\x12\x34\x05", 3));
    EXPECT_EQ(HexToBytes("5A 5A 0"), std::string("\x5A\x5A\x00", 3));
    EXPECT_EQ(HexToBytes("00FF"), std::string("\x00\xFF", 2));
    EXPECT_EQ(HexToBytes("G1"), std::string("\x01", 1));
}

TEST(Hex, BytesToHex) {
    EXPECT_EQ(BytesToHex(std::string("\x5A\x0D", 2)), "5A0D");
    EXPECT_EQ(BytesToHex(std::string("\x00\xFF", 2), true), "00 FF ");
    EXPECT_EQ(BytesToHex(""), "");
}

TEST(Hex, HexToIntWrapsAndCountsEveryPosition) {
    EXPECT_EQ(HexToInt("1F4"), 500);
    EXPECT_EQ(HexToInt("00000100"), 256);
    EXPECT_EQ(HexToInt("G1"), 1);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("1 0"), 0x100); // the space is a 0 digit
    EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
    EXPECT_EQ(HexToInt("100000000"), 0); // wraps in 32 bits
}

TEST(Hex, IntPower) {
    EXPECT_EQ(IntPower(16, 0), 1);
    EXPECT_EQ(IntPower(16, -3), 1);
    EXPECT_EQ(IntPower(16, 3), 4096);
}

TEST(Hex, ChecksumIsPlainEightBitSum) {
    EXPECT_EQ(HexChecksum(""), "00");
    EXPECT_EQ(HexChecksum("FF01"), "00");
    EXPECT_EQ(HexChecksum("0F"), "0F");
    EXPECT_EQ(HexChecksum("ABC"), "C6"); // read as 0ABC
    EXPECT_EQ(HexChecksum("5A5A00005A8003020500"), "98");
}

TEST(Hex, ToHexFixedWidth) {
    EXPECT_EQ(ToHex(300, 4), "012C");
    EXPECT_EQ(ToHex(0x1FF, 2), "FF");
}
