// The port's traffic as trace records: each frame sent, each answer as the receive hands it on
// (a framed answer once it is whole, other chunks joined until the line has been quiet for
// longer than the frame delay), and each request that nothing answered within the frame delay.
// The caller gives every time, so the tracker follows the receive it mirrors and tests set the
// clock; it never touches the port.
#pragma once

#include "frame_trace.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// What the tool does with the line at one moment.
struct TraceSetting {
    std::string port;        // "COM1"
    std::string lineSetting; // "9600 8N1"
    int frameDelayMs = 300;
    // The command state: what arrives goes to the answer handlers, which judge it; in the other
    // states it is test or terminal data.
    bool judged = true;
    Framing handler = Framing::k5A5A;
    // The text answers are accepted against when this request went out (the tool's LastCommand).
    std::string lastCommand;
    int baudRate = 9600; // for the quiet that ends an EDED answer
};

class FrameTracker {
public:
    using Clock = std::chrono::steady_clock;
    using Sink = std::function<void(FrameTraceRecord)>;

    // Times in the records count from `start`, which was `wallAtStart` on the wall clock.
    FrameTracker(Clock::time_point start, std::chrono::system_clock::time_point wallAtStart,
                 Sink sink);

    void Sent(Clock::time_point at, std::string_view bytes, const TraceSetting& setting);
    void Received(Clock::time_point at, std::string_view bytes, const TraceSetting& setting);
    // Hands on what the receive would have handed on by `now`, and reports a request left
    // unanswered for longer than the frame delay.
    void Poll(Clock::time_point now, const TraceSetting& setting);
    // Whether a later Poll may still emit something: bytes held, or a request awaited.
    bool Waiting() const;

private:
    struct Awaited {
        Clock::time_point sent;
        FrameTraceRecord request; // its framing and decoded name
        std::string port;
        std::string lineSetting;
        bool answered = false;
    };

    void Emit(FrameTraceRecord record, Clock::time_point at, std::string port,
              std::string lineSetting);
    void MissedAnswer(Clock::time_point at);

    Clock::time_point m_start;
    std::chrono::system_clock::time_point m_wallAtStart;
    Sink m_sink;
    std::optional<Awaited> m_request;
    std::string m_lastCommand;
    // What arrived since the last hand-on, where and when, and which request it answers.
    std::string m_buffer;
    Clock::time_point m_lastChunk;
    std::string m_bufferPort;
    std::string m_bufferLine;
    std::optional<Clock::time_point> m_answerTo;
};

} // namespace core
