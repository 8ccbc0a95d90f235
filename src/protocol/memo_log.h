// The receive log and the terminal memo start afresh at 1000 lines, so neither grows without
// end however long the tool runs.
#pragma once

class QPlainTextEdit;
class QString;

// Clears `memo` when it holds 1000 lines or more.
void ClearWhenFull(QPlainTextEdit* memo);
// Adds `line` to `memo`, clearing it first when full.
void AddMemoLine(QPlainTextEdit* memo, const QString& line);
