#include "hex.h"

namespace core {

int HexCharValue(std::string_view text) {
    if (text.size() != 1)
        return 0;
    const char c = text[0];
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

int HexByteValue(std::string_view text) {
    const int high = text.empty() ? 0 : HexCharValue(text.substr(0, 1));
    const int low = text.size() < 2 ? 0 : HexCharValue(text.substr(1, 1));
    return high * 16 + low;
}

std::string RemoveSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

Bytes HexToBytes(std::string_view hex) {
    const std::string digits = RemoveSpaces(hex);
    Bytes out;
    out.reserve(digits.size() / 2 + 1);
    std::size_t i = 0;
    for (; i + 1 < digits.size(); i += 2)
        out += static_cast<char>(HexByteValue(std::string_view(digits).substr(i, 2)));
    if (i < digits.size())
        out += static_cast<char>(HexCharValue(std::string_view(digits).substr(i, 1)));
    return out;
}

std::string BytesToHex(std::string_view bytes, bool spaced) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * (spaced ? 3 : 2));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
        if (spaced)
            out += ' ';
    }
    return out;
}

std::int32_t HexToInt(std::string_view hex) {
    // Unsigned arithmetic gives the two's-complement wrap without undefined behaviour.
    std::uint32_t sum = 0;
    const std::size_t n = hex.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto digit = static_cast<std::uint32_t>(HexCharValue(hex.substr(n - 1 - i, 1)));
        sum += digit * static_cast<std::uint32_t>(IntPower(16, static_cast<std::int32_t>(i)));
    }
    return static_cast<std::int32_t>(sum);
}

std::int32_t IntPower(std::int32_t base, std::int32_t exponent) {
    std::uint32_t result = 1;
    for (std::int32_t i = 0; i < exponent; ++i)
        result *= static_cast<std::uint32_t>(base);
    return static_cast<std::int32_t>(result);
}

std::string HexChecksum(std::string_view hex) {
    if (hex.empty())
        return "00";
    std::string text(hex);
    if (text.size() % 2 != 0)
        text.insert(text.begin(), '0');
    unsigned sum = 0;
    for (std::size_t i = 0; i < text.size(); i += 2)
        sum += static_cast<unsigned>(HexByteValue(std::string_view(text).substr(i, 2)));
    return ToHex(sum % 256, 2);
}

std::string ToHex(std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[value & 0x0F];
        value >>= 4;
    }
    return out;
}

} // namespace core
