#include "receive_loop.h"

#include "core/line_settings.h"
#include "core/receive_timing.h"
#include "form/status_panels.h"
#include "memo_log.h"
#include "operations/command_sequence.h"
#include "operations/pair_test_tab.h"
#include "operations/tab_input.h"
#include "serial/commfunction.h"
#include "serial/link.h"
#include "ui_main_window.h"

#include <QSocketNotifier>

namespace {

using std::chrono::milliseconds;

core::ExchangeTime Now() {
    return core::ExchangeClock::now();
}

} // namespace

ReceiveLoop::ReceiveLoop(Ui::TForm1& ui, const ReceiveState& state, StatusPanels& status,
                         QTimer& timer1, CommandSequence& sequence, PairTestTab& pairTest,
                         serial::Link& link, TCommFun& commFun, RecordsOut records,
                         std::function<void(int, int)> reopenPort)
    : m_ui(ui), m_state(state), m_status(status), m_timer1(timer1), m_sequence(sequence),
      m_pairTest(pairTest), m_link(link), m_commFun(commFun), m_records(std::move(records)),
      m_reopenPort(std::move(reopenPort)), m_origin(Now()),
      m_engine(core::Framing::k5A5A, m_origin) {
    connect(&timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    // What is no answer goes to the receive log; both lines of a bad checksum in one go, so a
    // log that is full is cleared before the frame, never between the frame and its verdict.
    sequence.OnAnswer<core::answer::BadChecksum>([this](const core::answer::BadChecksum& e) {
        AddMemoLine(m_ui.Memo2, QString::fromStdString(e.text) + '\n' +
                                    QString::fromUtf8(m_state.Message(e.line)));
    });
    sequence.OnAnswer<core::answer::NotAFrame>([this](const core::answer::NotAFrame& e) {
        AddMemoLine(m_ui.Memo2, QString::fromStdString(e.text));
    });
    m_deadline.setSingleShot(true);
    // A coarse timer may fire a few milliseconds early and be started again, or as late: the
    // frame delay alone sets when a test frame is complete.
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, [this] { Timer1Timer(); });
    // The frame delay shows what a change of the option or a pair-test frame makes of it; the
    // sender sets its state once the frame is out, so the update comes after the send.
    m_delayUpdate.setSingleShot(true);
    m_delayUpdate.setInterval(0);
    connect(&m_delayUpdate, &QTimer::timeout, this, [this] { UpdateFrameDelay(); });
    connect(ui.SpinEdit2, &QSpinBox::valueChanged, this, [this] { UpdateFrameDelay(); });
    connect(ui.CheckBox2, &QCheckBox::toggled, this, [this] { UpdateFrameDelay(); });
    m_sentObserver = link.AddObserver([this](const serial::Traffic& traffic) {
        if (traffic.direction != serial::Direction::kSent)
            return;
        if (!m_sendingDue)
            Sent(traffic);
        m_delayUpdate.start();
    });
    // An open, a close or a lost device changes the descriptor to watch.
    commFun.OnPortChange([this] {
        StopWatching();
        Lost();
        Watch();
    });
    Watch();
}

ReceiveLoop::~ReceiveLoop() {
    m_commFun.OnPortChange({});
    m_link.RemoveObserver(m_sentObserver);
}

void ReceiveLoop::Timer1Timer() {
    Step(Now());
}

void ReceiveLoop::Step(core::ExchangeTime now) {
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
    UpdateFrameDelay();
    Listen();
    m_engine.Receive(received, now);
    SendDue(now);
    PassRecords();
    HandOnReplies();
    g.DataPending = m_engine.Held() > 0;
    Rearm(now);
    Watch();
}

void ReceiveLoop::Sent(const serial::Traffic& traffic) {
    const core::ExchangeTime at = traffic.at;
    if (traffic.pendingCommand.empty()) {
        m_engine.SentRaw(traffic.bytes, at);
    } else {
        // The operator's request goes out at once: an answer is awaited as long as the frame
        // delay, which also bounds a pause inside it.
        const milliseconds delay(m_state.FrameDelayMs);
        core::ExchangeRequest request{
            {core::Bytes(traffic.bytes), std::string(traffic.pendingCommand)},
            core::Completion::kFramed,
            delay,
            delay,
            true};
        Listen();
        m_engine.Sent(m_engine.Submit(std::move(request)), at);
    }
    PassRecords();
    Rearm(at);
}

void ReceiveLoop::Listen() {
    const ReceiveState& g = m_state;
    m_engine.SetHandler(g.Morvantelis() ? core::Framing::kEDED : core::Framing::k5A5A);
    m_engine.SetLastCommand(g.LastCommand);
    m_engine.SetLine(g.Line.BaudRate, g.Line.PortParityCode);
    // While an exchange awaits its own replies, nothing else is an answer of the window's.
    const core::Unasked unasked = !m_awaited.empty()           ? core::Unasked::kPassOver
                                  : g.AppState == StateCommand ? core::Unasked::kAnswers
                                                               : core::Unasked::kData;
    m_engine.Listen(unasked, milliseconds(g.FrameDelayMs));
}

void ReceiveLoop::SendDue(core::ExchangeTime now) {
    while (const auto due = m_engine.NextToSend(now)) {
        m_sendingDue = true;
        const bool sent = m_link.Send(m_state.Line.CurrentPort, due->request);
        m_sendingDue = false;
        if (!sent) {
            // the link has shown why
            m_engine.PortLost("the port did not take the request");
            return;
        }
        m_engine.Sent(due->id, now);
    }
}

void ReceiveLoop::Lost() {
    if (m_awaited.empty() || m_commFun.Readiness(m_state.Line.CurrentPort) != serial::kSioBadPort)
        return;
    m_engine.PortLost("the port is no longer open");
    PassRecords();
    HandOnReplies();
}

void ReceiveLoop::Submit(const core::Command& command, std::string_view payload, milliseconds wait,
                         std::string_view id, Done done) {
    const core::RequestId request =
        m_engine.Submit({core::BuildRequest(command, FramingOf(command), payload, id),
                         core::Completion::kFramed, wait, wait});
    m_awaited.emplace(request, std::move(done));
    // the reply comes from the event loop, never within this call
    m_deadline.start(0);
}

std::string ReceiveLoop::FollowLine(int baud, int parity, milliseconds settle) {
    int rateCode = 1;
    while (rateCode <= 8 && core::BaudFromRateCode(rateCode) != baud)
        ++rateCode;
    m_reopenPort(rateCode, parity);
    const core::LineSettings& line = m_state.Line;
    if (line.BaudRate != baud || core::ModuleParityCode(line) != parity)
        return Name() + ": cannot set " + std::to_string(baud) + " baud";
    m_engine.SetLine(baud, line.PortParityCode);
    m_engine.Settle(Now() + settle);
    return {};
}

core::Framing ReceiveLoop::FramingOf(const core::Command& command) const {
    return core::FramingFor(command, m_state.VariantType);
}

const std::string& ReceiveLoop::Name() const {
    m_name = "COM" + std::to_string(m_state.Line.CurrentPort);
    return m_name;
}

int ReceiveLoop::Parity() const {
    return core::ModuleParityCode(m_state.Line);
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

void ReceiveLoop::HandOnReplies() {
    for (const core::ExchangeReply& reply : m_engine.TakeReplies()) {
        if (const auto awaited = m_awaited.find(reply.id); awaited != m_awaited.end()) {
            const Done done = std::move(awaited->second);
            m_awaited.erase(awaited);
            done(reply);
        } else if (!reply.late) {
            // a late answer to a request whose exchange has ended is traced, and that is all
            HandOn(reply);
        }
    }
}

void ReceiveLoop::HandOn(const core::ExchangeReply& reply) {
    const ReceiveState& g = m_state;
    // An unanswered request changes nothing; the monitor shows it.
    if (reply.kind == core::ReplyKind::kNoAnswer || reply.kind == core::ReplyKind::kPortLost)
        return;
    // An answer's handler may change the state, so each reply is taken by the state of its own
    // hand-on.
    switch (g.AppState) {
    case StateCommand:
        if (reply.result)
            m_sequence.Take(*reply.result);
        break;
    case StateStopped:
    case StatePairReply:
    case StatePairTimed:
        m_status.Set(2, QString::fromUtf8(g.Message(core::TextId::kPairDataReceived)));
        ClearWhenFull(m_ui.Memo2);
        m_pairTest.ProcessTestReceipt(reply.bytes, g.TestStopFlag, g.AppState);
        break;
    case StateDataComm:
        ShowInTerminal(reply.bytes);
        break;
    default:
        // No other state takes data; it is dropped so that nothing can pile up.
        break;
    }
}

void ReceiveLoop::ShowInTerminal(const core::Bytes& received) {
    Ui::TForm1& ui = m_ui;
    AddMemoLine(ui.Memo4, ui.RadioButton7->isChecked()
                              ? BytesAsText(received)
                              : QString::fromLatin1(core::BytesToHex(received)));
}

void ReceiveLoop::PassRecords() {
    const std::string port = "COM" + std::to_string(m_state.Line.CurrentPort);
    // A network server may hold the port at another line than the one asked, and the bytes go
    // at the line it holds.
    std::string line = m_commFun.AcknowledgedLine(m_state.Line.CurrentPort);
    if (line.empty())
        line = core::LineSettingText(m_state.Line);
    for (core::FrameTraceRecord& record : m_engine.TakeTrace()) {
        record.port = port;
        record.lineSetting = line;
        const core::ExchangeTime at = m_origin + record.sinceStart;
        m_records(std::move(record), at);
    }
}

void ReceiveLoop::Rearm(core::ExchangeTime now) {
    const auto deadline = m_engine.NextDeadline();
    if (!deadline) {
        m_deadline.stop();
        return;
    }
    // whole milliseconds, rounded up, so the step finds the deadline passed
    const auto wait = std::chrono::ceil<milliseconds>(*deadline - now);
    m_deadline.start(static_cast<int>(std::max<milliseconds::rep>(0, wait.count())));
}
