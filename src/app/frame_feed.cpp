#include "frame_feed.h"

#include <algorithm>

FrameFeed::FrameFeed()
    : m_start(std::chrono::steady_clock::now()), m_wallAtStart(std::chrono::system_clock::now()) {}

FrameFeed::ReaderId FrameFeed::AddReader(Reader reader) {
    m_readers.emplace_back(m_nextId, std::move(reader));
    return m_nextId++;
}

void FrameFeed::RemoveReader(ReaderId id) {
    std::erase_if(m_readers, [id](const auto& reader) { return reader.first == id; });
}

void FrameFeed::Record(core::FrameTraceRecord record, std::chrono::steady_clock::time_point at) {
    if (m_readers.empty())
        return;
    record.sinceStart = std::chrono::duration_cast<std::chrono::milliseconds>(at - m_start);
    record.wallClock =
        m_wallAtStart +
        std::chrono::duration_cast<std::chrono::system_clock::duration>(at - m_start);
    for (const auto& [id, reader] : m_readers)
        reader(record);
}
