// The sending side of the pair test: a test frame written raw and logged, counted and recorded,
// and the timed sending that repeats the frame sent last.
#include "pair_test_tab.h"

#include "core/services.h"
#include "form/status_panels.h"
#include "pair_test_shown.h"
#include "serial/link.h"
#include "tab_input.h"
#include "ui_main_window.h"

using pair_test::AddLogLine;
using pair_test::Count;
using pair_test::MsBetween;

void PairTestTab::Timer3Timer() {
    if (m_ui.RadioButton2->isChecked())
        SendTestFrame(m_state.LastSentData, StatePairTimed);
}

bool PairTestTab::SendTestFrame(const core::Bytes& data, int state) {
    Ui::TForm1& ui = m_ui;
    const PairTestState& g = m_state;
    if (data.empty()) {
        m_timer3.stop();
        m_services.dialogs.Warning(g.Message(core::TextId::kPairSendNull));
        return false;
    }
    g.PollSuspended = true;
    const bool sent = m_link.SendRaw(g.Line.CurrentPort, data);
    if (sent) {
        g.LastSentData = data;
        g.AppState = state;
        const bool counted = state == StatePairReply || state == StatePairTimed;
        if (state == StatePairReply)
            m_status.Set(1, Text(MainTransmitter() ? core::TextId::kWorkModeMainTx
                                                   : core::TextId::kWorkModeMainRx));
        else if (state == StatePairTimed)
            m_status.Set(1, Text(core::TextId::kWorkModeTimed));
        else
            m_status.Set(1, Text(core::TextId::kWorkModeData));
        m_status.Set(2, Text(counted ? core::TextId::kPairDataSent : core::TextId::kDataSent));
        if (counted) {
            const bool hex = ui.RadioButton3->isChecked();
            const QString shown =
                hex ? QString::fromLatin1(core::BytesToHex(data, true)) : BytesAsText(data);
            AddLogLine(ui.Memo1, shown);
            ui.Edit4->setText(shown);
            ui.Edit12->setText(Count(static_cast<std::int64_t>(data.size())));
            core::CountSentFrame(g.Tally, data.size(), MainTransmitter());
            ui.Label23->setText(Count(g.Tally.tx_bytes));
            ui.Edit5->setText(Count(g.Tally.sent));
            ShowRate();
            ShowTrips();
            m_sentSinceStart = true;
            m_record.Add({MsBetween(m_runStart, m_lastSend), true, data, core::FrameVerdict::kNone,
                          std::nullopt});
            ArmAnswerWait();
        }
    }
    g.PollSuspended = false;
    return sent;
}
