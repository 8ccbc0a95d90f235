#include "module_exchange.h"

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
// The link has no blocking read: the port is looked at this often while an answer is awaited.
constexpr auto kPoll = milliseconds(2);

int ParityLibraryCode(int parity) {
    return parity == 1 ? kParityEven : parity == 2 ? kParityOdd : kParityNone;
}

core::Framing HandlerOf(bool eded) {
    return eded ? core::Framing::kEDED : core::Framing::k5A5A;
}

} // namespace

std::string MessageKeeper::Take() {
    std::string text;
    text.swap(m_last);
    // the link's message box puts the system's reason on the line after its own text
    const auto newline = text.find('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

ModulePort::OwnPort::OwnPort(std::string device_, const std::string& variant)
    : device(std::move(device_)), sio([this](int) { return device; }),
      commFun(sio, messages, variant), link(commFun) {}

ModulePort::ModulePort(std::string name, std::string device, TraceSink trace, bool eded)
    : m_name(std::move(name)), m_trace(std::move(trace)), m_eded(eded),
      m_variant(eded ? "MORVANTELIS" : ""),
      m_own(std::make_unique<OwnPort>(std::move(device), m_variant)), m_commFun(m_own->commFun),
      m_link(m_own->link), m_port(kPort), m_origin(Clock::now()),
      m_engine(HandlerOf(eded), m_origin) {
    m_engine.SetLine(m_line.BaudRate, m_parity);
}

ModulePort::~ModulePort() = default;

std::string ModulePort::TakeMessage() {
    return m_own->messages.Take();
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
    m_engine.SetLine(baud, parity);
}

void ModulePort::Settle(milliseconds settle) {
    m_engine.Settle(Clock::now() + settle);
}

core::Framing ModulePort::FramingOf(const core::Command& command) const {
    return core::FramingFor(command, m_variant);
}

core::ExchangeReply ModulePort::Request(const core::Command& command, std::string_view payload,
                                        milliseconds wait, std::string_view id,
                                        std::optional<milliseconds> firstByte) {
    core::ExchangeReply reply = Await(command, payload, wait, id, firstByte.value_or(wait));
    if (reply.kind == core::ReplyKind::kPortLost)
        throw ExchangeError{ExchangeFault::kPort, m_name + ": " + reply.cause};
    return reply;
}

std::optional<core::AnswerResult> ModulePort::Exchange(const core::Command& command,
                                                       std::string_view payload, milliseconds wait,
                                                       std::string_view id,
                                                       std::optional<milliseconds> firstByte) {
    core::ExchangeReply reply = Request(command, payload, wait, id, firstByte);
    return std::move(reply.result);
}

void ModulePort::Submit(const core::Command& command, std::string_view payload, milliseconds wait,
                        std::string_view id, Done done) {
    done(Await(command, payload, wait, id, wait));
}

std::string ModulePort::FollowLine(int baud, int parity, milliseconds settle) {
    try {
        SetLine(baud, parity);
    } catch (const ExchangeError& error) {
        return error.message;
    }
    Settle(settle);
    return {};
}

core::ExchangeReply ModulePort::Await(const core::Command& command, std::string_view payload,
                                      milliseconds wait, std::string_view id,
                                      milliseconds firstByte) {
    const core::RequestId request = Queue(command, payload, wait, id, firstByte);
    for (;;) {
        for (core::ExchangeReply& reply : m_engine.TakeReplies())
            if (reply.id == request) {
                m_sentAt = reply.sent;
                m_lastAnswer = reply.bytes;
                m_answerBegan = reply.began;
                return std::move(reply);
            }
        Step(Clock::time_point::max());
    }
}

core::RequestId ModulePort::Queue(const core::Command& command, std::string_view payload,
                                  milliseconds wait, std::string_view id, milliseconds firstByte) {
    return m_engine.Submit({core::BuildRequest(command, FramingOf(command), payload, id),
                            core::Completion::kFramed, firstByte, wait});
}

void ModulePort::Listen(Clock::time_point until) {
    while (Clock::now() < until)
        Step(until);
    // nobody awaits what came: the engine has traced it, and late replies go nowhere
    m_engine.TakeReplies();
}

void ModulePort::Step(Clock::time_point until) {
    if (Pump())
        return;
    auto wake = std::min(until, Clock::now() + kPoll);
    if (const auto deadline = m_engine.NextDeadline())
        wake = std::min(wake, *deadline);
    std::this_thread::sleep_until(wake);
}

bool ModulePort::Pump() {
    if (const auto next = m_engine.NextToSend(Clock::now())) {
        if (m_link.Send(m_port, next->request))
            m_engine.Sent(next->id, Clock::now());
        else
            m_engine.PortLost("cannot write: " + WriteFailure());
    }
    const core::Bytes chunk = m_link.Receive(m_port);
    if (std::string lost = TakeMessage(); !lost.empty()) {
        m_lost = lost;
        m_engine.PortLost(lost);
    } else {
        m_engine.Receive(chunk, Clock::now());
    }
    for (core::FrameTraceRecord& record : m_engine.TakeTrace()) {
        if (!m_trace)
            continue;
        record.port = m_name;
        record.lineSetting = core::LineSettingText(m_line);
        record.wallClock = system_clock::now();
        m_trace(core::FormatFrameTrace(record));
    }
    return !chunk.empty();
}

std::string ModulePort::WriteFailure() {
    std::string reason = TakeMessage();
    // the link says only that the port is not open once it has told why it vanished
    if (!m_lost.empty())
        return m_lost;
    if (reason.empty())
        reason = m_own->sio.LastWriteError(m_port);
    return reason.empty() ? "the port did not take the request" : reason;
}

std::variant<core::AnswerEvent, ExchangeError>
Accepted(const Exchanger& port, const core::Command& command, core::ExchangeReply reply) {
    const std::string name = core::CommandLogName(command.code, command.io);
    switch (reply.kind) {
    case core::ReplyKind::kAnswer:
        return std::move(reply.result->event);
    case core::ReplyKind::kNoAnswer:
        return ExchangeError{ExchangeFault::kNoAnswer, port.Name() + ": no answer to " + name +
                                                           "; the module stopped answering"};
    case core::ReplyKind::kRefused:
        return ExchangeError{ExchangeFault::kRefused, port.Name() + ": the module did not accept " +
                                                          name + port.RefusalHint()};
    case core::ReplyKind::kPortLost:
        break;
    }
    return ExchangeError{ExchangeFault::kPort, port.Name() + ": " + reply.cause};
}

ExchangeError WithoutData(const Exchanger& port, std::uint8_t code, bool io) {
    return {ExchangeFault::kRefused,
            port.Name() + ": an answer without the data of " + core::CommandLogName(code, io)};
}

core::AnswerEvent Ask(ModulePort& port, const core::Command& command, std::string_view payload,
                      milliseconds wait, std::string_view id) {
    auto accepted = Accepted(port, command, port.Request(command, payload, wait, id));
    if (auto* error = std::get_if<ExchangeError>(&accepted))
        throw std::move(*error);
    return std::get<core::AnswerEvent>(std::move(accepted));
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
