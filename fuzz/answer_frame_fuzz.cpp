// Answer acceptance: arbitrary text as a received answer, arbitrary bytes through the hex
// conversion the port uses, the search for where an answer ends in them and the exchange engine
// that waits for it, and frames built from arbitrary fields read back field by field; the typed
// verdict of each handler agrees with the frame checks.
#include "invariants.h"

#include "core/answer.h"
#include "core/answer_end.h"
#include "core/answer_frame.h"
#include "core/exchange_engine.h"
#include "core/frame.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

using namespace core;

namespace {

bool IsUpperHex(std::string_view text) {
    return text.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

// Whatever the text, the verdict agrees with the frame checks, the fields sit where the framing
// puts them, and reading bytes never reaches past the data.
void CheckAnswer(const AnswerFrame& answer, std::string_view text, bool eded) {
    const bool header = eded ? IsEDEDAnswer(text) : Is5A5AAnswer(text) || Is4040Answer(text);
    const bool checksum = eded ? EDEDChecksumOk(text) : TrailerChecksumOk(text);
    switch (answer.check) {
    case AnswerCheck::kNotFrame:
        QX_CHECK(!header || (!eded && text.size() < 22));
        QX_CHECK(answer.code.empty() && answer.payload.empty());
        return;
    case AnswerCheck::kBadChecksum:
        QX_CHECK(header && !checksum);
        QX_CHECK(answer.code.empty() && answer.payload.empty());
        return;
    case AnswerCheck::kFrame:
        break;
    }
    QX_CHECK(header && checksum);
    const std::size_t code_at = eded ? 5 : answer.framing == Framing::k5A5A ? 11 : 13;
    const std::size_t code_size = eded ? 2 : 4;
    const std::size_t payload_at = eded ? 7 : 17;
    const std::size_t tail = eded ? 2 : 6;
    QX_CHECK(answer.framing == (eded                 ? Framing::kEDED
                                : Is5A5AAnswer(text) ? Framing::k5A5A
                                                     : Framing::k4040));
    QX_CHECK(answer.code == Field(text, code_at, code_size));
    QX_CHECK(answer.id == (answer.framing == Framing::k4040 ? Field(text, 7, 4) : ""));
    QX_CHECK(answer.payload.empty() ||
             (text.size() == payload_at - 1 + answer.payload.size() + tail &&
              text.substr(payload_at - 1, answer.payload.size()) == answer.payload));
    for (std::size_t k = 0; k <= answer.payload.size() / 2 + 1; ++k) {
        QX_CHECK(answer.Byte(k).size() <= 2);
        QX_CHECK(answer.Byte(k).empty() == (2 * k >= answer.payload.size()));
        QX_CHECK(answer.ByteValue(k) >= 0 && answer.ByteValue(k) <= 255);
    }
}

// The typed verdict: a text that is not a frame goes to the log whole (or, under the short
// framing, is dropped), a checksum failure carries the text, and only a checked frame is
// accepted, refused or ignored.
void CheckVerdict(std::string_view text, Framing handler, std::string_view lastCommand) {
    const AnswerResult result = AcceptAnswer(text, handler, lastCommand);
    const AnswerFrame trailer = ParseTrailerAnswer(text);
    const AnswerFrame eded = ParseEDEDAnswer(text);
    const bool shortFrame = handler == Framing::kEDED && eded.check != AnswerCheck::kNotFrame;
    const AnswerCheck check = shortFrame ? eded.check : trailer.check;
    if (const auto* notFrame = std::get_if<answer::NotAFrame>(&result.event)) {
        QX_CHECK(check == AnswerCheck::kNotFrame && notFrame->text == text);
    } else if (std::holds_alternative<answer::Dropped>(result.event)) {
        QX_CHECK(handler == Framing::kEDED && !text.starts_with("5A5A") &&
                 eded.check == AnswerCheck::kNotFrame);
    } else if (const auto* bad = std::get_if<answer::BadChecksum>(&result.event)) {
        QX_CHECK(check == AnswerCheck::kBadChecksum && bad->text == text);
    } else {
        QX_CHECK(check == AnswerCheck::kFrame);
    }
    QX_CHECK(!result.chain || check == AnswerCheck::kFrame);
}

void CheckText(std::string_view text) {
    CheckAnswer(ParseTrailerAnswer(text), text, false);
    CheckAnswer(ParseEDEDAnswer(text), text, true);
    for (const std::string_view lastCommand : {"", "8003", "800B", "8015", "40408013"}) {
        CheckVerdict(text, Framing::k5A5A, lastCommand);
        CheckVerdict(text, Framing::kEDED, lastCommand);
    }
}

// Bytes as the port reads them become hex text, two upper-case digits a byte, that converts
// back to the same bytes, spaced or not.
std::string CheckHex(std::string_view bytes) {
    const std::string hex = BytesToHex(bytes);
    QX_CHECK(hex.size() == 2 * bytes.size() && IsUpperHex(hex));
    QX_CHECK(HexToBytes(hex) == bytes);
    const std::string spaced = BytesToHex(bytes, true);
    QX_CHECK(spaced.size() == 3 * bytes.size() && RemoveSpaces(spaced) == hex);
    QX_CHECK(HexToBytes(spaced) == bytes);
    return hex;
}

// A frame built from arbitrary fields is accepted with those fields, and a changed checksum
// digit turns it into a checksum failure.
void CheckBuilt(std::string_view bytes) {
    if (bytes.size() < 4)
        return;
    // At most 250 data bytes, so both length fields keep their two digits.
    const std::string hex = BytesToHex(bytes.substr(0, 4 + 250));
    const std::string_view fields = hex;
    const std::string_view payload = fields.substr(8);
    const std::string frames[] = {
        FrameText5A5A(fields.substr(0, 4), fields.substr(4, 4), payload),
        FrameText4040(fields.substr(0, 4), fields.substr(4, 2), fields.substr(4, 4), payload),
        FrameTextEDED(fields.substr(4, 2), payload),
    };
    for (const std::string& frame : frames) {
        const bool eded = &frame == &frames[2];
        const AnswerFrame answer = eded ? ParseEDEDAnswer(frame) : ParseTrailerAnswer(frame);
        QX_CHECK(answer.check == AnswerCheck::kFrame);
        QX_CHECK(answer.code == fields.substr(4, eded ? 2 : 4));
        QX_CHECK(answer.payload == payload);
        QX_CHECK(answer.id == (&frame == &frames[1] ? fields.substr(0, 4) : ""));
        for (std::size_t k = 0; 2 * k < payload.size(); ++k)
            QX_CHECK(answer.ByteValue(k) == static_cast<unsigned char>(bytes[4 + k]));
        std::string damaged = frame;
        char& digit = damaged[damaged.size() - (eded ? 1 : 5)];
        digit = digit == '0' ? '1' : '0';
        const AnswerFrame bad = eded ? ParseEDEDAnswer(damaged) : ParseTrailerAnswer(damaged);
        QX_CHECK(bad.check == AnswerCheck::kBadChecksum);
    }
}

// Where an answer ends in received bytes: inside them, never past the longest answer, and a
// beginning is waited on only while it is shorter than that.
void CheckAnswerEnd(std::string_view bytes) {
    const AnswerSpan span = FindAnswer(bytes);
    QX_CHECK(span.start <= bytes.size());
    switch (span.end) {
    case AnswerEnd::kComplete:
        QX_CHECK(span.length > 0 && span.length <= kLongestAnswer);
        QX_CHECK(span.start + span.length <= bytes.size());
        QX_CHECK(AnswerEndOf(bytes.substr(span.start, span.length)) == AnswerEnd::kComplete);
        break;
    case AnswerEnd::kPartial:
        QX_CHECK(bytes.size() - span.start < kLongestAnswer);
        break;
    case AnswerEnd::kUnframed:
        QX_CHECK(span.start == 0);
        break;
    }
}

// Bytes fed to the exchange engine one a millisecond while a search is awaited: the request
// gets exactly one reply (and at most one late one), every deadline the engine names ends
// something or moves on, and with the line quiet it ends idle.
void CheckExchange(std::string_view bytes, bool eded) {
    using std::chrono::milliseconds;
    const Framing framing = eded ? Framing::kEDED : Framing::k5A5A;
    ExchangeEngine engine(framing, {});
    const RequestId id =
        engine.Submit({BuildRequest(CommandAt(cmd::kSearch), framing, ReadPayload(framing)),
                       Completion::kFramed, milliseconds(300), milliseconds(300)});
    ExchangeTime now{};
    const auto out = engine.NextToSend(now);
    QX_CHECK(out && out->id == id);
    engine.Sent(id, now);
    int replies = 0;
    int late = 0;
    const auto take = [&] {
        for (const ExchangeReply& reply : engine.TakeReplies()) {
            QX_CHECK(reply.id == id);
            ++(reply.late ? late : replies);
        }
    };
    for (const char byte : bytes.substr(0, 512)) {
        now += milliseconds(1);
        engine.Receive(std::string_view(&byte, 1), now);
        take();
    }
    for (int ticks = 0; const auto deadline = engine.NextDeadline(); ++ticks) {
        QX_CHECK(ticks < 64);
        QX_CHECK(*deadline > now);
        now = std::max(now, *deadline);
        engine.Tick(now);
        take();
    }
    QX_CHECK(replies == 1 && late <= 1);
    QX_CHECK(engine.Idle());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckText(bytes);
    CheckText(CheckHex(bytes));
    CheckAnswerEnd(bytes);
    CheckExchange(bytes, size % 2 == 1);
    CheckBuilt(bytes);
    return 0;
}
