#include "frame_trace.h"

#include "answer.h"
#include "answer_frame.h"
#include "frame.h"
#include "hex.h"
#include "models.h"
#include "setting_values.h"
#include "utc_text.h"

#include <type_traits>

namespace core {

namespace {

// Header, address or attribute and ID, marker or length, code, length, checksum and trailer.
constexpr std::size_t kShortestTrailerFrame = 22;
// Header, code and checksum.
constexpr std::size_t kShortestEDEDFrame = 8;

std::string Or(std::string text, std::string_view fallback) {
    return text.empty() ? std::string(fallback) : text;
}

std::string Rate(int code) {
    return SettingValueText(Setting::kAirRate, code);
}

std::string Parity(int code) {
    if (code == answer::kParityNotCarried)
        return "(no parity given)";
    return SettingValueText(Setting::kParity, code);
}

std::string Listed(int value, std::initializer_list<const char*> names) {
    if (value >= 0 && static_cast<std::size_t>(value) < names.size())
        return names.begin()[value];
    return "code " + std::to_string(value);
}

std::string CommandName(std::uint8_t code, bool io) {
    const Command* command = FindCommand(code, io);
    return command != nullptr ? command->name : "unknown command";
}

// What an accepted answer says, after its code.
std::string Accepted(const AnswerEvent& event, std::uint8_t code, bool io) {
    using namespace answer;
    return std::visit(
        [&](const auto& e) -> std::string {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, SearchAnswer>)
                return "search = " + Or(FamilyText(e.family, 0), "unknown family") +
                       FirmwareVersionText(e.version) + " " +
                       Or(BaseFrequencyText(e.baseFrequencyCode), "unknown base frequency");
            else if constexpr (std::is_same_v<E, SerialSettingsWritten>)
                return "serial settings written = " + Rate(e.rateCode) + " " + Parity(e.parity);
            else if constexpr (std::is_same_v<E, SerialSettingsRead>)
                return "serial settings = " + Rate(e.rateCode) + " " + Parity(e.parity);
            else if constexpr (std::is_same_v<E, SettingRead>)
                return std::string(RowOf(e.setting).name) + " = " +
                       SettingValueText(e.setting, e.value);
            else if constexpr (std::is_same_v<E, SerialNumber>)
                return "serial number = model " + e.modelCode + " " + e.year + "-" + e.month + " " +
                       e.number;
            else if constexpr (std::is_same_v<E, AllWritten>)
                return "all parameters written = serial " + Rate(e.rateCode) + " " +
                       Parity(e.parity);
            else if constexpr (std::is_same_v<E, FieldStrength>)
                return "field strength = " + std::to_string(e.value);
            else if constexpr (std::is_same_v<E, PowerLevelSet>)
                return "power level set, power = " + std::to_string(e.value);
            else if constexpr (std::is_same_v<E, AllRead>)
                return "all parameters = channel " + std::to_string(e.channel) + ", air " +
                       Rate(e.airRate) + ", serial " + Rate(e.serialRate) + " " + Parity(e.parity);
            else if constexpr (std::is_same_v<E, IoLineWritten>)
                return "IO line " + std::to_string(e.line) + " = " + (e.high ? "high" : "low");
            else if constexpr (std::is_same_v<E, IoLinesRead>)
                return "IO lines of ID " + std::to_string(e.id) + " = " +
                       Listed(e.level1, {"low", "high"}) + ", " + Listed(e.level2, {"low", "high"});
            else
                return CommandName(code, io) + " done";
        },
        event);
}

TraceVerdict VerdictOf(const AnswerEvent& event) {
    if (std::holds_alternative<answer::Refused>(event))
        return TraceVerdict::kRefused;
    if (std::holds_alternative<answer::Ignored>(event))
        return TraceVerdict::kIgnored;
    if (std::holds_alternative<answer::BadChecksum>(event))
        return TraceVerdict::kBadChecksum;
    if (std::holds_alternative<answer::NotAFrame>(event) ||
        std::holds_alternative<answer::Dropped>(event))
        return TraceVerdict::kNotAFrame;
    return TraceVerdict::kAccepted;
}

TraceFraming TraceFramingOf(Framing framing) {
    switch (framing) {
    case Framing::kEDED:
        return TraceFraming::kEDED;
    case Framing::k4040:
        return TraceFraming::k4040;
    case Framing::k5A5A:
        break;
    }
    return TraceFraming::k5A5A;
}

const char* FramingText(TraceFraming framing) {
    switch (framing) {
    case TraceFraming::k5A5A:
        return "5A5A";
    case TraceFraming::kEDED:
        return "EDED";
    case TraceFraming::k4040:
        return "4040";
    case TraceFraming::kRaw:
        break;
    }
    return "raw";
}

const char* VerdictText(TraceVerdict verdict) {
    switch (verdict) {
    case TraceVerdict::kAccepted:
        return "accepted";
    case TraceVerdict::kRefused:
        return "refused";
    case TraceVerdict::kIgnored:
        return "ignored";
    case TraceVerdict::kBadChecksum:
        return "bad checksum";
    case TraceVerdict::kNotAFrame:
        return "not a frame";
    case TraceVerdict::kNoAnswer:
        return "no answer";
    case TraceVerdict::kNone:
        break;
    }
    return "";
}

// A column of the line: never empty, never split.
void Column(std::string& line, std::string_view text) {
    if (!line.empty())
        line += '\t';
    if (text.empty()) {
        line += '-';
        return;
    }
    for (const char c : text)
        line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

struct RequestShape {
    TraceFraming framing = TraceFraming::kRaw;
    std::string number; // the command number's two hex digits
};

// A request's framing and command number; kRaw for bytes that are no well-formed request.
RequestShape ShapeOf(std::string_view text) {
    if (text.size() >= kShortestTrailerFrame && TrailerChecksumOk(text)) {
        // "80" and the number follow the header, address and marker, or the header, attribute,
        // ID and length
        if (Is5A5AAnswer(text) && Field(text, 11, 2) == "80")
            return {TraceFraming::k5A5A, std::string(Field(text, 13, 2))};
        if (Is4040Answer(text) && Field(text, 13, 2) == "80")
            return {TraceFraming::k4040, std::string(Field(text, 15, 2))};
    }
    if (text.size() >= kShortestEDEDFrame && IsEDEDAnswer(text) && EDEDChecksumOk(text))
        return {TraceFraming::kEDED, std::string(Field(text, 5, 2))};
    return {};
}

} // namespace

FrameTraceRecord TraceRequest(std::string_view bytes) {
    FrameTraceRecord record;
    record.bytes = bytes;
    const RequestShape shape = ShapeOf(BytesToHex(bytes));
    record.framing = shape.framing;
    if (shape.framing == TraceFraming::kRaw)
        return record;
    const auto number = static_cast<std::uint8_t>(HexByteValue(shape.number));
    const Framing framing = shape.framing == TraceFraming::kEDED ? Framing::kEDED : Framing::k5A5A;
    record.name = RequestCode(number, framing) + " " +
                  CommandName(number, shape.framing == TraceFraming::k4040);
    return record;
}

FrameTraceRecord TraceAnswer(std::string_view bytes, Framing handler,
                             std::string_view lastCommand) {
    FrameTraceRecord record;
    record.direction = TraceDirection::kReceived;
    record.bytes = bytes;
    const std::string text = BytesToHex(bytes);
    const AnswerResult result = AcceptAnswer(text, handler, lastCommand);
    record.verdict = VerdictOf(result.event);
    if (record.verdict == TraceVerdict::kNotAFrame)
        return record;
    AnswerFrame frame = handler == Framing::kEDED ? ParseEDEDAnswer(text) : AnswerFrame{};
    if (frame.check == AnswerCheck::kNotFrame)
        frame = ParseTrailerAnswer(text);
    record.framing = TraceFramingOf(frame.framing);
    if (record.verdict == TraceVerdict::kBadChecksum)
        return record;
    const bool io = frame.framing == Framing::k4040;
    const auto code =
        static_cast<std::uint8_t>(HexByteValue(Field(frame.code, frame.code.size() - 1, 2)));
    std::string said;
    switch (record.verdict) {
    case TraceVerdict::kRefused:
        said = "answer to " + CommandName(code, io) + ", awaited " +
               Or(std::string(lastCommand), "nothing");
        break;
    case TraceVerdict::kIgnored:
        said = "unknown answer";
        break;
    default:
        said = Accepted(result.event, code, io);
    }
    record.name = frame.code + " " + said;
    return record;
}

FrameTraceRecord TraceNoAnswer(const FrameTraceRecord& request) {
    FrameTraceRecord record;
    record.direction = TraceDirection::kReceived;
    record.framing = request.framing;
    record.verdict = TraceVerdict::kNoAnswer;
    record.name = request.name.empty() ? "" : "awaited " + request.name;
    return record;
}

std::vector<std::string> FrameTraceFields(const FrameTraceRecord& record) {
    std::string hex = BytesToHex(record.bytes, true);
    if (!hex.empty())
        hex.pop_back(); // the space after the last byte
    return {std::to_string(record.sinceStart.count()),
            UtcText(record.wallClock),
            record.direction == TraceDirection::kSent ? "out" : "in",
            record.port,
            record.lineSetting,
            FramingText(record.framing),
            record.name,
            std::to_string(record.bytes.size()),
            std::move(hex),
            VerdictText(record.verdict),
            record.roundTrip ? std::to_string(record.roundTrip->count()) + " ms" : ""};
}

std::string FormatFrameTrace(const FrameTraceRecord& record) {
    std::string line;
    for (const std::string& field : FrameTraceFields(record))
        Column(line, field);
    return line;
}

} // namespace core
