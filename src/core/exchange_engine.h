// The exchange with a module, without a port or a clock: requests queue, the engine says which
// to write and when, received bytes and the time are fed in, and each reply comes out tied to
// the request it answers, with a trace record for every frame and the verdict the engine gave.
//
// One completion rule for every front end: a framed answer is complete at the length its frame
// declares (EDED, which declares none, when its checksum holds), never after a pause; only
// unframed data (pair test, terminal) ends when the line has been quiet.
//
// A front end drives it the same way whether it blocks or not: write what NextToSend gives and
// report it with Sent, feed every received chunk to Receive, and call Tick at NextDeadline (a
// blocking wait sleeps until then; a window arms one single-shot timer there and feeds bytes
// from a notifier on the port, so it costs nothing while nothing arrives). Replies carry their
// request's id, so each reply can go back to whoever submitted the request.
#pragma once

#include "answer.h"
#include "frame_trace.h"
#include "request.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

using ExchangeClock = std::chrono::steady_clock;
using ExchangeTime = ExchangeClock::time_point;
using RequestId = std::uint64_t;

// A whole frame of `bytes` takes this long on the wire at `baud`, with a parity bit where
// `parity` is not 0: start, 8 data, parity and stop bits for each byte, rounded up to whole ms.
std::chrono::milliseconds WireTime(std::size_t bytes, int baud, int parity);

// What ends the answer to a request.
enum class Completion {
    kFramed, // a frame: at the length it declares; bytes that begin none end at a short pause
    kQuiet,  // unframed data: when the line has been quiet for longer than `wait`
};

// What becomes of bytes while no request is awaited, and how answers are judged.
enum class Unasked {
    // Traced and passed over; a good answer to an earlier request that went unanswered is its
    // late reply. Each answer is judged against its own request's command.
    kPassOver,
    // Each whole answer is handed on at once as a reply (id 0 when no request awaits it), and
    // every answer is judged against the last command, whoever recorded it: a window accepts
    // what answers the command it sent last, and only that, however often it comes. Bytes that
    // begin no answer end when the line has been quiet for the frame delay.
    kAnswers,
    // Handed on as data (a reply with id 0) once the line has been quiet for the frame delay.
    kData,
};

struct ExchangeRequest {
    // The bytes and, for a framed request, the command its answer is accepted against.
    Request request;
    Completion completion = Completion::kFramed;
    // Silence allowed before the answer's first byte.
    std::chrono::milliseconds firstByte{1000};
    // kFramed: the pause allowed inside a begun answer, which also bounds it with the longest
    // answer's wire time; kQuiet: the quiet time that ends the data (the frame delay).
    std::chrono::milliseconds wait{1000};
    // Goes out at once, before anything queued, settle or not: an operator's request. A request
    // still awaited is given up as unanswered; bytes on their way stay for the new one.
    bool immediate = false;
};

enum class ReplyKind {
    kAnswer,   // the answer awaited (kQuiet: the data)
    kNoAnswer, // nothing came within the wait
    kRefused,  // an answer to another command, a bad checksum, a cut or unreadable answer
    kPortLost, // the port vanished, or did not take the request
};

struct ExchangeReply {
    RequestId id = 0;
    ReplyKind kind = ReplyKind::kNoAnswer;
    // The answer as AcceptAnswer reads it against the request's command (framed requests).
    std::optional<AnswerResult> result;
    Bytes bytes; // the answer or data as received
    ExchangeTime sent{};
    ExchangeTime began{}; // the answer's first byte
    // An answer that came after its request was given up as unanswered: attributed to it by
    // the command it answers, while a later request was awaited or none was.
    bool late = false;
    std::string cause; // kPortLost: why
};

class ExchangeEngine {
public:
    // `handler` is the framing every answer is read in (kEDED passes 5A5A answers on); `origin`
    // is where the trace's times count from.
    ExchangeEngine(Framing handler, ExchangeTime origin);

    // The line the port runs at now: it sets the pause that ends bytes beginning no frame and
    // the longest answer's wire time.
    void SetLine(int baud, int parity);
    // No request goes out before `until`: a module takes up new serial settings a moment after
    // it answered at the old ones.
    void Settle(ExchangeTime until);
    // What becomes of bytes no request awaits (kPassOver until told), and the operator's frame
    // delay that ends bytes beginning no frame under kAnswers and kData.
    void Listen(Unasked unasked, std::chrono::milliseconds frameDelay);
    // The framing answers are read in, as given to the constructor.
    void SetHandler(Framing handler) { m_handler = handler; }
    // The command answers are judged against under kAnswers; a request sent records its own.
    void SetLastCommand(std::string_view command);

    // Queues a request; its reply carries the id returned.
    RequestId Submit(ExchangeRequest request);
    // The request to write now, or none: one is awaited, the engine settles, or bytes still on
    // the line (a late answer, noise) have not ended yet. The caller writes it and says Sent.
    struct Outgoing {
        RequestId id;
        const Request& request;
    };
    std::optional<Outgoing> NextToSend(ExchangeTime now);
    // The request NextToSend gave is on the wire: its waits count from `now`.
    void Sent(RequestId id, ExchangeTime now);
    // Bytes written outside any request (terminal and test data): traced, nothing awaited.
    void SentRaw(std::string_view bytes, ExchangeTime now);

    // Bytes the port delivered at `now`; then as Tick.
    void Receive(std::string_view bytes, ExchangeTime now);
    // Ends what `now` ends: an answer complete or cut off, a wait without answer.
    void Tick(ExchangeTime now);
    // The port is gone (or did not take a request): every request queued or awaited gets
    // kPortLost with `cause`, and no answer from before is taken as late.
    void PortLost(const std::string& cause);

    // When the engine next needs a Tick, if ever; at or before `now` means at once.
    std::optional<ExchangeTime> NextDeadline() const;

    // Replies and trace records since the last call, oldest first. A trace record has its
    // direction, framing, name, bytes, verdict, round trip and time since `origin`; the front
    // end adds the wall clock, port and line.
    std::vector<ExchangeReply> TakeReplies();
    std::vector<FrameTraceRecord> TakeTrace();

    // Nothing queued or awaited.
    bool Idle() const { return !m_current && m_queue.empty(); }
    // Received bytes not handed on yet.
    std::size_t Held() const { return m_stale.size() + (m_current ? m_current->buffer.size() : 0); }

private:
    struct Queued {
        RequestId id;
        ExchangeRequest request;
    };
    // A request sent earlier that may yet get a late answer.
    struct Past {
        RequestId id;
        std::string pendingCommand;
        ExchangeTime sent;
        bool answered;
    };
    struct Current {
        Queued queued;
        ExchangeTime sent{};
        ExchangeTime firstDeadline{};
        Bytes buffer;
        ExchangeTime began{};
        ExchangeTime last{};
        // The last answer to another command: the verdict when none to this one comes.
        std::optional<ExchangeReply> another;
    };

    std::chrono::milliseconds Quiet() const;
    std::chrono::milliseconds Longest(std::chrono::milliseconds wait) const;
    // How many of the bytes no request took have ended by `now`, and when more may end.
    std::size_t StaleEnd(ExchangeTime now) const;
    ExchangeTime StaleDeadline() const;
    // The pause that ends bytes beginning no frame.
    std::chrono::milliseconds UnframedQuiet() const;
    // The command an answer to `current` is judged against.
    const std::string& JudgedAgainst(const Current& current) const;
    void Advance(ExchangeTime now);
    void AdvanceFramed(Current& current, ExchangeTime now);
    void AdvanceQuiet(Current& current, ExchangeTime now);
    // Ends the awaited request with `reply`, the rest of its buffer left for what comes next.
    void Finish(ExchangeReply reply, ExchangeTime now);
    ExchangeReply ReplyOf(const Current& current, Bytes bytes) const;
    // Whether `frame` is a good answer to another command than `pendingCommand`.
    bool AnswersAnother(std::string_view frame, std::string_view pendingCommand) const;
    // Traces bytes no awaited request takes, one answer at a time: a good answer to an earlier
    // request still unanswered becomes its late reply; under kAnswers and kData each piece is
    // handed on.
    void PassOver(Bytes bytes, ExchangeTime now);
    // Gives up the request awaited for one sent at once; what it holds goes to the next.
    void GiveUp(ExchangeTime now);
    // A piece no request awaited, as a reply with id 0 (kAnswers, kData).
    void HandOn(Bytes bytes, ExchangeTime now);
    bool Attribute(const Bytes& frame, ExchangeTime now);
    void Trace(FrameTraceRecord record, ExchangeTime at,
               std::optional<std::chrono::milliseconds> roundTrip = std::nullopt);

    Framing m_handler;
    ExchangeTime m_origin;
    int m_baud = 9600;
    int m_parity = 0;
    Unasked m_unasked = Unasked::kPassOver;
    std::chrono::milliseconds m_frameDelay{300};
    ExchangeTime m_settleUntil{};
    RequestId m_nextId = 1;
    std::deque<Queued> m_queue;
    std::optional<Current> m_current;
    std::deque<Past> m_past;
    // the command last awaited (kAnswers: the one recorded last): passed-over bytes are read
    // against it
    std::string m_lastCommand;
    Bytes m_stale; // received while no request was awaited
    ExchangeTime m_staleSince{};
    ExchangeTime m_staleLast{};
    std::vector<ExchangeReply> m_replies;
    std::vector<FrameTraceRecord> m_trace;
};

} // namespace core
