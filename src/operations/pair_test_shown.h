// Small helpers the pair test tab's files share: how its logs and counts show, and the
// milliseconds between two moments of its run.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <chrono>
#include <cstdint>

namespace pair_test {

constexpr int kLogLineLimit = 1000;

// The send log, and the receive log in text display, start afresh past 1000 lines.
inline void AddLogLine(QPlainTextEdit* memo, const QString& line) {
    if (memo->document()->blockCount() > kLogLineLimit)
        memo->clear();
    memo->appendPlainText(line);
}

inline QString Count(std::int64_t value) {
    return QString::number(value);
}

inline std::int64_t MsBetween(std::chrono::steady_clock::time_point from,
                              std::chrono::steady_clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

} // namespace pair_test
