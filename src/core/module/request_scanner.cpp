#include "request_scanner.h"

namespace core {

namespace {

constexpr std::size_t k5A5AHead = 8;   // header, address, marker, code, length
constexpr std::size_t k4040Head = 8;   // header, attribute, ID, length, code
constexpr std::size_t kEDEDLength = 5; // header, code, one payload byte, checksum

unsigned At(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

bool SumOk(std::string_view frame, std::size_t checksum_at) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < checksum_at; ++i)
        sum += At(frame, i);
    return (sum & 0xFF) == At(frame, checksum_at);
}

// A frame with a 0D0A trailer whose checksum stands just before it.
ScanResult Trailed(std::string_view bytes, std::size_t length, Framing framing) {
    if (bytes.size() < length)
        return {ScanStatus::kNeedMore};
    const std::string_view frame = bytes.substr(0, length);
    if (At(frame, length - 2) != 0x0D || At(frame, length - 1) != 0x0A || !SumOk(frame, length - 3))
        return {ScanStatus::kNotRequest};
    return {ScanStatus::kRequest, length, framing};
}

ScanResult Scan5A5A(std::string_view bytes) {
    if (bytes.size() < k5A5AHead)
        return {ScanStatus::kNeedMore};
    if (At(bytes, 4) != 0x5A || At(bytes, 5) != 0x80)
        return {ScanStatus::kNotRequest};
    return Trailed(bytes, 11 + At(bytes, 7), Framing::k5A5A);
}

ScanResult Scan4040(std::string_view bytes) {
    if (bytes.size() < k4040Head)
        return {ScanStatus::kNeedMore};
    const unsigned length = At(bytes, 5);
    if (length < 5 || At(bytes, 6) != 0x80)
        return {ScanStatus::kNotRequest};
    return Trailed(bytes, length + 6, Framing::k4040);
}

ScanResult ScanEDED(std::string_view bytes) {
    if (bytes.size() < kEDEDLength)
        return {ScanStatus::kNeedMore};
    if (!SumOk(bytes, kEDEDLength - 1))
        return {ScanStatus::kNotRequest};
    return {ScanStatus::kRequest, kEDEDLength, Framing::kEDED};
}

} // namespace

ScanResult ScanRequest(std::string_view bytes, bool eded) {
    if (bytes.empty())
        return {ScanStatus::kNeedMore};
    const unsigned first = At(bytes, 0);
    const bool known = first == 0x5A || first == 0x40 || (eded && first == 0xED);
    if (!known)
        return {ScanStatus::kNotRequest};
    if (bytes.size() < 2)
        return {ScanStatus::kNeedMore};
    if (At(bytes, 1) != first)
        return {ScanStatus::kNotRequest};
    if (first == 0x5A)
        return Scan5A5A(bytes);
    if (first == 0x40)
        return Scan4040(bytes);
    return ScanEDED(bytes);
}

} // namespace core
