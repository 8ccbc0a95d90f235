#include "data_terminal.h"

#include "catalogue/event_hook.h"
#include "command_sequence.h"
#include "core/services.h"
#include "form/pages.h"
#include "form/status_panels.h"
#include "pair_test_tab.h"
#include "tab_input.h"
#include "ui_main_window.h"

#include <QKeyEvent>

namespace {
constexpr int kPairTestPage = 1;
constexpr int kTerminalPage = 2;
} // namespace

DataTerminal::DataTerminal(Ui::TForm1& ui, const TerminalState& state, core::Dialogs& dialogs,
                           StatusPanels& status, PairTestTab& pairTest, CommandSequence& sequence)
    : m_ui(ui), m_state(state), m_dialogs(dialogs), m_status(status), m_pairTest(pairTest),
      m_sequence(sequence) {
    QObject::connect(ui.SpeedButton37, &QAbstractButton::clicked, [this] { SpeedButton37Click(); });
    QObject::connect(ui.CheckBox3, &QAbstractButton::clicked, [this] { CheckBox3Click(); });
    QObject::connect(ui.PageControl1, &QTabWidget::currentChanged,
                     [this](int page) { PageControl1Change(page); });
    m_hooks.push_back(std::make_unique<EventHook>(ui.Memo3, [this](QEvent* event) {
        return event->type() == QEvent::KeyPress && Memo3KeyPress(*static_cast<QKeyEvent*>(event));
    }));
    ClearOnDoubleClick(m_hooks, {ui.Memo3, ui.Memo4});
}

DataTerminal::~DataTerminal() = default;

bool DataTerminal::Ask(core::TextId question) {
    return m_dialogs.Question(m_state.Message(question));
}

void DataTerminal::SpeedButton37Click() {
    if (m_sequence.PortHeld())
        return;
    Ui::TForm1& ui = m_ui;
    const QString text = ui.Memo3->toPlainText();
    if (text.isEmpty()) {
        m_dialogs.Warning(m_state.Message(core::TextId::kTerminalDataNull));
        return;
    }
    // Pasted text passes the key check: the whole text is checked before it goes out.
    const bool hex = ui.RadioButton6->isChecked();
    if (hex && !IsHexEntry(text)) {
        m_dialogs.Warning(m_state.Message(core::TextId::kTerminalHexKey));
        ui.Memo3->setFocus();
        return;
    }
    Enter();
    // The whole text, line breaks included, is one frame.
    m_pairTest.SendTestFrame(hex ? HexTextBytes(text) : TextBytes(text), StateDataComm);
}

void DataTerminal::CheckBox3Click() {
    const TerminalState& g = m_state;
    if (m_ui.CheckBox3->isChecked()) {
        Enter();
        return;
    }
    if (g.AppState != StateDataComm)
        return;
    if (Ask(core::TextId::kLeaveDataQuestion))
        g.AppState = StateStopped;
    else
        m_ui.CheckBox3->setChecked(true);
}

void DataTerminal::Enter() {
    m_ui.CheckBox3->setChecked(true);
    m_state.AppState = StateDataComm;
    m_sequence.EndWaitingChain();
}

bool DataTerminal::Memo3KeyPress(const QKeyEvent& key) {
    if (!m_ui.RadioButton6->isChecked() || ClassifyHexKey(key) != HexKey::kRefused)
        return false;
    m_dialogs.Warning(m_state.Message(core::TextId::kTerminalHexKey));
    return true;
}

void DataTerminal::ReturnTo(int page) {
    ShowPageQuietly(m_ui.PageControl1, page);
}

void DataTerminal::PageControl1Change(int page) {
    const TerminalState& g = m_state;
    if (page != kPairTestPage && (g.AppState == StatePairReply || g.AppState == StatePairTimed)) {
        // The English question warns; the Chinese one asks for a confirmation.
        const char* question = g.Message(core::TextId::kStopPairQuestion);
        const bool yes = g.Texts().EnglishMessages() ? m_dialogs.WarningQuestion(question)
                                                     : m_dialogs.Question(question);
        if (!yes) {
            ReturnTo(kPairTestPage);
            return;
        }
        g.AppState = StateStopped;
        m_status.Set(1, QString());
        m_pairTest.Interrupt();
    }
    if (m_ui.PageControl1->currentIndex() == kTerminalPage) {
        if (Ask(core::TextId::kEnterDataQuestion))
            Enter();
    } else if (g.AppState == StateDataComm) {
        if (!Ask(core::TextId::kStopDataQuestion)) {
            ReturnTo(kTerminalPage);
            return;
        }
        g.AppState = StateStopped;
        m_status.Set(1, QString());
        m_ui.CheckBox3->setChecked(false);
    }
}
