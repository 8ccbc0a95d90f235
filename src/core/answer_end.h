// Whether the bytes collected after a request already hold the whole answer, from the frame's
// own structure rather than from a pause on the line, which a busy PC or a USB adapter can put
// anywhere.
#pragma once

#include "hex.h"

#include <cstddef>

namespace core {

enum class AnswerEnd {
    kPartial,  // the beginning of a 5A5A, 4040 or EDED answer: wait for the rest
    kComplete, // as long as its length field says (5A5A, 4040), or its checksum holds (EDED)
    kUnframed, // no answer begins like this: only a pause on the line can end it
};

AnswerEnd AnswerEndOf(const Bytes& bytes);

// Where in `bytes` an answer begins, or may yet begin, and how far it has come; the bytes
// before it are noise or the tail of a late answer. {kUnframed, 0} when nothing can begin one.
struct AnswerSpan {
    AnswerEnd end;
    std::size_t start;
};
AnswerSpan FindAnswer(const Bytes& bytes);

} // namespace core
