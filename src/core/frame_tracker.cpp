#include "frame_tracker.h"

#include "receive_timing.h"

namespace core {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

FrameTracker::FrameTracker(Clock::time_point start,
                           std::chrono::system_clock::time_point wallAtStart, Sink sink)
    : m_start(start), m_wallAtStart(wallAtStart), m_sink(std::move(sink)) {}

void FrameTracker::Sent(Clock::time_point at, std::string_view bytes, const TraceSetting& setting) {
    // A handler that sends in answer does so in the tick that handed its answer on, before the
    // tracker hears of that tick.
    Poll(at, setting);
    FrameTraceRecord record = TraceRequest(bytes);
    if (record.framing != TraceFraming::kRaw) {
        // A request sent before the last one was answered replaces it as the one awaited.
        if (m_request && !m_request->answered)
            MissedAnswer(at);
        m_request = Awaited{at, record, setting.port, setting.lineSetting};
        m_lastCommand = setting.lastCommand;
    }
    Emit(std::move(record), at, setting.port, setting.lineSetting);
}

void FrameTracker::Received(Clock::time_point at, std::string_view bytes,
                            const TraceSetting& setting) {
    if (m_buffer.empty()) {
        m_bufferPort = setting.port;
        m_bufferLine = setting.lineSetting;
        m_answerTo.reset();
        if (m_request && !m_request->answered) {
            m_request->answered = true;
            m_answerTo = m_request->sent;
        }
    }
    m_buffer += bytes;
    m_lastChunk = at;
    Poll(at, setting);
}

bool FrameTracker::Waiting() const {
    return !m_buffer.empty() || (m_request && !m_request->answered);
}

void FrameTracker::Poll(Clock::time_point now, const TraceSetting& setting) {
    for (;;) {
        // As the receive does: a whole answer at once, the rest after the frame delay.
        const ReceiveCut cut =
            CutReceived(m_buffer, duration_cast<milliseconds>(now - m_lastChunk),
                        setting.frameDelayMs, setting.judged, AnswerQuiet(setting.baudRate));
        if (cut.length == 0)
            break;
        const std::string_view complete = std::string_view(m_buffer).substr(0, cut.length);
        FrameTraceRecord record;
        if (setting.judged) {
            record = TraceAnswer(complete, setting.handler, m_lastCommand);
        } else {
            record.direction = TraceDirection::kReceived;
            record.bytes = complete;
        }
        if (m_answerTo)
            record.roundTrip = duration_cast<milliseconds>(m_lastChunk - *m_answerTo);
        m_answerTo.reset();
        m_buffer.erase(0, cut.length);
        Emit(std::move(record), m_lastChunk, m_bufferPort, m_bufferLine);
    }
    if (m_request && !m_request->answered &&
        duration_cast<milliseconds>(now - m_request->sent).count() > setting.frameDelayMs)
        MissedAnswer(now);
}

void FrameTracker::MissedAnswer(Clock::time_point at) {
    Awaited request = std::move(*m_request);
    m_request.reset();
    Emit(TraceNoAnswer(request.request), at, std::move(request.port),
         std::move(request.lineSetting));
}

void FrameTracker::Emit(FrameTraceRecord record, Clock::time_point at, std::string port,
                        std::string lineSetting) {
    record.sinceStart = duration_cast<milliseconds>(at - m_start);
    record.wallClock =
        m_wallAtStart + duration_cast<std::chrono::system_clock::duration>(at - m_start);
    record.port = std::move(port);
    record.lineSetting = std::move(lineSetting);
    m_sink(std::move(record));
}

} // namespace core
