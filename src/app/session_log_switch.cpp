#include "session_log_switch.h"

#include "core/services.h"

#include <QTimer>

SessionLogSwitch::SessionLogSwitch(FrameFeed& feed, const Globals& g, core::Dialogs& dialogs)
    : m_feed(feed), m_g(g), m_dialogs(dialogs) {}

SessionLogSwitch::~SessionLogSwitch() {
    Set(false);
}

void SessionLogSwitch::Set(bool on) {
    if (m_reader != 0)
        m_feed.RemoveReader(m_reader);
    m_reader = 0;
    if (m_log)
        m_log->Flush();
    m_log.reset();
    m_failed = false;
    if (!on)
        return;
    m_log = std::make_unique<SessionLog>(m_g.StartDir);
    m_reader = m_feed.AddReader([this](const core::FrameTraceRecord& r) { Write(r); });
}

void SessionLogSwitch::Write(const core::FrameTraceRecord& record) {
    if (!m_failed && !m_log->Append(record))
        Failed(m_log->FileFor(record.wallClock));
    // One flush for the records of one send or one receive.
    if (m_failed || m_flushQueued)
        return;
    m_flushQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_flushQueued = false;
        Flush();
    });
}

void SessionLogSwitch::Flush() {
    if (m_log && !m_failed && !m_log->Flush())
        Failed(m_log->FileFor(std::chrono::system_clock::now()));
}

void SessionLogSwitch::Failed(const std::filesystem::path& file) {
    m_failed = true;
    const SessionLanguage language{m_g.LangCode, m_g.VariantType};
    const std::string text = language.Message(core::TextId::kSessionLogFailed) + file.string();
    // The failure comes within a send or a poll, whose own status text would replace one of
    // ours at once; the box comes when that work is done, outside the feed's readers.
    QTimer::singleShot(0, this, [this, text] { m_dialogs.Warning(text); });
}
