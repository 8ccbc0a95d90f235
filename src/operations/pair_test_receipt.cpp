// The receipt of test data: a frame from the receive poll corrected when it is a shortened echo,
// shown, judged, counted and timed, and answered after the pause when the test answers.
#include "pair_test_tab.h"

#include "pair_test_shown.h"
#include "tab_input.h"
#include "ui_main_window.h"

#include <algorithm>

using pair_test::AddLogLine;
using pair_test::Count;
using pair_test::MsBetween;

void PairTestTab::ProcessTestReceipt(const core::Bytes& received, bool stopFlag, int state) {
    Ui::TForm1& ui = m_ui;
    const PairTestState& g = m_state;
    // After Stop a late frame is still counted and shown; the answer stop flag keeps it
    // unanswered.
    const bool late = state == StateStopped && stopFlag;
    if (!late && state != StatePairReply && state != StatePairTimed)
        return;
    m_resend.stop();
    ui.Edit11->setEnabled(true);
    const bool transmitter = MainTransmitter();
    const core::PairRole role =
        transmitter ? core::PairRole::MainTransmitter : core::PairRole::MainReceiver;
    // "回发纠错" turns the correction of shortened echoes on for this side; the "QXTEST"
    // variant, which measures the raw link, never corrects.
    const bool correctionOff = g.VariantType == "QXTEST" || !ui.CheckBox1->isChecked();
    const core::Bytes reference = transmitter ? g.LastSentData : g.Tally.last_good;
    const core::Bytes frame =
        core::CorrectEcho(reference, received, role, correctionOff) ? reference : received;

    if (ui.RadioButton3->isChecked()) {
        const QString hex = QString::fromLatin1(core::BytesToHex(frame, true));
        ui.Memo2->appendPlainText(hex);
        ui.Edit3->setText(hex);
        ui.Edit13->setText(Count(static_cast<std::int64_t>(frame.size())));
    } else {
        AddLogLine(ui.Memo2, BytesAsText(frame));
        ui.Edit3->setText(BytesAsText(frame));
        ui.Edit13->setText(Count(ui.Edit3->text().size()));
    }

    std::optional<core::Bytes> expected;
    if (ui.RadioButton14->isChecked())
        expected = TextBytes(ui.Edit11->text());
    const bool right = core::JudgeTestReceipt(g.Tally, frame, role, g.LastSentData, expected);
    if (right)
        ui.Edit7->setText(Count(g.Tally.right));
    else
        ui.Edit8->setText(Count(g.Tally.wrong));
    core::CountReceivedFrame(g.Tally, frame.size());
    ui.Edit6->setText(Count(g.Tally.received));
    ui.Label25->setText(Count(g.Tally.rx_bytes));
    ShowRate();

    std::optional<std::int64_t> roundTrip;
    if (transmitter && m_sentSinceStart) {
        roundTrip = std::max<std::int64_t>(0, MsBetween(m_lastSend, m_lastArrival));
        m_trips.Add(*roundTrip);
    }
    ShowTrips();
    m_record.Add({MsBetween(m_runStart, m_lastArrival), false, frame,
                  right ? core::FrameVerdict::kRight : core::FrameVerdict::kWrong, roundTrip});

    if (!ui.RadioButton1->isChecked() || m_answerStopFlag)
        return;
    // The main receiver answers with the frame after correction, so a corrected frame goes
    // back as the text it stands for.
    AnswerAfterPause(transmitter ? g.LastSentData : frame);
}
