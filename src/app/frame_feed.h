// Every frame through the serial link as trace records, for the frame monitor and the session
// log: the link's observer feeds a tracker that follows the receive, and a timer wakes it when
// a frame delay may have passed. While an exchange that traces its own frames runs over the
// link (the profile entries'), its records and verdicts are shown instead of the tracker's.
#pragma once

#include "core/frame_tracker.h"
#include "form/globals.h"
#include "serial/record_sink.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace serial {
class Link;
}

class FrameFeed : public QObject, public serial::RecordSink {
    Q_OBJECT
public:
    using Reader = std::function<void(const core::FrameTraceRecord&)>;
    using ReaderId = std::uint64_t;

    FrameFeed(serial::Link& link, const Globals& g);
    ~FrameFeed() override;

    // The link is only watched while someone reads: a closed monitor and an unset log cost the
    // poll nothing. Not to be called from within a reader.
    ReaderId AddReader(Reader reader);
    void RemoveReader(ReaderId id);

    // Lets the tracker hand on what silence completed and report what went unanswered by now.
    void Tick();

    void ExchangeBegins() override;
    void ExchangeEnds() override;
    // Counts the record's time from the window's start, as the tracker's.
    void Record(core::FrameTraceRecord record, core::FrameTracker::Clock::time_point at) override;

private:
    core::TraceSetting Setting() const;
    void Deliver(const core::FrameTraceRecord& record);
    // Wakes the tracker once a frame delay from now, while it holds or awaits something.
    void Rearm();

    serial::Link& m_link;
    const Globals& m_g;
    const core::FrameTracker::Clock::time_point m_start;
    const std::chrono::system_clock::time_point m_wallAtStart;
    std::unique_ptr<core::FrameTracker> m_tracker; // while someone reads
    std::uint64_t m_observer = 0;
    std::vector<std::pair<ReaderId, Reader>> m_readers;
    ReaderId m_nextId = 1;
    int m_exchanges = 0; // running that trace themselves
    QTimer m_tick;
};
