// Input rules the pair test and terminal tabs share: the keys their hex entry takes, the data
// their fields hold as bytes, and memos that a double click empties.
#pragma once

#include "core/hex.h"

#include <QString>
#include <memory>
#include <vector>

class EventHook;
class QKeyEvent;
class QPlainTextEdit;

// The characters hex entry takes: space, 0 to 9, A to F and a to f.
bool IsHexEntryChar(QChar c);
// Whether a whole field is hex entry: what the key check lets through, and so what a paste,
// which the key check never sees, must hold before the field is sent.
bool IsHexEntry(const QString& text);

enum class HexKey { kNotTyping, kAccepted, kRefused };
// A key that types nothing (an arrow, a shortcut such as copy or paste) is no entry and passes;
// backspace and the hex characters are accepted; anything else typed is refused.
HexKey ClassifyHexKey(const QKeyEvent& key);

// Received bytes as the memos show them: UTF-8 where they are that, otherwise one character per
// byte, so that no byte is lost to a replacement mark.
QString BytesAsText(const core::Bytes& bytes);
// A field's text as the bytes that go out (UTF-8), and hex entry as its bytes.
core::Bytes TextBytes(const QString& text);
core::Bytes HexTextBytes(const QString& text);

// Each memo is emptied by a double click.
void ClearOnDoubleClick(std::vector<std::unique_ptr<EventHook>>& hooks,
                        std::initializer_list<QPlainTextEdit*> memos);
