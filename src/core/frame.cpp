#include "frame.h"

namespace core {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool ChecksumBefore(std::string_view text, std::size_t tail) {
    if (text.size() < tail + 2)
        return false;
    const std::size_t at = text.size() - tail - 2;
    return text.substr(at, 2) == HexChecksum(text.substr(0, at));
}

std::string WithChecksum(std::string text) {
    text += HexChecksum(text);
    return text;
}

} // namespace

std::string HexAtLeast(unsigned value, int digits) {
    int needed = 1;
    for (unsigned v = value >> 4; v != 0; v >>= 4)
        ++needed;
    return ToHex(value, needed > digits ? needed : digits);
}

std::string FrameText5A5A(std::string_view address, std::string_view command,
                          std::string_view payload) {
    std::string text = "5A5A";
    text += address;
    text += "5A";
    text += command;
    text += HexAtLeast(static_cast<unsigned>(payload.size() / 2), 2);
    text += payload;
    return WithChecksum(std::move(text)) + "0D0A";
}

std::string FrameTextEDED(std::string_view command, std::string_view payload) {
    std::string text = "EDED";
    text += command;
    text += payload;
    return WithChecksum(std::move(text));
}

std::string FrameText4040(std::string_view id, std::string_view attribute, std::string_view command,
                          std::string_view payload) {
    std::string text = "4040";
    text += attribute;
    text += id;
    text += HexAtLeast(static_cast<unsigned>(payload.size() / 2 + 5), 2);
    text += command;
    text += payload;
    return WithChecksum(std::move(text)) + "0D0A";
}

Bytes BuildFrame5A5A(std::string_view address, std::string_view command, std::string_view payload) {
    return HexToBytes(FrameText5A5A(address, command, payload));
}

Bytes BuildFrameEDED(std::string_view command, std::string_view payload) {
    return HexToBytes(FrameTextEDED(command, payload));
}

Bytes BuildFrame4040(std::string_view id, std::string_view attribute, std::string_view command,
                     std::string_view payload) {
    return HexToBytes(FrameText4040(id, attribute, command, payload));
}

std::string_view Field(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos == 0 || pos > text.size())
        return {};
    return text.substr(pos - 1, count);
}

bool Is5A5AAnswer(std::string_view text) {
    return StartsWith(text, "5A5A") && EndsWith(text, "0D0A");
}

bool Is4040Answer(std::string_view text) {
    return StartsWith(text, "4040") && EndsWith(text, "0D0A");
}

bool IsEDEDAnswer(std::string_view text) {
    return StartsWith(text, "EDED");
}

bool TrailerChecksumOk(std::string_view text) {
    return ChecksumBefore(text, 4);
}

bool EDEDChecksumOk(std::string_view text) {
    return ChecksumBefore(text, 0);
}

} // namespace core
