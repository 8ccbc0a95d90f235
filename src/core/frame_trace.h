// One frame that passed the port, as a trace, a frame monitor and a session log show it: one
// record per request sent, answer received or answer missed, and one text line per record.
#pragma once

#include "catalogue.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

enum class TraceDirection { kSent, kReceived };
// kRaw: bytes no framing recognises (terminal data, noise, a cut answer).
enum class TraceFraming { k5A5A, kEDED, k4040, kRaw };
enum class TraceVerdict {
    kNone,        // a request: nothing to judge
    kAccepted,    // the answer to the command awaited, or a search answer
    kRefused,     // a good answer to another command than the one awaited
    kIgnored,     // a good frame with a code no answer row knows
    kBadChecksum, // a frame whose checksum does not hold
    kNotAFrame,   // text that no answer handler reads
    kNoAnswer,    // nothing arrived within the frame delay
};

struct FrameTraceRecord {
    std::chrono::milliseconds sinceStart{}; // monotonic, from the start of the trace
    std::chrono::system_clock::time_point wallClock{};
    TraceDirection direction = TraceDirection::kSent;
    std::string port;        // "COM3", "/dev/ttyUSB0"
    std::string lineSetting; // "9600 8E1"
    TraceFraming framing = TraceFraming::kRaw;
    std::string name; // "8010 read power-saving mode", "0010 power-saving mode = air wake-up"
    std::string bytes;
    TraceVerdict verdict = TraceVerdict::kNone;
    std::optional<std::chrono::milliseconds> roundTrip; // answers: since their request went out
};

// Framing, name and bytes of a request that went out; kRaw with an empty name for bytes that
// are no well-formed request. The caller adds times, port and line setting.
FrameTraceRecord TraceRequest(std::string_view bytes);
// A complete answer as the receive loop hands it on: `handler` and `lastCommand` as for
// AcceptAnswer, so the verdict is the one the tool acts upon.
FrameTraceRecord TraceAnswer(std::string_view bytes, Framing handler, std::string_view lastCommand);
// The answer to `request`, as TraceRequest made it, did not come within the frame delay: the
// record names the request and keeps its framing.
FrameTraceRecord TraceNoAnswer(const FrameTraceRecord& request);

// The record as one line without its end of line; tab-separated columns, "-" for an empty one:
//   ms since start   integer milliseconds, monotonic
//   wall clock       UTC, 2026-12-08T14:30:18.123Z
//   direction        "out" or "in"
//   port, line setting
//   framing          5A5A, EDED, 4040 or raw
//   name             the decoded command or answer
//   length           bytes
//   hex              upper case, a space between bytes
//   verdict          accepted, refused, ignored, bad checksum, not a frame, no answer
//   round trip       "12 ms"
// Tabs and line ends inside the caller's texts become spaces, so a line stays one record.
std::string FormatFrameTrace(const FrameTraceRecord& record);

// The same eleven columns as texts, before tabs and line ends are replaced: for tables and CSV.
std::vector<std::string> FrameTraceFields(const FrameTraceRecord& record);

// The column names in the same layout, for the head of a log file.
inline constexpr std::string_view kFrameTraceColumns = "ms\twall clock\tdir\tport\tline\tframing\t"
                                                       "name\tlength\thex\tverdict\tround trip";

} // namespace core
