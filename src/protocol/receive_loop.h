// The 20 ms receive poll: collects what the port delivers and hands it on after a quiet gap,
// to the answer handler, the pair test or the terminal, by the application state.
#pragma once

#include "core/hex.h"
#include "form/globals.h"

#include <chrono>

class AnswerHandler;
class QTimer;
class StatusPanels;
namespace serial {
class Link;
}
namespace Ui {
class TForm1;
}

class ReceiveLoop {
public:
    // Each tick of `timer1` polls: it takes what waits on the current port from `link`, and
    // hands complete answers to `answers`.
    ReceiveLoop(Ui::TForm1& ui, Globals& g, StatusPanels& status, QTimer& timer1,
                AnswerHandler& answers, serial::Link& link);

    void Timer1Timer();

    // The pair test's handling of one received frame. The pair test is not built yet, so the
    // frame ends here; it gets the bytes, the stop flag and the state the poll found.
    void ProcessTestReceipt(const core::Bytes& received, bool stopFlag, int state);

private:
    void UpdateFrameDelay();
    void HandOn(core::Bytes received);
    void ShowInTerminal(const core::Bytes& received);

    Ui::TForm1& m_ui;
    Globals& m_g;
    StatusPanels& m_status;
    AnswerHandler& m_answers;
    serial::Link& m_link;
};
