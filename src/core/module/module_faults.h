// Ways a simulated module can misbehave on purpose, so the tool's answer handling can be tested:
// a wrong checksum, an answer split in two, garbage in front, another command's code, silence.
#pragma once

#include "core/catalogue.h"
#include "core/hex.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

struct AnswerFault {
    enum class Kind { kBadChecksum, kSplit, kGarbage, kWrongCode, kSilent };
    Kind kind = Kind::kSilent;
    int command = -1;      // command number it applies to; -1 for every command
    int split_gap_ms = 0;  // kSplit: the pause between the two pieces
    Bytes garbage;         // kGarbage: bytes put in front of the answer
    std::uint8_t code = 0; // kWrongCode: the command number the answer carries instead
};

// The argument of a fault option: "8003", "03" or "all", then for some kinds ":" and a value
// (split: the gap in ms, default 500; garbage: hex bytes, default FF; wrong code: the code to
// answer with, required). `error` says what is wrong when the result is empty.
std::optional<AnswerFault> ParseAnswerFault(AnswerFault::Kind kind, std::string_view text,
                                            std::string& error);

struct FaultedAnswer {
    std::vector<Bytes> pieces; // empty: say nothing
    int gap_ms = 0;            // between the pieces
};

// Applies every fault that names `command` (or all commands) to a well-formed answer.
FaultedAnswer ApplyAnswerFaults(std::span<const AnswerFault> faults, std::uint8_t command,
                                Framing framing, Bytes answer);

} // namespace core
