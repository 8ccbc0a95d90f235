// The window's port as an Exchanger whose replies come while the window's thread goes on: the
// command line's module port over the window's link, its engine moved on by a notifier on the
// port's descriptor and one single-shot timer at the engine's next deadline, never by a wait.
// Its records go to the window's frame monitor and session log as the blocking port's do.
#pragma once

#include "serial/module_exchange.h"

#include <QObject>
#include <QTimer>

class QSocketNotifier;

class WindowPort : public QObject, public serial::ModulePort {
public:
    // Over the port the window keeps open at `line`, with its variant.
    WindowPort(std::string name, TCommFun& commFun, serial::Link& link,
               const core::LineSettings& line, const std::string& variant,
               serial::RecordSink& records);
    ~WindowPort() override;

    // Queues the request and returns; `done` runs once its reply has come. One at a time. The
    // port must not be destroyed within `done`.
    void Submit(const core::Command& command, std::string_view payload,
                std::chrono::milliseconds wait, std::string_view id, Done done) override;

private:
    // Moves the engine on, hands the awaited reply on, and waits for what comes next.
    void Step();
    // Wakes at the engine's next deadline and, while a request is out, when bytes wait.
    void Arm();
    // A descriptor closed under the notifier would be polled as invalid: before the event loop
    // polls, a port its owner closed meanwhile is seen at once.
    void BeforePoll();

    QTimer m_wake;
    QSocketNotifier* m_notifier = nullptr; // a child, while a request is out
    core::RequestId m_awaited = 0;
    Done m_done;
};
