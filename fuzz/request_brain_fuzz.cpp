// The simulated module's side of the line: arbitrary received bytes are scanned as the
// simulator does, every complete request goes to the module's brain, and each answer must pass
// the host's own answer checks.
#include "invariants.h"

#include "core/answer_frame.h"
#include "core/frame.h"
#include "core/module/module_brain.h"
#include "core/module/request_scanner.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace core;

namespace {

// The longest request: a 5A5A frame with 255 payload bytes. By then the scanner has decided.
constexpr std::size_t kLongestRequest = 11 + 255;

// Bytes arrive in pieces, so the verdict on the whole input must be the one its prefixes lead
// to: "need more" until a request is complete or the bytes are known to be data, then the same
// verdict for every longer prefix.
ScanResult CheckScan(std::string_view input, bool eded) {
    const ScanResult whole = ScanRequest(input, eded);
    bool decided = false;
    for (std::size_t k = 0; k <= input.size() && k <= kLongestRequest; ++k) {
        const ScanResult part = ScanRequest(input.substr(0, k), eded);
        if (part.status == ScanStatus::kNeedMore) {
            QX_CHECK(!decided);
            continue;
        }
        decided = true;
        QX_CHECK(part.status == whole.status);
        if (part.status == ScanStatus::kRequest)
            QX_CHECK(part.length == whole.length && part.framing == whole.framing);
    }
    QX_CHECK(whole.status != ScanStatus::kNeedMore || input.size() < kLongestRequest);
    if (whole.status != ScanStatus::kRequest)
        return whole;
    QX_CHECK(whole.length >= 5 && whole.length <= input.size());
    const unsigned header = whole.framing == Framing::k5A5A   ? 0x5A
                            : whole.framing == Framing::k4040 ? 0x40
                                                              : 0xED;
    QX_CHECK(static_cast<unsigned char>(input[0]) == header);
    QX_CHECK(eded || whole.framing != Framing::kEDED);
    return whole;
}

// The answer is one the host accepts: its own framing's checks pass, its code answers the
// request, and an IO answer names this module.
void CheckReply(const ModuleState& before, const ModuleReply& reply, Framing framing) {
    QX_CHECK(SettingsInRange(reply.state));
    if (reply.kind != ModuleReply::Kind::kAnswer) {
        QX_CHECK(reply.state == before && reply.answer.empty() && !reply.serial_switch);
        QX_CHECK(reply.kind != ModuleReply::Kind::kNotForMe || framing == Framing::k4040);
        return;
    }
    const bool search = reply.command == 0x00;
    QX_CHECK(reply.answer_framing ==
             (framing == Framing::kEDED && search ? Framing::k5A5A : framing));
    const std::string text = BytesToHex(reply.answer);
    const bool eded = reply.answer_framing == Framing::kEDED;
    const AnswerFrame answer = eded ? ParseEDEDAnswer(text) : ParseTrailerAnswer(text);
    QX_CHECK(answer.check == AnswerCheck::kFrame);
    QX_CHECK(answer.framing == reply.answer_framing);
    QX_CHECK(answer.code == (eded ? "" : "00") + ToHex(reply.command, 2));
    QX_CHECK(
        answer.id ==
        (framing == Framing::k4040 ? ToHex(static_cast<std::uint32_t>(reply.state.id), 4) : ""));
    if (reply.answer_framing == Framing::k5A5A)
        QX_CHECK(2 * static_cast<std::size_t>(HexByteValue(Field(text, 15, 2))) ==
                 answer.payload.size());
    QX_CHECK(!answer.payload.empty());
}

void Run(std::string_view input, bool eded) {
    ModuleState state;
    while (!input.empty()) {
        const ScanResult scan = CheckScan(input, eded);
        if (scan.status != ScanStatus::kRequest)
            return;
        const ModuleReply reply = Respond(state, scan.framing, input.substr(0, scan.length));
        CheckReply(state, reply, scan.framing);
        if (reply.kind == ModuleReply::Kind::kNotForMe)
            return;
        state = reply.state;
        input.remove_prefix(scan.length);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Run(input, false);
    Run(input, true);
    return 0;
}
