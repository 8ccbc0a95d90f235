// The window's side of the exchange with the module: every frame written through the link is
// known to one exchange engine, which the receive feeds when the port has bytes and wakes when
// a deadline of its own has come. What the engine completes goes to the command sequence as an
// answer, to the pair test or to the terminal, by the application state; what is no answer goes
// to the receive log. The engine's records go to the frame monitor and the session log. A framed
// answer is handed on as soon as it is whole; anything else once the line has been quiet for the
// frame delay.
//
// It is also the window's port as an Exchanger: an exchange that awaits each reply itself (the
// profile entries') queues its requests on the same engine, which judges their answers against
// their own commands and passes over what they do not await, while the window's own answers
// wait.
#pragma once

#include "core/exchange_engine.h"
#include "core/hex.h"
#include "form/globals.h"
#include "serial/exchanger.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <map>
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

// Where each record of the engine goes, with when it happened.
using RecordsOut =
    std::function<void(core::FrameTraceRecord record, std::chrono::steady_clock::time_point at)>;

class ReceiveLoop : public QObject, public serial::Exchanger {
public:
    // Watches the current port's readiness through `commFun` and takes what waits from `link`.
    // `timer1`, at the receive period, polls a port whose library cannot tell when bytes wait,
    // and the port while the receive is suspended. Every record goes to `records`; a module's
    // new serial settings are followed through `reopenPort` (rate code, parity code).
    ReceiveLoop(Ui::TForm1& ui, const ReceiveState& state, StatusPanels& status, QTimer& timer1,
                CommandSequence& sequence, PairTestTab& pairTest, serial::Link& link,
                TCommFun& commFun, RecordsOut records, std::function<void(int, int)> reopenPort);
    ~ReceiveLoop() override;

    // One receive step: takes what waits and hands on what is complete. The port's readiness,
    // the engine's deadline and `timer1` call it.
    void Timer1Timer();
    // The same step as at `now`: tests decide how much quiet has passed.
    void Step(core::ExchangeTime now);
    // Bytes received and not handed on yet.
    std::size_t Held() const { return m_engine.Held(); }

    // The Exchanger: `done` runs once the reply has come, never within Submit.
    void Submit(const core::Command& command, std::string_view payload,
                std::chrono::milliseconds wait, std::string_view id, Done done) override;
    std::string FollowLine(int baud, int parity, std::chrono::milliseconds settle) override;
    core::Framing FramingOf(const core::Command& command) const override;
    const std::string& Name() const override;
    const std::string& Variant() const override { return m_state.VariantType; }
    int Parity() const override;
    const std::string& RefusalHint() const override { return m_refusalHint; }

private:
    // Follows the current port: its descriptor when it has one, else `timer1`'s poll.
    void Watch();
    void StopWatching();
    void UpdateFrameDelay();
    // Tells the engine of a frame the link wrote: a request awaits its answer.
    void Sent(const serial::Traffic& traffic);
    // How the engine takes what no request awaits, in the current state.
    void Listen();
    // Writes the queued requests the engine lets go now.
    void SendDue(core::ExchangeTime now);
    // The port closed or vanished: what is queued or awaited ends.
    void Lost();
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
    RecordsOut m_records;
    std::function<void(int, int)> m_reopenPort;
    const core::ExchangeTime m_origin;
    core::ExchangeEngine m_engine;
    QSocketNotifier* m_notifier = nullptr; // a child, while the port has a descriptor
    QTimer m_deadline;                     // the engine's next deadline
    QTimer m_delayUpdate;                  // after a send: its frame delay
    std::uint64_t m_sentObserver = 0;
    bool m_sendingDue = false;                 // SendDue writes: the engine knows already
    std::map<core::RequestId, Done> m_awaited; // Submit's requests, until their replies
    mutable std::string m_name;                // "COM3"
    const std::string m_refusalHint = " (the frame monitor shows its answer)";
};
