// The 20 ms receive poll: collects what the port delivers and hands it on after a quiet gap,
// to the answer handler, the pair test or the terminal, by the application state.
#pragma once

#include "core/hex.h"
#include "form/globals.h"

#include <chrono>
#include <string>

class AnswerHandler;
class PairTestTab;
class QTimer;
class StatusPanels;
namespace serial {
class Link;
}
namespace Ui {
class TForm1;
}

// What the poll reads and changes of the session: the receive fields, the port it polls, and
// for handing on the state, the pair test's last frame and stop flag, and the variant.
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

class ReceiveLoop {
public:
    // Each tick of `timer1` polls: it takes what waits on the current port from `link`, and
    // hands complete answers to `answers` and test frames to `pairTest`.
    ReceiveLoop(Ui::TForm1& ui, const ReceiveState& state, StatusPanels& status, QTimer& timer1,
                AnswerHandler& answers, PairTestTab& pairTest, serial::Link& link);

    void Timer1Timer();

private:
    void UpdateFrameDelay();
    void HandOn(core::Bytes received);
    void ShowInTerminal(const core::Bytes& received);

    Ui::TForm1& m_ui;
    ReceiveState m_state;
    StatusPanels& m_status;
    AnswerHandler& m_answers;
    PairTestTab& m_pairTest;
    serial::Link& m_link;
};
