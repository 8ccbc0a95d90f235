// Taking a received answer apart: whether it is a frame at all, whether its checksum holds,
// its answer code, its data bytes and, for the IO answers, the answering module's ID.
#pragma once

#include "catalogue.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

enum class AnswerCheck { kFrame, kNotFrame, kBadChecksum };

struct AnswerFrame {
    AnswerCheck check = AnswerCheck::kNotFrame;
    Framing framing = Framing::k5A5A;
    std::string code;    // "0003" (5A5A, 4040) or "03" (EDED)
    std::string payload; // the data bytes as hex, without checksum and trailer
    std::string id;      // 4040 only: the answering module's ID, four hex digits

    // Data byte k (from 0) as its two hex characters; empty past the end of the data, so a
    // short answer reads as zeros instead of reading its own checksum.
    std::string_view Byte(std::size_t k) const;
    int ByteValue(std::size_t k) const;
};

// A 5A5A or 4040 answer: the header, the "0D0A" trailer and the checksum before it. Text with
// another header or no trailer is kNotFrame.
AnswerFrame ParseTrailerAnswer(std::string_view text);

// An EDED answer: "EDED", the code, the data, the checksum as the last two characters.
// Every EDED answer carries its data from character 7, the 0B, 0D, 0E, 14 and 15 answers too:
// the frame has no address and no length, so reading those at the 5A5A positions (character 17)
// would take the checksum or nothing as data. Text without the header is kNotFrame.
AnswerFrame ParseEDEDAnswer(std::string_view text);

} // namespace core
