// The three request framings and the checks an answer must pass.
// Frames are composed as hex text, checksummed on that text, then turned into bytes.
#pragma once

#include "hex.h"

#include <string>
#include <string_view>

namespace core {

// Hex text of `value` with at least `digits` digits (more when the value needs them).
std::string HexAtLeast(unsigned value, int digits);

// Hex text of the frames, before conversion to bytes.
std::string FrameText5A5A(std::string_view address, std::string_view command,
                          std::string_view payload);
std::string FrameTextEDED(std::string_view command, std::string_view payload);
std::string FrameText4040(std::string_view id, std::string_view attribute, std::string_view command,
                          std::string_view payload);

Bytes BuildFrame5A5A(std::string_view address, std::string_view command, std::string_view payload);
Bytes BuildFrameEDED(std::string_view command, std::string_view payload);
Bytes BuildFrame4040(std::string_view id, std::string_view attribute, std::string_view command,
                     std::string_view payload);

// Characters of `text` from the 1-based position `pos`, at most `count` of them;
// empty where the text is too short, so a truncated answer never reads past its end.
std::string_view Field(std::string_view text, std::size_t pos, std::size_t count);

// Answer recognition on hex text (upper case, no spaces).
bool Is5A5AAnswer(std::string_view text); // "5A5A" ... "0D0A"
bool Is4040Answer(std::string_view text); // "4040" ... "0D0A"
bool IsEDEDAnswer(std::string_view text); // "EDED" ...
// The two characters before the "0D0A" trailer equal the checksum of all before them.
bool TrailerChecksumOk(std::string_view text);
// The last two characters equal the checksum of all before them.
bool EDEDChecksumOk(std::string_view text);

} // namespace core
