#include "session_log.h"

#include "core/utc_text.h"

SessionLog::SessionLog(std::filesystem::path dir) : m_dir(std::move(dir)) {}

SessionLog::~SessionLog() {
    if (m_file != nullptr)
        std::fclose(m_file);
}

std::filesystem::path SessionLog::FileFor(std::chrono::system_clock::time_point at) const {
    return m_dir / ("qxtool-" + core::UtcDate(at) + ".log");
}

bool SessionLog::Append(const core::FrameTraceRecord& record) {
    const std::filesystem::path file = FileFor(record.wallClock);
    if ((file != m_path || m_file == nullptr) && !Open(file))
        return false;
    const std::string line = core::FormatFrameTrace(record) + '\n';
    m_dirty = true;
    return std::fwrite(line.data(), 1, line.size(), m_file) == line.size();
}

bool SessionLog::Flush() {
    if (m_file == nullptr || !m_dirty)
        return true;
    m_dirty = false;
    return std::fflush(m_file) == 0;
}

bool SessionLog::Open(const std::filesystem::path& file) {
    if (m_file != nullptr)
        std::fclose(m_file);
    m_path = file;
    m_file = std::fopen(file.c_str(), "a");
    if (m_file == nullptr)
        return false;
    // Another run of the same day may have begun the file already.
    if (std::fseek(m_file, 0, SEEK_END) == 0 && std::ftell(m_file) == 0) {
        const std::string head = std::string(core::kFrameTraceColumns) + '\n';
        return std::fwrite(head.data(), 1, head.size(), m_file) == head.size();
    }
    return true;
}
