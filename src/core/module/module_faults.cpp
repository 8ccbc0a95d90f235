#include "module_faults.h"

#include "module_state.h"

namespace core {

namespace {

bool IsHex(std::string_view text) {
    return !text.empty() &&
           text.find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos;
}

// "8003" or "03" -> 3; "all" -> -1; nullopt otherwise.
std::optional<int> CommandNumber(std::string_view text) {
    if (text == "all")
        return -1;
    if ((text.size() != 2 && text.size() != 4) || !IsHex(text))
        return std::nullopt;
    return HexByteValue(text.substr(text.size() - 2));
}

std::size_t ChecksumAt(const Bytes& answer, Framing framing) {
    return framing == Framing::kEDED ? answer.size() - 1 : answer.size() - 3;
}

std::size_t CodeAt(Framing framing) {
    switch (framing) {
    case Framing::kEDED:
        return 2;
    case Framing::k4040:
        return 7;
    case Framing::k5A5A:
        break;
    }
    return 6;
}

void Resum(Bytes& answer, Framing framing) {
    const std::size_t at = ChecksumAt(answer, framing);
    unsigned sum = 0;
    for (std::size_t i = 0; i < at; ++i)
        sum += static_cast<unsigned char>(answer[i]);
    answer[at] = static_cast<char>(sum & 0xFF);
}

} // namespace

std::optional<AnswerFault> ParseAnswerFault(AnswerFault::Kind kind, std::string_view text,
                                            std::string& error) {
    const auto colon = text.find(':');
    const std::string_view target = text.substr(0, colon);
    const std::string_view value =
        colon == std::string_view::npos ? std::string_view{} : text.substr(colon + 1);
    AnswerFault fault;
    fault.kind = kind;
    const auto command = CommandNumber(target);
    if (!command) {
        error = "\"" + std::string(target) + "\" is not a command code such as 8003, or all";
        return std::nullopt;
    }
    fault.command = *command;
    switch (kind) {
    case AnswerFault::Kind::kSplit: {
        const auto gap = value.empty() ? std::optional<int>(500) : ParseSettingValue(value);
        if (!gap || *gap > 60000) {
            error = "the split gap must be 0 to 60000 ms";
            return std::nullopt;
        }
        fault.split_gap_ms = *gap;
        break;
    }
    case AnswerFault::Kind::kGarbage:
        if (!value.empty() && (!IsHex(value) || value.size() % 2 != 0 || value.size() > 64)) {
            error = "garbage must be up to 32 bytes of hex pairs, such as FF00";
            return std::nullopt;
        }
        fault.garbage = HexToBytes(value.empty() ? "FF" : value);
        break;
    case AnswerFault::Kind::kWrongCode: {
        const auto code = CommandNumber(value);
        if (!code || *code < 0) {
            error = "the wrong code must name a command, such as 8005";
            return std::nullopt;
        }
        fault.code = static_cast<std::uint8_t>(*code);
        break;
    }
    case AnswerFault::Kind::kBadChecksum:
    case AnswerFault::Kind::kSilent:
        if (!value.empty()) {
            error = "this fault takes no value";
            return std::nullopt;
        }
        break;
    }
    return fault;
}

FaultedAnswer ApplyAnswerFaults(std::span<const AnswerFault> faults, std::uint8_t command,
                                Framing framing, Bytes answer) {
    FaultedAnswer out;
    Bytes prefix;
    std::optional<std::uint8_t> wrong_code;
    bool bad_checksum = false;
    bool split = false;
    for (const AnswerFault& fault : faults) {
        if (fault.command != -1 && fault.command != command)
            continue;
        switch (fault.kind) {
        case AnswerFault::Kind::kSilent:
            return {};
        case AnswerFault::Kind::kWrongCode:
            wrong_code = fault.code;
            break;
        case AnswerFault::Kind::kBadChecksum:
            bad_checksum = true;
            break;
        case AnswerFault::Kind::kGarbage:
            prefix += fault.garbage;
            break;
        case AnswerFault::Kind::kSplit:
            split = true;
            out.gap_ms = fault.split_gap_ms;
            break;
        }
    }
    // A wrong code keeps a matching checksum, so that only the code is wrong; a bad checksum
    // is spoiled after it, whatever the order of the options.
    if (wrong_code) {
        answer[CodeAt(framing)] = static_cast<char>(*wrong_code);
        Resum(answer, framing);
    }
    if (bad_checksum)
        answer[ChecksumAt(answer, framing)] ^= 0x5A;
    answer = prefix + answer;
    if (split) {
        const std::size_t half = answer.size() / 2;
        out.pieces = {answer.substr(0, half), answer.substr(half)};
    } else {
        out.pieces = {answer};
    }
    return out;
}

} // namespace core
