// The window's receive: wakes when the port has bytes, collects them and hands them on, to the
// answer handler, the pair test or the terminal, by the application state. A framed answer goes
// on as soon as it is whole; anything else once the line has been quiet for the frame delay.
#pragma once

#include "core/hex.h"
#include "form/globals.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <string>

class AnswerHandler;
class PairTestTab;
class QSocketNotifier;
class StatusPanels;
class TCommFun;
namespace serial {
class Link;
}
namespace Ui {
class TForm1;
}

// What the receive reads and changes of the session: the receive fields, the port it watches,
// and for handing on the state, the pair test's last frame and stop flag, and the variant.
struct ReceiveState : SessionLanguage {
    const int& AppState;
    std::string& ReceiveBuffer;
    std::chrono::steady_clock::time_point& LastReceive;
    int& FrameDelayMs;
    const bool& PollSuspended;
    bool& DataPending;
    const std::string& LastSentData;
    const bool& TestStopFlag;
    const core::LineSettings& Line;
};

class ReceiveLoop : public QObject {
public:
    // Watches the current port's readiness through `commFun` and takes what waits from `link`.
    // `timer1`, at the receive period, polls a port whose library cannot tell when bytes wait,
    // and the port while the receive is suspended.
    ReceiveLoop(Ui::TForm1& ui, const ReceiveState& state, StatusPanels& status, QTimer& timer1,
                AnswerHandler& answers, PairTestTab& pairTest, serial::Link& link,
                TCommFun& commFun);
    ~ReceiveLoop() override;

    // One receive step: takes what waits and hands on what is complete. The port's readiness,
    // the quiet timer and `timer1` call it; tests call it to step by hand.
    void Timer1Timer();

private:
    // Follows the current port: its descriptor when it has one, else `timer1`'s poll.
    void Watch();
    void StopWatching();
    void UpdateFrameDelay();
    void HandOnComplete();
    void HandOn(core::Bytes received);
    void ShowInTerminal(const core::Bytes& received);

    Ui::TForm1& m_ui;
    ReceiveState m_state;
    StatusPanels& m_status;
    QTimer& m_timer1;
    AnswerHandler& m_answers;
    PairTestTab& m_pairTest;
    serial::Link& m_link;
    TCommFun& m_commFun;
    QSocketNotifier* m_notifier = nullptr; // a child, while the port has a descriptor
    QTimer m_quiet;                        // when silence may complete what is held
    QTimer m_delayUpdate;                  // after a send: its frame delay
    std::uint64_t m_sentObserver = 0;
};
