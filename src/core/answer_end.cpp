#include "answer_end.h"

namespace core {

namespace {

// Header, the position of the length byte, and the bytes the frame has besides the length's
// count: 5A5A address marker command length payload checksum 0D0A; 4040 attribute ID length
// command payload checksum 0D0A, its length counting the command and three more.
struct Layout {
    unsigned char header;
    std::size_t lengthAt;
    std::size_t overhead;
};

constexpr Layout k5A5A{0x5A, 7, 11};
constexpr Layout k4040{0x40, 5, 6};
constexpr unsigned char kEDED = 0xED;
// EDED header, code and checksum
constexpr std::size_t kShortestEDED = 4;

struct End {
    AnswerEnd end;
    std::size_t length = 0;
};

bool HeaderBegins(std::string_view bytes, unsigned char header) {
    return bytes[0] == static_cast<char>(header) &&
           (bytes.size() < 2 || bytes[1] == static_cast<char>(header));
}

// No length field: the answer ends at the first byte that is the sum of all before it. A prefix
// whose last byte happens to be its checksum ends it early, and the answer's own checks then
// refuse it.
End EDEDEnd(std::string_view bytes) {
    unsigned sum = 0;
    for (std::size_t n = 1; n <= bytes.size() && n <= kLongestAnswer; ++n) {
        const auto last = static_cast<unsigned char>(bytes[n - 1]);
        if (n >= kShortestEDED && (sum & 0xFF) == last)
            return {AnswerEnd::kComplete, n};
        sum += last;
    }
    return {bytes.size() < kLongestAnswer ? AnswerEnd::kPartial : AnswerEnd::kUnframed};
}

End EndOf(std::string_view bytes) {
    if (bytes.empty())
        return {AnswerEnd::kPartial};
    for (const Layout& layout : {k5A5A, k4040}) {
        if (!HeaderBegins(bytes, layout.header))
            continue;
        if (bytes.size() <= layout.lengthAt)
            return {AnswerEnd::kPartial};
        const std::size_t length =
            static_cast<unsigned char>(bytes[layout.lengthAt]) + layout.overhead;
        if (length > kLongestAnswer)
            return {AnswerEnd::kUnframed};
        return bytes.size() >= length ? End{AnswerEnd::kComplete, length}
                                      : End{AnswerEnd::kPartial};
    }
    if (HeaderBegins(bytes, kEDED))
        return EDEDEnd(bytes);
    return {AnswerEnd::kUnframed};
}

} // namespace

AnswerEnd AnswerEndOf(std::string_view bytes) {
    return EndOf(bytes).end;
}

AnswerSpan FindAnswer(std::string_view bytes) {
    for (std::size_t start = 0; start < bytes.size(); ++start)
        if (const End end = EndOf(bytes.substr(start)); end.end != AnswerEnd::kUnframed)
            return {end.end, start, end.length};
    return {AnswerEnd::kUnframed, 0};
}

} // namespace core
