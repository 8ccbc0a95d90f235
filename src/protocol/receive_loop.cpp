#include "receive_loop.h"

#include "answer_handler.h"
#include "core/receive_timing.h"
#include "form/status_panels.h"
#include "memo_log.h"
#include "operations/pair_test_tab.h"
#include "operations/tab_input.h"
#include "serial/link.h"
#include "ui_main_window.h"

#include <QTimer>

ReceiveLoop::ReceiveLoop(Ui::TForm1& ui, const ReceiveState& state, StatusPanels& status,
                         QTimer& timer1, AnswerHandler& answers, PairTestTab& pairTest,
                         serial::Link& link)
    : m_ui(ui), m_state(state), m_status(status), m_answers(answers), m_pairTest(pairTest),
      m_link(link) {
    QObject::connect(&timer1, &QTimer::timeout, &timer1, [this] { Timer1Timer(); });
}

void ReceiveLoop::Timer1Timer() {
    const ReceiveState& g = m_state;
    if (g.PollSuspended)
        return;
    const core::Bytes received = m_link.Receive(g.Line.CurrentPort);
    if (!received.empty()) {
        g.DataPending = true;
        g.ReceiveBuffer += received;
        g.LastReceive = std::chrono::steady_clock::now();
    }
    UpdateFrameDelay();
    const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - g.LastReceive);
    if (!core::BufferComplete(quiet, g.FrameDelayMs, g.ReceiveBuffer.size()))
        return;
    g.DataPending = false;
    // A stream without pauses is cut at the bound; the rest waits for the next hand-on.
    core::Bytes complete = g.ReceiveBuffer.substr(0, core::kReceiveBufferLimit);
    g.ReceiveBuffer.erase(0, complete.size());
    HandOn(std::move(complete));
}

void ReceiveLoop::UpdateFrameDelay() {
    const ReceiveState& g = m_state;
    Ui::TForm1& ui = m_ui;
    if (ui.CheckBox2->isChecked() || g.LastSentData.empty()) {
        g.FrameDelayMs = ui.SpinEdit2->value();
        return;
    }
    if (g.AppState != StatePairReply && g.AppState != StatePairTimed)
        return;
    // The pair test waits long enough for its own frame to cross both the PC's line and the air.
    // The line's rate is the one the port was last set to, not a choice in the dialog's list
    // that has not been opened yet: the frame crosses the line at the rate in force.
    if (const auto delay = core::PairFrameDelayMs(g.LastSentData.size(), g.Line.BaudRate)) {
        g.FrameDelayMs = *delay;
        ui.SpinEdit2->setValue(*delay);
    }
}

void ReceiveLoop::HandOn(core::Bytes received) {
    const ReceiveState& g = m_state;
    switch (g.AppState) {
    case StateCommand: {
        const std::string text = core::BytesToHex(received);
        if (g.Morvantelis())
            m_answers.HandleAnswerEDED(text);
        else
            m_answers.HandleAnswer5A5A(text);
        break;
    }
    case StateStopped:
    case StatePairReply:
    case StatePairTimed:
        m_status.Set(2, QString::fromUtf8(g.Message(core::TextId::kPairDataReceived)));
        ClearWhenFull(m_ui.Memo2);
        m_pairTest.ProcessTestReceipt(received, g.TestStopFlag, g.AppState);
        break;
    case StateDataComm:
        ShowInTerminal(received);
        break;
    default:
        // No other state takes data; it is dropped so that the buffer cannot pile up.
        break;
    }
}

void ReceiveLoop::ShowInTerminal(const core::Bytes& received) {
    Ui::TForm1& ui = m_ui;
    AddMemoLine(ui.Memo4, ui.RadioButton7->isChecked()
                              ? BytesAsText(received)
                              : QString::fromLatin1(core::BytesToHex(received)));
}
