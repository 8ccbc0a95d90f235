#include "exchange_engine.h"

#include "answer_end.h"
#include "catalogue.h"
#include "hex.h"
#include "receive_timing.h"

#include <algorithm>
#include <utility>

namespace core {

namespace {

using namespace std::chrono;

// Requests an answer may still come late for: the walk's steps a slow module may answer.
constexpr std::size_t kPastKept = 8;

bool IsEdedAt(const Bytes& buffer, std::size_t at) {
    return at < buffer.size() && static_cast<unsigned char>(buffer[at]) == 0xED;
}
// BufferComplete wants the line quiet for longer than the delay, in whole ms.
constexpr milliseconds kJustOver(1);

bool Unreadable(const AnswerEvent& event) {
    return std::holds_alternative<answer::Refused>(event) ||
           std::holds_alternative<answer::BadChecksum>(event) ||
           std::holds_alternative<answer::NotAFrame>(event) ||
           std::holds_alternative<answer::Ignored>(event) ||
           std::holds_alternative<answer::Dropped>(event);
}

const std::string& SearchCommand() {
    static const std::string text = LastCommandText(CommandAt(cmd::kSearch));
    return text;
}

} // namespace

milliseconds WireTime(std::size_t bytes, int baud, int parity) {
    const std::size_t bits = bytes * (parity != 0 ? 11 : 10);
    return milliseconds((bits * 1000 + static_cast<std::size_t>(baud) - 1) /
                        static_cast<std::size_t>(baud));
}

ExchangeEngine::ExchangeEngine(Framing handler, ExchangeTime origin)
    : m_handler(handler), m_origin(origin) {}

void ExchangeEngine::SetLine(int baud, int parity) {
    m_baud = baud > 0 ? baud : 9600;
    m_parity = parity;
}

void ExchangeEngine::Settle(ExchangeTime until) {
    m_settleUntil = std::max(m_settleUntil, until);
}

void ExchangeEngine::Listen(Unasked unasked, milliseconds frameDelay) {
    m_unasked = unasked;
    m_frameDelay = frameDelay;
}

void ExchangeEngine::SetLastCommand(std::string_view command) {
    m_lastCommand = command;
}

RequestId ExchangeEngine::Submit(ExchangeRequest request) {
    const RequestId id = m_nextId++;
    if (request.immediate)
        m_queue.push_front({id, std::move(request)});
    else
        m_queue.push_back({id, std::move(request)});
    return id;
}

// A pause that ends bytes beginning no frame, or an EDED answer whose checksum holds.
milliseconds ExchangeEngine::Quiet() const {
    return AnswerQuiet(m_baud);
}

// A line that never stops talking ends an answer here, however it began.
milliseconds ExchangeEngine::Longest(milliseconds wait) const {
    return WireTime(kLongestAnswer, m_baud, m_parity) + wait;
}

milliseconds ExchangeEngine::UnframedQuiet() const {
    return m_unasked == Unasked::kPassOver ? Quiet() : m_frameDelay;
}

std::size_t ExchangeEngine::StaleEnd(ExchangeTime now) const {
    if (m_stale.empty())
        return 0;
    if (m_unasked == Unasked::kPassOver)
        return now - m_staleLast > Quiet() || now >= m_staleSince + Longest(Quiet())
                   ? m_stale.size()
                   : 0;
    return CutReceived(m_stale, duration_cast<milliseconds>(now - m_staleLast),
                       static_cast<int>(m_frameDelay.count()), m_unasked == Unasked::kAnswers,
                       Quiet())
        .length;
}

const std::string& ExchangeEngine::JudgedAgainst(const Current& current) const {
    return m_unasked == Unasked::kAnswers ? m_lastCommand
                                          : current.queued.request.request.pendingCommand;
}

std::optional<ExchangeEngine::Outgoing> ExchangeEngine::NextToSend(ExchangeTime now) {
    Advance(now);
    if (!m_queue.empty() && m_queue.front().request.immediate)
        return Outgoing{m_queue.front().id, m_queue.front().request.request};
    // an answer still on its way would pass for the next request's: it ends first
    if (m_current || m_queue.empty() || now < m_settleUntil || !m_stale.empty())
        return std::nullopt;
    return Outgoing{m_queue.front().id, m_queue.front().request.request};
}

void ExchangeEngine::Sent(RequestId id, ExchangeTime now) {
    if (m_queue.empty() || m_queue.front().id != id)
        return;
    if (m_current) {
        if (!m_queue.front().request.immediate)
            return;
        GiveUp(now);
    }
    Current current;
    if (m_unasked == Unasked::kPassOver) {
        PassOver(std::exchange(m_stale, {}), now);
    } else if (!m_stale.empty()) {
        // the operator's window judges what comes against the command it sent last
        current.buffer = std::exchange(m_stale, {});
        current.began = m_staleSince;
        current.last = m_staleLast;
    }
    current.queued = std::move(m_queue.front());
    m_queue.pop_front();
    current.sent = now;
    current.firstDeadline = now + current.queued.request.firstByte;
    const Request& request = current.queued.request.request;
    Trace(TraceRequest(request.bytes), now);
    if (current.queued.request.completion == Completion::kFramed) {
        if (m_unasked != Unasked::kAnswers)
            m_lastCommand = request.pendingCommand;
        m_past.push_back({id, request.pendingCommand, now, false});
        if (m_past.size() > kPastKept)
            m_past.pop_front();
    }
    m_current = std::move(current);
}

void ExchangeEngine::SentRaw(std::string_view bytes, ExchangeTime now) {
    Trace(TraceRequest(bytes), now);
}

void ExchangeEngine::GiveUp(ExchangeTime now) {
    Current current = std::move(*m_current);
    m_current.reset();
    if (current.buffer.empty()) {
        Trace(TraceNoAnswer(TraceRequest(current.queued.request.request.bytes)), now);
    } else {
        m_stale = std::move(current.buffer);
        m_staleSince = current.began;
        m_staleLast = current.last;
    }
    ExchangeReply none;
    none.id = current.queued.id;
    none.kind = ReplyKind::kNoAnswer;
    none.sent = current.sent;
    m_replies.push_back(std::move(none));
}

void ExchangeEngine::Receive(std::string_view bytes, ExchangeTime now) {
    if (!bytes.empty()) {
        if (m_current) {
            if (m_current->buffer.empty())
                m_current->began = now;
            m_current->buffer += bytes;
            m_current->last = now;
        } else {
            if (m_stale.empty())
                m_staleSince = now;
            m_stale += bytes;
            m_staleLast = now;
        }
    }
    Advance(now);
}

void ExchangeEngine::Tick(ExchangeTime now) {
    Advance(now);
}

void ExchangeEngine::Advance(ExchangeTime now) {
    if (m_current) {
        if (m_current->queued.request.completion == Completion::kFramed)
            AdvanceFramed(*m_current, now);
        else
            AdvanceQuiet(*m_current, now);
    }
    if (m_current)
        return;
    while (const std::size_t end = StaleEnd(now)) {
        Bytes piece = m_stale.substr(0, end);
        m_stale.erase(0, end);
        m_staleSince = now;
        PassOver(std::move(piece), now);
    }
}

void ExchangeEngine::AdvanceFramed(Current& current, ExchangeTime now) {
    const milliseconds wait = current.queued.request.wait;
    const std::string& pending = JudgedAgainst(current);
    for (;;) {
        Bytes& buffer = current.buffer;
        if (buffer.empty()) {
            if (now < current.firstDeadline)
                return;
            if (current.another)
                return Finish(*std::exchange(current.another, std::nullopt), now);
            Trace(TraceNoAnswer(TraceRequest(current.queued.request.request.bytes)), now);
            ExchangeReply none;
            none.kind = ReplyKind::kNoAnswer;
            return Finish(std::move(none), now);
        }
        const bool overdue = now - current.began >= Longest(wait);
        const AnswerSpan span = FindAnswer(buffer);
        switch (span.end) {
        case AnswerEnd::kComplete: {
            // an EDED frame has no length: a prefix of something longer may hold a checksum
            if (IsEdedAt(buffer, span.start) && now - current.last < Quiet() && !overdue)
                return;
            if (span.start > 0)
                PassOver(buffer.substr(0, span.start), now);
            Bytes frame = buffer.substr(span.start, span.length);
            buffer.erase(0, span.start + span.length);
            if (m_unasked == Unasked::kAnswers || !AnswersAnother(frame, pending)) {
                ExchangeReply reply = ReplyOf(current, std::move(frame));
                Trace(TraceAnswer(reply.bytes, m_handler, pending), now,
                      duration_cast<milliseconds>(now - current.sent));
                return Finish(std::move(reply), now);
            }
            // an answer to another request: its own when it is still awaited, else the verdict
            // on this one should none to it come; this one is awaited still
            if (!Attribute(frame, now)) {
                current.another = ReplyOf(current, frame);
                PassOver(frame, now);
            }
            current.began = now;
            continue;
        }
        case AnswerEnd::kPartial:
            // a busy PC or module may pause anywhere in an answer, but not for ever
            if (now - current.last < wait && !overdue)
                return;
            break;
        case AnswerEnd::kUnframed:
            if (buffer.size() < kLongestAnswer && !overdue &&
                !BufferComplete(duration_cast<milliseconds>(now - current.last),
                                static_cast<int>(UnframedQuiet().count()), buffer.size()))
                return;
            break;
        }
        ExchangeReply reply = ReplyOf(current, std::exchange(buffer, {}));
        Trace(TraceAnswer(reply.bytes, m_handler, pending), now,
              duration_cast<milliseconds>(now - current.sent));
        return Finish(std::move(reply), now);
    }
}

void ExchangeEngine::AdvanceQuiet(Current& current, ExchangeTime now) {
    ExchangeReply reply;
    if (current.buffer.empty()) {
        if (now < current.firstDeadline)
            return;
        Trace(TraceNoAnswer(TraceRequest(current.queued.request.request.bytes)), now);
        reply.kind = ReplyKind::kNoAnswer;
        return Finish(std::move(reply), now);
    }
    const auto quiet = duration_cast<milliseconds>(now - current.last);
    if (!BufferComplete(quiet, static_cast<int>(current.queued.request.wait.count()),
                        current.buffer.size()))
        return;
    reply.kind = ReplyKind::kAnswer;
    reply.bytes = std::exchange(current.buffer, {});
    reply.began = current.began;
    FrameTraceRecord record;
    record.direction = TraceDirection::kReceived;
    record.bytes = reply.bytes;
    record.verdict = TraceVerdict::kAccepted;
    Trace(std::move(record), now, duration_cast<milliseconds>(now - current.sent));
    Finish(std::move(reply), now);
}

ExchangeReply ExchangeEngine::ReplyOf(const Current& current, Bytes bytes) const {
    ExchangeReply reply;
    const std::string& pending = JudgedAgainst(current);
    reply.result = AcceptAnswer(BytesToHex(bytes), m_handler, pending);
    reply.kind = Unreadable(reply.result->event) ||
                         (m_unasked == Unasked::kPassOver && AnswersAnother(bytes, pending))
                     ? ReplyKind::kRefused
                     : ReplyKind::kAnswer;
    reply.bytes = std::move(bytes);
    reply.began = current.began;
    return reply;
}

void ExchangeEngine::Finish(ExchangeReply reply, ExchangeTime now) {
    Current current = std::move(*m_current);
    m_current.reset();
    reply.id = current.queued.id;
    reply.sent = current.sent;
    if (reply.kind == ReplyKind::kAnswer)
        for (Past& past : m_past)
            if (past.id == reply.id)
                past.answered = true;
    m_replies.push_back(std::move(reply));
    // what follows the answer is no part of it: it waits for the next request, or ends
    if (!current.buffer.empty()) {
        m_stale = std::move(current.buffer);
        m_staleSince = now;
        m_staleLast = current.last;
    }
}

bool ExchangeEngine::AnswersAnother(std::string_view frame, std::string_view pendingCommand) const {
    const AnswerEvent event = AcceptAnswer(BytesToHex(frame), m_handler, pendingCommand).event;
    // a search answer is taken whatever was asked, so it is told apart by what was asked
    return std::holds_alternative<answer::Refused>(event) ||
           (std::holds_alternative<answer::SearchAnswer>(event) &&
            pendingCommand != SearchCommand());
}

bool ExchangeEngine::Attribute(const Bytes& frame, ExchangeTime now) {
    for (auto past = m_past.rbegin(); past != m_past.rend(); ++past) {
        if (past->answered || (m_current && past->id == m_current->queued.id))
            continue;
        AnswerResult result = AcceptAnswer(BytesToHex(frame), m_handler, past->pendingCommand);
        if (Unreadable(result.event) || AnswersAnother(frame, past->pendingCommand))
            continue;
        past->answered = true;
        ExchangeReply reply;
        reply.id = past->id;
        reply.kind = ReplyKind::kAnswer;
        reply.result = std::move(result);
        reply.bytes = frame;
        reply.sent = past->sent;
        reply.began = now;
        reply.late = true;
        m_replies.push_back(std::move(reply));
        FrameTraceRecord record = TraceAnswer(frame, m_handler, past->pendingCommand);
        // the request awaited passes it over; its own request had been given up
        record.verdict = TraceVerdict::kRefused;
        Trace(std::move(record), now, duration_cast<milliseconds>(now - past->sent));
        return true;
    }
    return false;
}

void ExchangeEngine::PassOver(Bytes bytes, ExchangeTime now) {
    if (m_unasked == Unasked::kData) {
        if (!bytes.empty())
            HandOn(std::move(bytes), now);
        return;
    }
    while (!bytes.empty()) {
        const AnswerSpan span = FindAnswer(bytes);
        // noise before an answer, the answer, or what begins none
        const std::size_t length = span.end != AnswerEnd::kComplete ? bytes.size()
                                   : span.start > 0                 ? span.start
                                                                    : span.length;
        const Bytes piece = bytes.substr(0, length);
        bytes.erase(0, length);
        if (m_unasked == Unasked::kAnswers) {
            HandOn(piece, now);
            continue;
        }
        if (span.end == AnswerEnd::kComplete && span.start == 0 && Attribute(piece, now))
            continue;
        FrameTraceRecord record = TraceAnswer(piece, m_handler, m_lastCommand);
        // shown as what it most likely is, a late answer to a request before: nothing acts on it
        if (record.verdict == TraceVerdict::kAccepted)
            record.verdict = TraceVerdict::kRefused;
        Trace(std::move(record), now);
    }
}

void ExchangeEngine::HandOn(Bytes bytes, ExchangeTime now) {
    ExchangeReply reply;
    reply.kind = ReplyKind::kAnswer;
    reply.began = m_staleSince;
    FrameTraceRecord record;
    if (m_unasked == Unasked::kAnswers) {
        reply.result = AcceptAnswer(BytesToHex(bytes), m_handler, m_lastCommand);
        if (Unreadable(reply.result->event))
            reply.kind = ReplyKind::kRefused;
        record = TraceAnswer(bytes, m_handler, m_lastCommand);
    } else {
        record.direction = TraceDirection::kReceived;
        record.bytes = bytes;
    }
    reply.bytes = std::move(bytes);
    m_replies.push_back(std::move(reply));
    Trace(std::move(record), now);
}

void ExchangeEngine::PortLost(const std::string& cause) {
    const auto lost = [&](RequestId id, ExchangeTime sent) {
        ExchangeReply reply;
        reply.id = id;
        reply.kind = ReplyKind::kPortLost;
        reply.sent = sent;
        reply.cause = cause;
        m_replies.push_back(std::move(reply));
    };
    if (m_current)
        lost(m_current->queued.id, m_current->sent);
    m_current.reset();
    for (const Queued& queued : m_queue)
        lost(queued.id, {});
    m_queue.clear();
    m_stale.clear();
    // nothing sent before can be answered on the port that comes back
    m_past.clear();
}

std::optional<ExchangeTime> ExchangeEngine::NextDeadline() const {
    if (m_current) {
        const Current& current = *m_current;
        const milliseconds wait = current.queued.request.wait;
        if (current.buffer.empty())
            return current.firstDeadline;
        if (current.queued.request.completion == Completion::kQuiet)
            return current.last + wait + kJustOver;
        const ExchangeTime overdue = current.began + Longest(wait);
        const AnswerSpan span = FindAnswer(current.buffer);
        switch (span.end) {
        case AnswerEnd::kComplete:
            return IsEdedAt(current.buffer, span.start) ? std::min(current.last + Quiet(), overdue)
                                                        : current.last;
        case AnswerEnd::kPartial:
            return std::min(current.last + wait, overdue);
        case AnswerEnd::kUnframed:
            return std::min(current.last + UnframedQuiet() + kJustOver, overdue);
        }
    }
    std::optional<ExchangeTime> next;
    if (!m_stale.empty())
        next = StaleDeadline();
    if (!m_queue.empty())
        next = std::max(next.value_or(m_settleUntil), m_settleUntil);
    return next;
}

ExchangeTime ExchangeEngine::StaleDeadline() const {
    if (m_unasked == Unasked::kPassOver)
        return std::min(m_staleLast + Quiet() + kJustOver, m_staleSince + Longest(Quiet()));
    const AnswerSpan span = FindAnswer(m_stale);
    if (m_unasked == Unasked::kAnswers && span.start == 0 && span.end == AnswerEnd::kComplete)
        return IsEdedAt(m_stale, 0) ? m_staleLast + Quiet() : m_staleLast;
    return m_staleLast + m_frameDelay + kJustOver;
}

std::vector<ExchangeReply> ExchangeEngine::TakeReplies() {
    return std::exchange(m_replies, {});
}

std::vector<FrameTraceRecord> ExchangeEngine::TakeTrace() {
    return std::exchange(m_trace, {});
}

void ExchangeEngine::Trace(FrameTraceRecord record, ExchangeTime at,
                           std::optional<milliseconds> roundTrip) {
    record.sinceStart = duration_cast<milliseconds>(at - m_origin);
    record.roundTrip = roundTrip;
    m_trace.push_back(std::move(record));
}

} // namespace core
