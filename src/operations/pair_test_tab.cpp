#include "pair_test_tab.h"

#include "catalogue/event_hook.h"
#include "command_sequence.h"
#include "core/services.h"
#include "form/status_panels.h"
#include "serial/link.h"
#include "tab_input.h"
#include "ui_main_window.h"

#include <QKeyEvent>
#include <fstream>
#include <memory>

namespace {

constexpr int kLogLineLimit = 1000;

// The send log, and the receive log in text display, start afresh past 1000 lines.
void AddLogLine(QPlainTextEdit* memo, const QString& line) {
    if (memo->document()->blockCount() > kLogLineLimit)
        memo->clear();
    memo->appendPlainText(line);
}

QString Count(std::int64_t value) {
    return QString::number(value);
}

std::int64_t MsBetween(std::chrono::steady_clock::time_point from,
                       std::chrono::steady_clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

} // namespace

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

void PairTestTab::ResetCounters() {
    const PairTestState& g = m_state;
    g.Tally = core::PairTally{};
    m_ui.Edit5->setText("0");
    m_ui.Edit6->setText("0");
    m_ui.Edit7->setText("0");
    m_ui.Edit8->clear();
    m_ui.Edit9->setText("0");
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

std::int64_t PairTestTab::ElapsedMs() const {
    if (m_run == 0)
        return 0;
    return MsBetween(m_runStart, m_runEnd.value_or(std::chrono::steady_clock::now()));
}

void PairTestTab::EnableRoleAndFormat(bool enabled) {
    for (QWidget* button :
         {m_ui.RadioButton3, m_ui.RadioButton4, m_ui.RadioButton15, m_ui.RadioButton16})
        button->setEnabled(enabled);
}

void PairTestTab::SpeedButton17Click() {
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

void PairTestTab::Timer3Timer() {
    if (m_ui.RadioButton2->isChecked())
        SendTestFrame(m_state.LastSentData, StatePairTimed);
}

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

void PairTestTab::ShowRate() {
    if (const auto rate = core::SuccessRateText(m_state.Tally))
        m_ui.Edit9->setText(QString::fromStdString(*rate));
}

void PairTestTab::ShowTrips() {
    Ui::TForm1& ui = m_ui;
    auto show = [](QLineEdit* edit, std::optional<std::int64_t> ms) {
        edit->setText(ms ? QString::number(*ms) : QString());
    };
    show(ui.EditTripLast, m_trips.Last());
    show(ui.EditTripMin, m_trips.Min());
    show(ui.EditTripMax, m_trips.Max());
    // one rounding for the window and the saved results: 69.25 is 69.2 in both
    ui.EditTripMean->setText(QString::fromStdString(m_trips.MeanText()));
    ui.EditLost->setText(Count(core::ReceiptsLost(m_state.Tally)));
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

void PairTestTab::SaveResults() {
    const PairTestState& g = m_state;
    const std::string path =
        m_services.files.Choose(g.Message(core::TextId::kSaveResultsTitle), "pair_test.csv",
                                g.Message(core::TextId::kSaveResultsFilter));
    if (path.empty())
        return;
    const std::string csv = core::PairRecordCsv(m_record, g.Tally, m_trips, ElapsedMs());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << csv;
    out.close();
    if (!out) {
        m_services.dialogs.Warning(g.Message(core::TextId::kSaveResultsFail));
        return;
    }
    m_status.Set(2, Text(core::TextId::kResultsSaved));
}
