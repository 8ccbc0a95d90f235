#include "frame_feed.h"

#include "core/line_settings.h"
#include "serial/link.h"

#include <QTimer>
#include <algorithm>

FrameFeed::FrameFeed(serial::Link& link, const Globals& g)
    : m_link(link), m_g(g), m_start(core::FrameTracker::Clock::now()),
      m_wallAtStart(std::chrono::system_clock::now()) {
    m_tick.setSingleShot(true);
    connect(&m_tick, &QTimer::timeout, this, [this] { Tick(); });
}

FrameFeed::~FrameFeed() {
    if (m_tracker)
        m_link.RemoveObserver(m_observer);
}

FrameFeed::ReaderId FrameFeed::AddReader(Reader reader) {
    if (!m_tracker) {
        // Times keep counting from the window's start, so lines of a day compare.
        m_tracker = std::make_unique<core::FrameTracker>(
            m_start, m_wallAtStart, [this](core::FrameTraceRecord r) { Deliver(r); });
        m_observer = m_link.AddObserver([this](const serial::Traffic& traffic) {
            if (m_exchanges > 0)
                return;
            if (traffic.direction == serial::Direction::kSent)
                m_tracker->Sent(traffic.at, traffic.bytes, Setting());
            else
                m_tracker->Received(traffic.at, traffic.bytes, Setting());
            Rearm();
        });
    }
    m_readers.emplace_back(m_nextId, std::move(reader));
    return m_nextId++;
}

void FrameFeed::RemoveReader(ReaderId id) {
    std::erase_if(m_readers, [id](const auto& reader) { return reader.first == id; });
    if (m_readers.empty() && m_tracker) {
        m_link.RemoveObserver(m_observer);
        m_tracker.reset();
        m_tick.stop();
    }
}

void FrameFeed::Tick() {
    if (!m_tracker)
        return;
    m_tracker->Poll(core::FrameTracker::Clock::now(), Setting());
    Rearm();
}

void FrameFeed::ExchangeBegins() {
    ++m_exchanges;
}

void FrameFeed::ExchangeEnds() {
    --m_exchanges;
}

void FrameFeed::Record(core::FrameTraceRecord record, core::FrameTracker::Clock::time_point at) {
    record.sinceStart = std::chrono::duration_cast<std::chrono::milliseconds>(at - m_start);
    record.wallClock =
        m_wallAtStart +
        std::chrono::duration_cast<std::chrono::system_clock::duration>(at - m_start);
    Deliver(record);
}

void FrameFeed::Rearm() {
    if (m_tracker->Waiting())
        m_tick.start(m_g.FrameDelayMs + 1);
    else
        m_tick.stop();
}

core::TraceSetting FrameFeed::Setting() const {
    return {"COM" + std::to_string(m_g.Line.CurrentPort),
            core::LineSettingText(m_g.Line),
            m_g.FrameDelayMs,
            m_g.AppState == StateCommand,
            core::IsMorvantelis(m_g.VariantType) ? core::Framing::kEDED : core::Framing::k5A5A,
            m_g.LastCommand,
            m_g.Line.BaudRate};
}

void FrameFeed::Deliver(const core::FrameTraceRecord& record) {
    for (const auto& [id, reader] : m_readers)
        reader(record);
}
