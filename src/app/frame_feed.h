// Every frame through the serial link as trace records, for the frame monitor and the session
// log: the link's observer feeds a tracker that follows the receive poll, tick by tick.
#pragma once

#include "core/frame_tracker.h"
#include "form/globals.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QTimer;
namespace serial {
class Link;
}

class FrameFeed : public QObject {
    Q_OBJECT
public:
    using Reader = std::function<void(const core::FrameTraceRecord&)>;
    using ReaderId = std::uint64_t;

    // `poll` is the receive poll's timer; the feed's tick follows each of its ticks.
    FrameFeed(serial::Link& link, const Globals& g, QTimer& poll);
    ~FrameFeed() override;

    // The link is only watched while someone reads: a closed monitor and an unset log cost the
    // poll nothing. Not to be called from within a reader.
    ReaderId AddReader(Reader reader);
    void RemoveReader(ReaderId id);

    // The receive poll's tick as the tracker hears it; the timer calls it after the poll.
    void Tick();

private:
    core::TraceSetting Setting() const;
    void Deliver(const core::FrameTraceRecord& record);

    serial::Link& m_link;
    const Globals& m_g;
    const core::FrameTracker::Clock::time_point m_start;
    const std::chrono::system_clock::time_point m_wallAtStart;
    std::unique_ptr<core::FrameTracker> m_tracker; // while someone reads
    std::uint64_t m_observer = 0;
    std::vector<std::pair<ReaderId, Reader>> m_readers;
    ReaderId m_nextId = 1;
};
