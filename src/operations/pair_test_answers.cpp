// The timers around the pair test's answers: the main transmitter's wait for the answer to the
// frame it sent (a resend, or a note that it waits), and the pause before a received frame is
// answered, during which the window goes on.
#include "pair_test_tab.h"

#include "core/services.h"
#include "form/status_panels.h"
#include "pair_test_shown.h"
#include "ui_main_window.h"

#include <algorithm>
#include <memory>

using pair_test::MsBetween;

bool PairTestTab::AwaitingAnswer() const {
    // Only the answer-driven test of a main transmitter waits for answers.
    return m_state.AppState == StatePairReply && MainTransmitter() && !m_answerStopFlag &&
           m_state.Tally.awaiting;
}

void PairTestTab::ArmAnswerWait() {
    if (!AwaitingAnswer()) {
        m_resend.stop();
        return;
    }
    // The wait runs from the frame's send, also when resend is switched on while it waits.
    const int waitMs =
        m_ui.CheckBoxResend->isChecked() ? m_ui.SpinEditResend->value() : 2 * m_state.FrameDelayMs;
    const std::int64_t waited = MsBetween(m_lastSend, std::chrono::steady_clock::now());
    m_resend.start(static_cast<int>(std::max<std::int64_t>(0, waitMs - waited)));
}

void PairTestTab::ResendTimerTimer() {
    if (!AwaitingAnswer())
        return;
    if (m_ui.CheckBoxResend->isChecked())
        SendTestFrame(m_state.LastSentData, StatePairReply);
    else
        m_status.Set(2, Text(core::TextId::kPairAwaitingAnswer));
}

void PairTestTab::AnswerAfterPause(core::Bytes frame) {
    // The window goes on during the pause: a frame that comes meanwhile is judged and counted
    // at once and gets an answer of its own after its own pause, in the order they came.
    const auto ticket = std::make_shared<std::uint64_t>(0);
    *ticket = m_services.later.After(m_ui.SpinEdit4->value(), [this, ticket, frame] {
        std::erase(m_waitingAnswers, *ticket);
        const int state = m_state.AppState;
        if (!m_answerStopFlag && (state == StatePairReply || state == StatePairTimed))
            SendTestFrame(frame, StatePairReply);
    });
    m_waitingAnswers.push_back(*ticket);
}

void PairTestTab::CancelAnswers() {
    for (const std::uint64_t ticket : m_waitingAnswers)
        m_services.later.Cancel(ticket);
    m_waitingAnswers.clear();
}
