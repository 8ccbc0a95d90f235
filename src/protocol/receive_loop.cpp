#include "receive_loop.h"

#include "answer_handler.h"
#include "core/receive_timing.h"
#include "form/status_panels.h"
#include "memo_log.h"
#include "operations/pair_test_tab.h"
#include "operations/tab_input.h"
#include "serial/commfunction.h"
#include "serial/link.h"
#include "ui_main_window.h"

#include <QSocketNotifier>

ReceiveLoop::ReceiveLoop(Ui::TForm1& ui, const ReceiveState& state, StatusPanels& status,
                         QTimer& timer1, AnswerHandler& answers, PairTestTab& pairTest,
                         serial::Link& link, TCommFun& commFun)
    : m_ui(ui), m_state(state), m_status(status), m_timer1(timer1), m_answers(answers),
      m_pairTest(pairTest), m_link(link), m_commFun(commFun) {
    connect(&timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    m_quiet.setSingleShot(true);
    // A coarse timer may fire a few milliseconds early and be started again, or as late: the
    // frame delay alone sets when a test frame is complete.
    m_quiet.setTimerType(Qt::PreciseTimer);
    connect(&m_quiet, &QTimer::timeout, this, [this] { Timer1Timer(); });
    // The frame delay shows what a change of the option or a pair-test frame makes of it; the
    // sender sets its state once the frame is out, so the update comes after the send.
    m_delayUpdate.setSingleShot(true);
    m_delayUpdate.setInterval(0);
    connect(&m_delayUpdate, &QTimer::timeout, this, [this] { UpdateFrameDelay(); });
    connect(ui.SpinEdit2, &QSpinBox::valueChanged, this, [this] { UpdateFrameDelay(); });
    connect(ui.CheckBox2, &QCheckBox::toggled, this, [this] { UpdateFrameDelay(); });
    m_sentObserver = link.AddObserver([this](const serial::Traffic& traffic) {
        if (traffic.direction == serial::Direction::kSent)
            m_delayUpdate.start();
    });
    // An open, a close or a lost device changes the descriptor to watch.
    commFun.OnPortChange([this] {
        StopWatching();
        Watch();
    });
    Watch();
}

ReceiveLoop::~ReceiveLoop() {
    m_commFun.OnPortChange({});
    m_link.RemoveObserver(m_sentObserver);
}

void ReceiveLoop::Timer1Timer() {
    const ReceiveState& g = m_state;
    if (g.PollSuspended) {
        // Bytes wait in the port until the suspension ends; the readiness would report them
        // again and again, so the receive period's poll looks for the end instead.
        if (m_notifier)
            m_notifier->setEnabled(false);
        if (!m_timer1.isActive())
            m_timer1.start();
        return;
    }
    const core::Bytes received = m_link.Receive(g.Line.CurrentPort);
    if (!received.empty()) {
        g.ReceiveBuffer += received;
        g.LastReceive = std::chrono::steady_clock::now();
    }
    UpdateFrameDelay();
    HandOnComplete();
    Watch();
}

void ReceiveLoop::Watch() {
    const int readiness = m_commFun.Readiness(m_state.Line.CurrentPort);
    if (readiness == serial::kSioNoReadiness) {
        StopWatching();
        if (!m_timer1.isActive())
            m_timer1.start();
        return;
    }
    m_timer1.stop();
    if (m_notifier && m_notifier->socket() != readiness)
        StopWatching();
    if (readiness < 0)
        return;
    if (!m_notifier) {
        m_notifier = new QSocketNotifier(readiness, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { Timer1Timer(); });
    }
    m_notifier->setEnabled(true);
}

void ReceiveLoop::StopWatching() {
    if (!m_notifier)
        return;
    // The step that found the port gone may run within the notifier's own signal.
    m_notifier->setEnabled(false);
    m_notifier->deleteLater();
    m_notifier = nullptr;
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

void ReceiveLoop::HandOnComplete() {
    const ReceiveState& g = m_state;
    for (;;) {
        // An answer's handler may change the state, so each piece is judged by the state of its
        // own hand-on.
        const bool framed = g.AppState == StateCommand;
        const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - g.LastReceive);
        const core::ReceiveCut cut = core::CutReceived(g.ReceiveBuffer, quiet, g.FrameDelayMs,
                                                       framed, core::AnswerQuiet(g.Line.BaudRate));
        if (cut.length == 0) {
            g.DataPending = !g.ReceiveBuffer.empty();
            if (g.DataPending)
                m_quiet.start(cut.recheck);
            else
                m_quiet.stop();
            return;
        }
        // A stream without pauses is cut at the bound; the rest waits for the next hand-on.
        core::Bytes complete = g.ReceiveBuffer.substr(0, cut.length);
        g.ReceiveBuffer.erase(0, cut.length);
        g.DataPending = !g.ReceiveBuffer.empty();
        HandOn(std::move(complete));
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
