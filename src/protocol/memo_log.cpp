#include "memo_log.h"

#include <QPlainTextEdit>

namespace {
constexpr int kMemoLineLimit = 1000;
}

void ClearWhenFull(QPlainTextEdit* memo) {
    if (memo->document()->blockCount() >= kMemoLineLimit)
        memo->clear();
}

void AddMemoLine(QPlainTextEdit* memo, const QString& line) {
    ClearWhenFull(memo);
    memo->appendPlainText(line);
}
