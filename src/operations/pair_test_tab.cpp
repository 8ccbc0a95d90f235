// The pair test tab's own part: its construction, the wiring of its controls, and their
// handlers (start, stop, byte totals, role, format, the test text's keys). Sending, receipt,
// the answer timers and the results have files of their own (pair_test_*.cpp).
#include "pair_test_tab.h"

#include "catalogue/event_hook.h"
#include "command_sequence.h"
#include "core/services.h"
#include "form/status_panels.h"
#include "serial/link.h"
#include "tab_input.h"
#include "ui_main_window.h"

#include <QKeyEvent>
#include <memory>

PairTestTab::PairTestTab(Ui::TForm1& ui, const PairTestState& state, PairTestServices services,
                         StatusPanels& status, serial::Link& link, CommandSequence& sequence,
                         QTimer& timer1, QTimer& timer3)
    : m_ui(ui), m_state(state), m_services(services), m_status(status), m_link(link),
      m_sequence(sequence), m_timer1(timer1), m_timer3(timer3) {
    // Round trips are timed on the link's own clock: the moment a frame left and the moment
    // its answer's last bytes came in, not the moment the poll got round to them.
    m_observer = m_link.AddObserver([this](const serial::Traffic& traffic) {
        if (traffic.direction == serial::Direction::kReceived)
            m_lastArrival = traffic.at;
        else
            m_lastSend = traffic.at;
    });
    m_resend.setSingleShot(true);
    QObject::connect(&m_resend, &QTimer::timeout, [this] { ResendTimerTimer(); });
    ConnectControls();
}

PairTestTab::~PairTestTab() {
    CancelAnswers();
    m_link.RemoveObserver(m_observer);
}

void PairTestTab::ConnectControls() {
    Ui::TForm1& ui = m_ui;
    QObject::connect(ui.SpeedButton17, &QAbstractButton::clicked, [this] { SpeedButton17Click(); });
    QObject::connect(ui.SpeedButton18, &QAbstractButton::clicked, [this] { SpeedButton18Click(); });
    QObject::connect(ui.SpeedButton16, &QAbstractButton::clicked, [this] { SpeedButton16Click(); });
    QObject::connect(&m_timer3, &QTimer::timeout, [this] { Timer3Timer(); });
    QObject::connect(ui.RadioButton13, &QAbstractButton::clicked, [&ui] {
        ui.GroupBox15->setEnabled(false);
        ui.Edit11->setEnabled(false);
    });
    QObject::connect(ui.RadioButton14, &QAbstractButton::clicked, [&ui] {
        ui.GroupBox15->setEnabled(true);
        ui.Edit11->setEnabled(true);
    });
    // The role follows its button however it was checked: a click, the arrow keys, or an
    // assistive technology's toggle, which emits no click.
    QObject::connect(ui.RadioButton15, &QAbstractButton::toggled, [this](bool checked) {
        if (checked)
            RadioButton15Click();
    });
    QObject::connect(ui.RadioButton16, &QAbstractButton::toggled, [this](bool checked) {
        if (checked)
            RadioButton16Click();
    });
    QObject::connect(ui.RadioButton2, &QAbstractButton::clicked, [this, &ui] {
        ui.SpinEdit1->setEnabled(true);
        m_timer3.setInterval(ui.SpinEdit1->value());
    });
    QObject::connect(ui.SpinEdit1, &QSpinBox::valueChanged,
                     [this](int ms) { m_timer3.setInterval(ms); });
    QObject::connect(ui.RadioButton3, &QAbstractButton::clicked, [this] { RadioButton3Click(); });
    QObject::connect(ui.ButtonSaveResults, &QAbstractButton::clicked, [this] { SaveResults(); });
    // Resend switched on or off during a run applies to the frame waiting now.
    QObject::connect(ui.CheckBoxResend, &QAbstractButton::toggled, [this] { ArmAnswerWait(); });
    m_hooks.push_back(std::make_unique<EventHook>(ui.Edit4, [this](QEvent* event) {
        return event->type() == QEvent::KeyPress && Edit4KeyPress(*static_cast<QKeyEvent*>(event));
    }));
    ClearOnDoubleClick(m_hooks, {ui.Memo1, ui.Memo2});
}

QString PairTestTab::Text(core::TextId id) const {
    return QString::fromUtf8(m_state.Message(id));
}

bool PairTestTab::MainTransmitter() const {
    return m_ui.RadioButton15->isChecked();
}

void PairTestTab::SpeedButton16Click() {
    m_state.Tally.tx_bytes = 0;
    m_state.Tally.rx_bytes = 0;
    m_ui.Label23->setText("0");
    m_ui.Label25->setText("0");
}

void PairTestTab::BeginRun() {
    // Both roles begin here; the test's frames and answers must not continue a chain.
    m_sequence.EndWaitingChain();
    ++m_run;
    m_trips = core::RoundTrips{};
    m_record.Clear();
    m_runStart = std::chrono::steady_clock::now();
    m_runEnd.reset();
    m_sentSinceStart = false;
    ShowTrips();
}

void PairTestTab::EnableRoleAndFormat(bool enabled) {
    for (QWidget* button :
         {m_ui.RadioButton3, m_ui.RadioButton4, m_ui.RadioButton15, m_ui.RadioButton16})
        button->setEnabled(enabled);
}

void PairTestTab::SpeedButton17Click() {
    if (m_sequence.PortHeld())
        return;
    Ui::TForm1& ui = m_ui;
    const PairTestState& g = m_state;
    SpeedButton16Click();
    // The role is the checked button's: the caption only shows it, in whatever language.
    if (MainTransmitter()) {
        g.FrameDelayMs = ui.SpinEdit2->value();
        m_timer1.setInterval(ui.SpinEdit3->value());
        g.TestStopFlag = false;
        ResetCounters();
        BeginRun();
        if (ui.Edit4->text().isEmpty()) {
            m_services.dialogs.Warning(g.Message(core::TextId::kPairStartNull));
            ui.Edit4->setFocus();
            return;
        }
        // Pasted text passes the key check: the whole field is checked before it goes out.
        const bool hex = ui.RadioButton3->isChecked();
        if (hex && !IsHexEntry(ui.Edit4->text())) {
            m_services.dialogs.Warning(g.Message(core::TextId::kPairHexKey));
            ui.Edit4->setFocus();
            return;
        }
        m_answerStopFlag = false;
        if (ui.RadioButton2->isChecked()) {
            m_timer3.setInterval(ui.SpinEdit1->value());
            m_timer3.start();
        }
        const core::Bytes data = hex ? HexTextBytes(ui.Edit4->text()) : TextBytes(ui.Edit4->text());
        SendTestFrame(data, ui.RadioButton1->isChecked() ? StatePairReply : StatePairTimed);
        EnableRoleAndFormat(false);
    } else {
        g.AppState = StatePairReply;
        m_timer1.setInterval(ui.SpinEdit3->value());
        g.TestStopFlag = false;
        m_answerStopFlag = false;
        ResetCounters();
        BeginRun();
        EnableRoleAndFormat(false);
    }
}

void PairTestTab::SpeedButton18Click() {
    const PairTestState& g = m_state;
    Interrupt();
    m_answerStopFlag = true;
    g.AppState = StateStopped;
    g.Tally.last_good.clear();
    m_status.Set(2, Text(core::TextId::kPairStopped));
    m_status.Set(1, Text(core::TextId::kWorkModeStop));
    g.TestStopFlag = true;
    EnableRoleAndFormat(true);
}

void PairTestTab::Interrupt() {
    m_timer3.stop();
    m_resend.stop();
    CancelAnswers();
    if (!m_runEnd)
        m_runEnd = std::chrono::steady_clock::now();
}

void PairTestTab::RadioButton15Click() {
    m_ui.RadioButton2->setEnabled(true);
    m_ui.SpinEdit1->setEnabled(true);
    ShowStartCaption();
}

void PairTestTab::RadioButton16Click() {
    // The main receiver always answers, never sends by time.
    m_ui.RadioButton1->setChecked(true);
    m_ui.RadioButton2->setEnabled(false);
    m_ui.SpinEdit1->setEnabled(false);
    ShowStartCaption();
}

void PairTestTab::ShowStartCaption() {
    const core::TextId caption =
        MainTransmitter() ? core::TextId::kStartSend : core::TextId::kStartReceive;
    m_ui.SpeedButton17->setText(QString::fromUtf8(m_state.Texts().Caption(caption)));
}

void PairTestTab::RadioButton3Click() {
    Ui::TForm1& ui = m_ui;
    if (IsHexEntry(ui.Edit4->text()))
        return;
    ui.Edit4->selectAll();
    m_services.dialogs.Warning(m_state.Message(core::TextId::kPairNotHex));
    ui.RadioButton4->setChecked(true);
}

bool PairTestTab::Edit4KeyPress(const QKeyEvent& key) {
    Ui::TForm1& ui = m_ui;
    if (ui.RadioButton3->isChecked()) {
        if (ClassifyHexKey(key) != HexKey::kRefused)
            return false;
        m_services.dialogs.Warning(m_state.Message(core::TextId::kPairHexKey));
        return true;
    }
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (!enter || ui.Edit4->cursorPosition() != ui.Edit4->text().size())
        return false;
    // A test text may end in a line break, as modules with line-based hosts expect.
    ui.Edit4->setText(ui.Edit4->text() + "\r\n");
    ui.Edit4->setCursorPosition(static_cast<int>(ui.Edit4->text().size()));
    return true;
}
