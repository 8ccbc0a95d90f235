#include "answer_frame.h"

#include "frame.h"
#include "hex.h"

namespace core {

namespace {

// Hex characters from the 1-based position `from` up to `tail` characters before the end.
std::string DataBetween(std::string_view text, std::size_t from, std::size_t tail) {
    if (text.size() < from - 1 + tail)
        return {};
    return std::string(text.substr(from - 1, text.size() - tail - (from - 1)));
}

// Header, address or attribute and ID, marker or length, code, length or nothing, checksum and
// trailer: 22 characters before any data. Shorter text is too short to hold a code.
constexpr std::size_t kShortestTrailerAnswer = 22;

} // namespace

std::string_view AnswerFrame::Byte(std::size_t k) const {
    return Field(payload, 2 * k + 1, 2);
}

int AnswerFrame::ByteValue(std::size_t k) const {
    return HexByteValue(Byte(k));
}

AnswerFrame ParseTrailerAnswer(std::string_view text) {
    AnswerFrame answer;
    const bool is5A5A = Is5A5AAnswer(text);
    if ((!is5A5A && !Is4040Answer(text)) || text.size() < kShortestTrailerAnswer)
        return answer;
    answer.framing = is5A5A ? Framing::k5A5A : Framing::k4040;
    if (!TrailerChecksumOk(text)) {
        answer.check = AnswerCheck::kBadChecksum;
        return answer;
    }
    answer.check = AnswerCheck::kFrame;
    answer.code = Field(text, is5A5A ? 11 : 13, 4);
    if (!is5A5A)
        answer.id = Field(text, 7, 4);
    answer.payload = DataBetween(text, 17, 6);
    return answer;
}

AnswerFrame ParseEDEDAnswer(std::string_view text) {
    AnswerFrame answer;
    if (!IsEDEDAnswer(text))
        return answer;
    answer.framing = Framing::kEDED;
    if (!EDEDChecksumOk(text)) {
        answer.check = AnswerCheck::kBadChecksum;
        return answer;
    }
    answer.check = AnswerCheck::kFrame;
    answer.code = Field(text, 5, 2);
    answer.payload = DataBetween(text, 7, 2);
    return answer;
}

} // namespace core
