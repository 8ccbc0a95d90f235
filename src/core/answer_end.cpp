#include "answer_end.h"

#include "frame.h"

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

bool HeaderBegins(const Bytes& bytes, unsigned char header) {
    return bytes[0] == static_cast<char>(header) &&
           (bytes.size() < 2 || bytes[1] == static_cast<char>(header));
}

} // namespace

AnswerEnd AnswerEndOf(const Bytes& bytes) {
    if (bytes.empty())
        return AnswerEnd::kPartial;
    for (const Layout& layout : {k5A5A, k4040}) {
        if (!HeaderBegins(bytes, layout.header))
            continue;
        if (bytes.size() <= layout.lengthAt)
            return AnswerEnd::kPartial;
        const std::size_t length = static_cast<unsigned char>(bytes[layout.lengthAt]);
        return bytes.size() >= length + layout.overhead ? AnswerEnd::kComplete
                                                        : AnswerEnd::kPartial;
    }
    if (HeaderBegins(bytes, kEDED))
        // no length field: a prefix whose last byte happens to be its checksum ends it early,
        // and the answer's own checks then refuse it
        return bytes.size() >= kShortestEDED && EDEDChecksumOk(BytesToHex(bytes))
                   ? AnswerEnd::kComplete
                   : AnswerEnd::kPartial;
    return AnswerEnd::kUnframed;
}

AnswerSpan FindAnswer(const Bytes& bytes) {
    for (std::size_t start = 0; start < bytes.size(); ++start)
        if (const AnswerEnd end = AnswerEndOf(bytes.substr(start)); end != AnswerEnd::kUnframed)
            return {end, start};
    return {AnswerEnd::kUnframed, 0};
}

} // namespace core
