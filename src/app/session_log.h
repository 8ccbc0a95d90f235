// The session log: every trace line appended to a file of the day in the start directory,
// "qxtool-2026-12-08.log", the day being the UTC day of the line's wall clock.
#pragma once

#include "core/frame_trace.h"

#include <cstdio>
#include <filesystem>
#include <string>

class SessionLog {
public:
    explicit SessionLog(std::filesystem::path dir);
    ~SessionLog();
    SessionLog(const SessionLog&) = delete;
    SessionLog& operator=(const SessionLog&) = delete;

    // False when the line could not be written; a new file begins with the column names.
    bool Append(const core::FrameTraceRecord& record);
    // Hands the buffered lines to the system, so a crash loses at most one poll's worth.
    bool Flush();

    // The file of the day of `at`.
    std::filesystem::path FileFor(std::chrono::system_clock::time_point at) const;

private:
    bool Open(const std::filesystem::path& file);

    std::filesystem::path m_dir;
    std::filesystem::path m_path; // of the open file
    std::FILE* m_file = nullptr;
    bool m_dirty = false;
};
