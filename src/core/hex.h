// Conversions between byte strings, hex text and the 8-bit sum checksum.
// Every frame is composed and taken apart as hex text; bytes appear only at the port.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// A byte string: each char is one byte 0..255, zero bytes included.
using Bytes = std::string;

// Value of a one-character hex digit; any other text (two characters, empty, space) is 0.
int HexCharValue(std::string_view text);
// First two characters as a byte; a missing second digit counts 0.
int HexByteValue(std::string_view text);
std::string RemoveSpaces(std::string_view text);
// Pairs become bytes; an odd last digit becomes one more byte of its own value.
Bytes HexToBytes(std::string_view hex);
std::string BytesToHex(std::string_view bytes, bool spaced = false);
// Every character is a digit position (non-hex counts 0); wraps in 32 bits.
std::int32_t HexToInt(std::string_view hex);
std::int32_t IntPower(std::int32_t base, std::int32_t exponent);
// Plain 8-bit sum of the pairs, as two upper-case digits; odd text gets a leading "0".
std::string HexChecksum(std::string_view hex);

// Fixed-width upper-case hex of a value (the low `digits` nibbles).
std::string ToHex(std::uint32_t value, int digits);

} // namespace core
