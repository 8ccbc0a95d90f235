// Every frame's trace record, for the frame monitor and the session log: the window's exchange
// engine delivers its records here, each with the verdict it gave, and the feed hands them to
// whoever reads.
#pragma once

#include "core/frame_trace.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class FrameFeed {
public:
    using Reader = std::function<void(const core::FrameTraceRecord&)>;
    using ReaderId = std::uint64_t;

    FrameFeed();

    // A closed monitor and an unset log cost nothing but the record itself. Not to be called
    // from within a reader.
    ReaderId AddReader(Reader reader);
    void RemoveReader(ReaderId id);

    // Counts the record's time from the window's start, so lines of a day compare.
    void Record(core::FrameTraceRecord record, std::chrono::steady_clock::time_point at);

private:
    const std::chrono::steady_clock::time_point m_start;
    const std::chrono::system_clock::time_point m_wallAtStart;
    std::vector<std::pair<ReaderId, Reader>> m_readers;
    ReaderId m_nextId = 1;
};
