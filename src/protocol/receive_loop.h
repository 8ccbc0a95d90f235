// The window's side of the exchange with the module: every frame written through the link is
// known to one exchange engine, which the receive feeds when the port has bytes and wakes when
// a deadline of its own has come. What the engine completes goes to the command sequence as an
// answer, to the pair test or to the terminal, by the application state; what is no answer goes
// to the receive log. The engine's records go to the frame monitor and
// the session log. A framed answer is handed on as soon as it is whole; anything else once the
// line has been quiet for the frame delay.
#pragma once

#include "core/exchange_engine.h"
#include "core/hex.h"
#include "form/globals.h"
#include "serial/record_sink.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <string>

class CommandSequence;
class PairTestTab;
class QSocketNotifier;
class StatusPanels;
class TCommFun;
namespace serial {
class Link;
struct Traffic;
} // namespace serial
namespace Ui {
class TForm1;
}

// What the receive reads and changes of the session: the command answers are judged against,
// the frame delay, the suspension and pending flags, the port it watches, and for handing on
// the state, the pair test's last frame and stop flag, and the variant.
struct ReceiveState : SessionLanguage {
    const int& AppState;
    const std::string& LastCommand;
    int& FrameDelayMs;
    const bool& PollSuspended;
    bool& DataPending;
    const std::string& LastSentData;
    const bool& TestStopFlag;
    const core::LineSettings& Line;
};

// It is also the record sink of an exchange that runs its own engine over the window's link
// (the profile entries): the traffic in between is that exchange's, and its records pass on.
class ReceiveLoop : public QObject, public serial::RecordSink {
public:
    // Watches the current port's readiness through `commFun` and takes what waits from `link`.
    // `timer1`, at the receive period, polls a port whose library cannot tell when bytes wait,
    // and the port while the receive is suspended. Every record goes to `records`.
    ReceiveLoop(Ui::TForm1& ui, const ReceiveState& state, StatusPanels& status, QTimer& timer1,
                CommandSequence& sequence, PairTestTab& pairTest, serial::Link& link,
                TCommFun& commFun, serial::RecordSink& records);
    ~ReceiveLoop() override;

    // One receive step: takes what waits and hands on what is complete. The port's readiness,
    // the engine's deadline and `timer1` call it.
    void Timer1Timer();
    // The same step as at `now`: tests decide how much quiet has passed.
    void Step(core::ExchangeTime now);
    // Bytes received and not handed on yet.
    std::size_t Held() const { return m_engine.Held(); }

    void ExchangeBegins() override;
    void ExchangeEnds() override;
    void Record(core::FrameTraceRecord record, std::chrono::steady_clock::time_point at) override;

private:
    // Follows the current port: its descriptor when it has one, else `timer1`'s poll.
    void Watch();
    void StopWatching();
    void UpdateFrameDelay();
    // Tells the engine of a frame the link wrote: a request awaits its answer.
    void Sent(const serial::Traffic& traffic);
    // How the engine takes what no request awaits, in the current state.
    void Listen();
    void HandOnReplies();
    void HandOn(const core::ExchangeReply& reply);
    void ShowInTerminal(const core::Bytes& received);
    // The engine's records, with the port and line they passed at, to `m_records`.
    void PassRecords();
    // The single-shot deadline timer, at the engine's next deadline.
    void Rearm(core::ExchangeTime now);

    Ui::TForm1& m_ui;
    ReceiveState m_state;
    StatusPanels& m_status;
    QTimer& m_timer1;
    CommandSequence& m_sequence;
    PairTestTab& m_pairTest;
    serial::Link& m_link;
    TCommFun& m_commFun;
    serial::RecordSink& m_records;
    const core::ExchangeTime m_origin;
    core::ExchangeEngine m_engine;
    QSocketNotifier* m_notifier = nullptr; // a child, while the port has a descriptor
    QTimer m_deadline;                     // the engine's next deadline
    QTimer m_delayUpdate;                  // after a send: its frame delay
    std::uint64_t m_sentObserver = 0;
    int m_foreign = 0; // exchanges with an engine of their own running over the link
};
