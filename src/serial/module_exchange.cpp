#include "module_exchange.h"

#include "core/answer_end.h"
#include "core/receive_timing.h"
#include "core/request.h"
#include "core/session.h"
#include "port_holder.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace serial {

namespace {

using namespace std::chrono;
using Clock = steady_clock;

// The serial link numbers ports; qxcli opens one, whatever its name.
constexpr int kPort = 1;
constexpr auto kPoll = milliseconds(2);
using core::kLongestAnswer;

int ParityLibraryCode(int parity) {
    return parity == 1 ? kParityEven : parity == 2 ? kParityOdd : kParityNone;
}

// A pause that ends bytes beginning no frame: four character times, and 20 ms for USB
// adapters, which hand bytes on in bursts.
milliseconds QuietTime(int baud, int parity) {
    return WireTime(4, baud, parity) + milliseconds(20);
}

} // namespace

std::string MessageKeeper::Take() {
    std::string text;
    text.swap(m_last);
    // the link's message box puts the system's reason on the line after its own text
    const auto newline = text.find('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

milliseconds WireTime(std::size_t bytes, int baud, int parity) {
    const std::size_t bits = bytes * (parity != 0 ? 11 : 10);
    return milliseconds((bits * 1000 + static_cast<std::size_t>(baud) - 1) /
                        static_cast<std::size_t>(baud));
}

ModulePort::OwnPort::OwnPort(std::string device_, const std::string& variant)
    : device(std::move(device_)), sio([this](int) { return device; }),
      commFun(sio, messages, variant), link(commFun) {}

ModulePort::ModulePort(std::string name, std::string device, TraceSink trace, bool eded)
    : m_name(std::move(name)), m_trace(std::move(trace)), m_eded(eded),
      m_variant(eded ? "MORVANTELIS" : ""),
      m_own(std::make_unique<OwnPort>(std::move(device), m_variant)), m_commFun(m_own->commFun),
      m_link(m_own->link), m_port(kPort) {
    ObserveSent();
}

ModulePort::ModulePort(std::string name, TCommFun& commFun, Link& link,
                       const core::LineSettings& line, const std::string& variant, TraceSink trace)
    : m_name(std::move(name)), m_trace(std::move(trace)), m_eded(core::IsMorvantelis(variant)),
      m_variant(variant), m_commFun(commFun), m_link(link), m_port(line.CurrentPort), m_line(line),
      m_parity(line.PortParityCode == kParityEven  ? 1
               : line.PortParityCode == kParityOdd ? 2
                                                   : 0) {
    ObserveSent();
}

ModulePort::~ModulePort() {
    m_link.RemoveObserver(m_observer);
}

void ModulePort::ObserveSent() {
    m_observer = m_link.AddObserver([this](const Traffic& traffic) {
        if (traffic.direction == Direction::kSent && traffic.port == m_port) {
            m_sentAt = traffic.at;
            Trace(core::TraceRequest(traffic.bytes), std::nullopt);
        }
    });
}

std::string ModulePort::TakeMessage() {
    return m_own ? m_own->messages.Take() : std::string();
}

void ModulePort::Open() {
    if (m_commFun.OpenPort(m_port))
        return;
    std::string reason = TakeMessage();
    if (reason.ends_with("in use by another program"))
        if (const std::string holder = PortHolder(m_own->device); !holder.empty())
            reason += " (held by " + holder + ")";
    throw ExchangeError{ExchangeFault::kPort, m_name + ": cannot open: " + reason};
}

void ModulePort::SetLine(int baud, int parity) {
    const auto code = std::ranges::find(kBaudCodes, baud, &BaudCode::rate);
    const int parityCode = ParityLibraryCode(parity);
    if (code == kBaudCodes.end() ||
        !m_commFun.SetPortParams(m_port, code->code, kData8, kStop1, parityCode))
        throw ExchangeError{ExchangeFault::kPort, m_name + ": cannot set " + std::to_string(baud) +
                                                      " baud: " + TakeMessage()};
    m_line = {m_port, code->code, baud, parityCode, kData8, kStop1};
    m_parity = parity;
}

core::Framing ModulePort::FramingOf(const core::Command& command) const {
    return core::FramingFor(command, m_variant);
}

std::optional<core::AnswerResult> ModulePort::Exchange(const core::Command& command,
                                                       std::string_view payload, milliseconds wait,
                                                       std::string_view id,
                                                       std::optional<milliseconds> firstByte) {
    DrainStale();
    const core::Request request = core::BuildRequest(command, FramingOf(command), payload, id);
    if (!m_link.Send(m_port, request))
        throw ExchangeError{ExchangeFault::kPort, m_name + ": cannot write: " + WriteFailure()};
    m_pending = request.pendingCommand;
    m_answerTraced = false;
    const core::Bytes answer = Collect(firstByte.value_or(wait), wait);
    m_lastAnswer = answer;
    if (answer.empty()) {
        Trace(core::TraceNoAnswer(core::TraceRequest(request.bytes)), std::nullopt);
        return std::nullopt;
    }
    if (!m_answerTraced)
        Trace(core::TraceAnswer(answer, Handler(), m_pending),
              duration_cast<milliseconds>(Clock::now() - m_sentAt));
    return core::AcceptAnswer(core::BytesToHex(answer), Handler(), m_pending);
}

core::Framing ModulePort::Handler() const {
    return m_eded ? core::Framing::kEDED : core::Framing::k5A5A;
}

core::Bytes ModulePort::Receive() {
    core::Bytes chunk = m_link.Receive(m_port);
    if (std::string lost = TakeMessage(); !lost.empty()) {
        m_lost = std::move(lost);
        throw ExchangeError{ExchangeFault::kPort, m_name + ": " + m_lost};
    }
    return chunk;
}

std::string ModulePort::WriteFailure() {
    std::string reason = TakeMessage();
    // the link says only that the port is not open once it has told why it vanished
    if (!m_lost.empty())
        return m_lost;
    if (reason.empty() && m_own)
        reason = m_own->sio.LastWriteError(m_port);
    return reason.empty() ? "the port did not take the request" : reason;
}

bool ModulePort::AnswersAnother(const core::Bytes& frame) const {
    const core::AnswerEvent event =
        core::AcceptAnswer(core::BytesToHex(frame), Handler(), m_pending).event;
    // a search answer is taken whatever was asked, so it is told apart by what was asked
    return std::holds_alternative<core::answer::Refused>(event) ||
           (std::holds_alternative<core::answer::SearchAnswer>(event) &&
            m_pending != core::LastCommandText(core::CommandAt(core::cmd::kSearch)));
}

void ModulePort::DrainStale() {
    // An answer still on its way would pass for the next request's: once anything is there,
    // wait for a pause; a line that never stops talking is left to the answer's own checks.
    core::Bytes stale = std::exchange(m_rest, {}) + Receive();
    if (stale.empty())
        return;
    const milliseconds quiet = QuietTime(m_line.BaudRate, m_parity);
    const auto giveUp = Clock::now() + WireTime(kLongestAnswer, m_line.BaudRate, m_parity) + quiet;
    auto last = Clock::now();
    while (Clock::now() - last <= quiet && Clock::now() < giveUp) {
        std::this_thread::sleep_for(kPoll);
        if (const core::Bytes chunk = Receive(); !chunk.empty()) {
            stale += chunk;
            last = Clock::now();
        }
    }
    TraceStale(stale);
}

void ModulePort::Listen(Clock::time_point until) {
    core::Bytes heard = std::exchange(m_rest, {});
    for (; Clock::now() < until; std::this_thread::sleep_for(kPoll))
        heard += Receive();
    TraceStale(heard + Receive());
}

void ModulePort::TraceStale(core::Bytes stale) {
    while (!stale.empty()) {
        const core::AnswerSpan span = core::FindAnswer(stale);
        // noise before an answer, the answer, or what begins none
        const std::size_t length = span.end != core::AnswerEnd::kComplete ? stale.size()
                                   : span.start > 0                       ? span.start
                                                                          : span.length;
        core::FrameTraceRecord record =
            core::TraceAnswer(stale.substr(0, length), Handler(), m_pending);
        // shown as what it most likely is, a late answer to a request before: nothing acts on it
        if (record.verdict == core::TraceVerdict::kAccepted)
            record.verdict = core::TraceVerdict::kRefused;
        Trace(std::move(record), std::nullopt);
        stale.erase(0, length);
    }
}

core::Bytes ModulePort::Collect(milliseconds firstByte, milliseconds wait) {
    const auto firstDeadline = Clock::now() + firstByte;
    const milliseconds quiet = QuietTime(m_line.BaudRate, m_parity);
    // Once an answer has begun it has the longest answer's time on the wire and `wait` to end:
    // a line that never stops talking is cut off there.
    const milliseconds longest = WireTime(kLongestAnswer, m_line.BaudRate, m_parity) + wait;
    core::Bytes buffer;
    // The last answer to another request: the verdict when no answer to this one comes.
    core::Bytes another;
    auto last = Clock::now();
    for (;;) {
        const core::Bytes chunk = Receive();
        const auto now = Clock::now();
        if (!chunk.empty()) {
            if (buffer.empty())
                m_answerBegan = now;
            buffer += chunk;
            last = now;
        }
        const auto sinceLast = duration_cast<milliseconds>(now - last);
        const bool overdue = now - m_answerBegan >= longest;
        if (buffer.empty()) {
            if (now >= firstDeadline) {
                m_answerTraced = !another.empty();
                return another;
            }
        } else {
            const core::AnswerSpan span = core::FindAnswer(buffer);
            switch (span.end) {
            case core::AnswerEnd::kComplete: {
                if (span.start > 0)
                    TraceStale(buffer.substr(0, span.start));
                core::Bytes frame = buffer.substr(span.start, span.length);
                buffer.erase(0, span.start + span.length);
                if (!AnswersAnother(frame)) {
                    // what follows it is no part of it: the next request's drain sees it
                    m_rest = std::move(buffer);
                    return frame;
                }
                // a late answer to an earlier request: shown, and this one's still awaited
                TraceStale(frame);
                another = std::move(frame);
                m_answerBegan = now;
                continue;
            }
            case core::AnswerEnd::kPartial:
                // a busy PC or module may pause anywhere in an answer
                if (sinceLast >= wait || overdue)
                    return buffer;
                break;
            case core::AnswerEnd::kUnframed:
                if (buffer.size() >= kLongestAnswer || overdue ||
                    core::BufferComplete(sinceLast, static_cast<int>(quiet.count()), buffer.size()))
                    return buffer;
                break;
            }
        }
        std::this_thread::sleep_for(kPoll);
    }
}

void ModulePort::Trace(core::FrameTraceRecord record, std::optional<milliseconds> roundTrip) {
    if (!m_trace)
        return;
    record.sinceStart = duration_cast<milliseconds>(Clock::now() - m_start);
    record.wallClock = system_clock::now();
    record.port = m_name;
    record.lineSetting = core::LineSettingText(m_line);
    record.roundTrip = roundTrip;
    m_trace(core::FormatFrameTrace(record));
}

core::AnswerEvent Ask(ModulePort& port, const core::Command& command, std::string_view payload,
                      milliseconds wait, std::string_view id) {
    const auto result = port.Exchange(command, payload, wait, id);
    const std::string name = core::CommandLogName(command.code, command.io);
    if (!result)
        throw ExchangeError{ExchangeFault::kNoAnswer, port.Name() + ": no answer to " + name +
                                                          "; the module stopped answering"};
    if (std::holds_alternative<core::answer::Refused>(result->event) ||
        std::holds_alternative<core::answer::BadChecksum>(result->event) ||
        std::holds_alternative<core::answer::NotAFrame>(result->event) ||
        std::holds_alternative<core::answer::Ignored>(result->event) ||
        std::holds_alternative<core::answer::Dropped>(result->event))
        throw ExchangeError{ExchangeFault::kRefused, port.Name() + ": the module did not accept " +
                                                         name + port.RefusalHint()};
    return result->event;
}

std::string Put(ModulePort& port, const core::Command& command, std::string_view payload,
                milliseconds wait) {
    try {
        Ask(port, command, payload, wait);
    } catch (const ExchangeError& error) {
        // a lost port is no refusal: it ends the caller's work with its cause
        if (error.fault == ExchangeFault::kPort)
            throw;
        return error.message;
    }
    return {};
}

} // namespace serial
