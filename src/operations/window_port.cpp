#include "window_port.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <algorithm>

namespace {

using namespace std::chrono;

// Where the library cannot tell when bytes wait, the port is looked at this often while an
// answer is awaited.
constexpr auto kPoll = milliseconds(2);

} // namespace

WindowPort::WindowPort(std::string name, TCommFun& commFun, serial::Link& link,
                       const core::LineSettings& line, const std::string& variant,
                       serial::RecordSink& records)
    : serial::ModulePort(std::move(name), commFun, link, line, variant, {}, &records) {
    m_wake.setSingleShot(true);
    // the engine's deadlines end answers; a coarse timer could wake a few ms late
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_wake, &QTimer::timeout, this, [this] { Step(); });
    // Each turn of the event loop emits one of the two before it polls the descriptors.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { BeforePoll(); });
    connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { BeforePoll(); });
}

WindowPort::~WindowPort() = default;

void WindowPort::Submit(const core::Command& command, std::string_view payload, milliseconds wait,
                        std::string_view id, Done done) {
    m_awaited = Queue(command, payload, wait, id, wait);
    m_done = std::move(done);
    Step();
}

void WindowPort::Step() {
    // A lost port's box runs the event loop while the descriptor is gone.
    if (m_notifier)
        m_notifier->setEnabled(false);
    Pump();
    for (core::ExchangeReply& reply : TakeReplies()) {
        if (reply.id != m_awaited)
            continue; // a late answer, traced already
        m_awaited = 0;
        // `done` may submit the next request, which takes the slot
        const Done done = std::exchange(m_done, {});
        done(std::move(reply));
        break;
    }
    Arm();
}

void WindowPort::Arm() {
    const auto deadline = NextDeadline();
    const int readiness = Readiness();
    if (m_notifier && (!deadline || m_notifier->socket() != readiness)) {
        m_notifier->setEnabled(false);
        // Step may run within the notifier's own signal
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (!deadline) {
        m_wake.stop();
        return;
    }
    auto wake = *deadline;
    if (readiness >= 0) {
        if (!m_notifier) {
            m_notifier = new QSocketNotifier(readiness, QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, [this] { Step(); });
        }
        m_notifier->setEnabled(true);
    } else if (readiness == serial::kSioNoReadiness) {
        wake = std::min(wake, steady_clock::now() + kPoll);
    } else {
        // closed, or lost while it was read: the next step ends the request
        wake = steady_clock::now();
    }
    const auto left = ceil<milliseconds>(wake - steady_clock::now()).count();
    m_wake.start(static_cast<int>(std::max<decltype(left)>(left, 0)));
}

void WindowPort::BeforePoll() {
    if (m_notifier && m_notifier->isEnabled() && m_notifier->socket() != Readiness()) {
        m_notifier->setEnabled(false);
        m_wake.start(0);
    }
}
