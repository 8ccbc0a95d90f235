// The session log option: while it is on, every record of the feed is appended to the log of
// the day in the start directory. A log that cannot be written is reported once in a warning
// box; the tool goes on without it until the option is set again.
#pragma once

#include "form/globals.h"
#include "frame_feed.h"
#include "session_log.h"

#include <QObject>
#include <memory>

namespace core {
class Dialogs;
}

class SessionLogSwitch : public QObject {
    Q_OBJECT
public:
    // The log's lines are handed to the system once the work that wrote them is done.
    SessionLogSwitch(FrameFeed& feed, const Globals& g, core::Dialogs& dialogs);
    ~SessionLogSwitch() override;

    void Set(bool on);

private:
    void Write(const core::FrameTraceRecord& record);
    void Flush();
    void Failed(const std::filesystem::path& file);

    FrameFeed& m_feed;
    const Globals& m_g;
    core::Dialogs& m_dialogs;
    std::unique_ptr<SessionLog> m_log;
    FrameFeed::ReaderId m_reader = 0;
    bool m_failed = false;
    bool m_flushQueued = false;
};
