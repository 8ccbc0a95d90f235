// Whether the bytes collected after a request already hold the whole answer, from the frame's
// own structure rather than from a pause on the line, which a busy PC or a USB adapter can put
// anywhere.
#pragma once

#include <cstddef>
#include <string_view>

namespace core {

// Longer than any answer a module gives: a frame that would run past it is no answer, so no
// beginning of one is waited on beyond it.
constexpr std::size_t kLongestAnswer = 64;

enum class AnswerEnd {
    kPartial,  // the beginning of a 5A5A, 4040 or EDED answer: wait for the rest
    kComplete, // as long as its length field says (5A5A, 4040), or its checksum holds (EDED)
    kUnframed, // no answer begins like this: only a pause on the line can end it
};

AnswerEnd AnswerEndOf(std::string_view bytes);

// Where in `bytes` an answer begins, or may yet begin, and how far it has come; the bytes
// before it are noise or the tail of a late answer. {kUnframed, 0, 0} when nothing can begin
// one. A complete answer is `length` bytes long; what follows it belongs to the next one.
struct AnswerSpan {
    AnswerEnd end;
    std::size_t start;
    std::size_t length = 0;
};
AnswerSpan FindAnswer(std::string_view bytes);

} // namespace core
