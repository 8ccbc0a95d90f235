#include "tab_input.h"

#include "catalogue/event_hook.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <algorithm>

bool IsHexEntryChar(QChar c) {
    return c == QLatin1Char(' ') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

bool IsHexEntry(const QString& text) {
    return std::all_of(text.begin(), text.end(), IsHexEntryChar);
}

HexKey ClassifyHexKey(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Backspace)
        return HexKey::kAccepted;
    const QString text = key.text();
    const bool shortcut = key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (text.isEmpty() || shortcut)
        return HexKey::kNotTyping;
    for (const QChar c : text) {
        if (!IsHexEntryChar(c))
            return HexKey::kRefused;
    }
    return HexKey::kAccepted;
}

QString BytesAsText(const core::Bytes& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text;
}

core::Bytes TextBytes(const QString& text) {
    return text.toStdString();
}

core::Bytes HexTextBytes(const QString& text) {
    return core::HexToBytes(text.toStdString());
}

void ClearOnDoubleClick(std::vector<std::unique_ptr<EventHook>>& hooks,
                        std::initializer_list<QPlainTextEdit*> memos) {
    for (QPlainTextEdit* memo : memos) {
        // The text area, not the frame around it, receives the clicks.
        hooks.push_back(std::make_unique<EventHook>(memo->viewport(), [memo](QEvent* event) {
            if (event->type() != QEvent::MouseButtonDblClick)
                return false;
            memo->clear();
            return true;
        }));
    }
}
