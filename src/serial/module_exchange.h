// The port a module hangs on, for a blocking exchange: opened through the serial link, one
// request at a time, a thin wait on the core's exchange engine, which ends each answer and
// traces every frame (on demand).
#pragma once

#include "commfunction.h"
#include "core/answer.h"
#include "core/catalogue.h"
#include "core/exchange_engine.h"
#include "core/frame_trace.h"
#include "core/line_settings.h"
#include "core/services.h"
#include "device_sio.h"
#include "exchanger.h"
#include "link.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace serial {

// Why an exchange failed; each caller says what to do about it.
enum class ExchangeFault {
    kNoAnswer, // no module answered, or it stopped answering
    kRefused,  // the module answered but did not take the request
    kPort,     // the port cannot be opened, configured or used
};

struct ExchangeError {
    ExchangeFault fault;
    std::string message;
};

// Where every frame's trace line goes; empty for none.
using TraceSink = std::function<void(const std::string& line)>;

// Keeps the serial link's message boxes as text, so a failure can name its reason.
class MessageKeeper : public core::Dialogs {
public:
    void Information(const std::string& text) override { m_last = text; }
    void Warning(const std::string& text) override { m_last = text; }
    void Error(const std::string& text) override { m_last = text; }
    bool Question(const std::string&) override { return false; }
    bool WarningQuestion(const std::string&) override { return false; }
    // The last message and forgets it; its reason line where it has one.
    std::string Take();

private:
    std::string m_last;
};

class ModulePort final : public Exchanger {
public:
    // `name` is what the operator typed (COM3, /dev/ttyUSB0), `device` the path it stands for.
    ModulePort(std::string name, std::string device, TraceSink trace, bool eded);
    ~ModulePort();
    ModulePort(const ModulePort&) = delete;
    ModulePort& operator=(const ModulePort&) = delete;

    // Throws ExchangeError kPort with the reason: a busy port names its holder where /proc tells.
    void Open();
    // Rate in baud and parity code (0 none, 1 even, 2 odd), 8 data bits, 1 stop bit.
    void SetLine(int baud, int parity);
    const core::LineSettings& Line() const { return m_line; }
    int Baud() const { return m_line.BaudRate; }
    int Parity() const override { return m_parity; }
    const std::string& Name() const override { return m_name; }
    // The device the name stands for: a path, or a network URL.
    const std::string& Device() const { return m_own->device; }
    bool Eded() const { return m_eded; }

    // Sends the command in the framing this port uses for it and waits for the engine's reply:
    // the answer's first byte must come within `firstByte` (`wait` when not given); a framed
    // answer is complete once it is as long as its frame says, a begun one waits up to `wait`
    // for each next byte and ends within the longest answer's wire time and `wait`. An answer to
    // another request (a late one) is traced and passed over; it is the reply (kRefused) only
    // when none to this one comes. A lost port, or one that does not take the request, throws
    // ExchangeError kPort with the cause.
    core::ExchangeReply Request(const core::Command& command, std::string_view payload,
                                std::chrono::milliseconds wait, std::string_view id = {},
                                std::optional<std::chrono::milliseconds> firstByte = {});
    // The same, as the answer read against the command; nothing when no byte came.
    std::optional<core::AnswerResult>
    Exchange(const core::Command& command, std::string_view payload, std::chrono::milliseconds wait,
             std::string_view id = {}, std::optional<std::chrono::milliseconds> firstByte = {});
    // The same, the reply to `done` before it returns, a lost port's among them.
    void Submit(const core::Command& command, std::string_view payload,
                std::chrono::milliseconds wait, std::string_view id, Done done) override;
    // SetLine, then Settle.
    std::string FollowLine(int baud, int parity, std::chrono::milliseconds settle) override;

    // The next request waits `settle` from now: a module takes up new serial settings a moment
    // after it answered at the old ones.
    void Settle(std::chrono::milliseconds settle);

    // Takes whatever the line brings until `until` and traces it: answers still on their way
    // to requests before would pass for the next request's.
    void Listen(std::chrono::steady_clock::time_point until);

    // The framing a command goes out in on this port.
    core::Framing FramingOf(const core::Command& command) const override;
    // The bytes of the last answer collected, and when its first byte came; when its request
    // went out.
    const core::Bytes& LastAnswer() const { return m_lastAnswer; }
    std::chrono::steady_clock::time_point LastAnswerBegan() const { return m_answerBegan; }
    std::chrono::steady_clock::time_point LastSent() const { return m_sentAt; }
    // The model variant the port talks to: the long framing's name, else empty.
    const std::string& Variant() const override { return m_variant; }
    // Added to a refusal's message: where to look for the answer that was refused.
    void SetRefusalHint(std::string hint) { m_refusalHint = std::move(hint); }
    const std::string& RefusalHint() const override { return m_refusalHint; }

private:
    // Queues a request and returns the id its reply carries.
    core::RequestId Queue(const core::Command& command, std::string_view payload,
                          std::chrono::milliseconds wait, std::string_view id,
                          std::chrono::milliseconds firstByte);
    // Moves the exchange on without waiting: writes what the engine says, feeds it the port's
    // bytes and the clock, traces what it records; whether bytes came.
    bool Pump();
    // Pumps, then sleeps until the engine's next deadline, the next poll or `until` when no
    // bytes came.
    void Step(std::chrono::steady_clock::time_point until);
    // Sends the request and steps until its reply comes; late replies to earlier requests are
    // passed over.
    core::ExchangeReply Await(const core::Command& command, std::string_view payload,
                              std::chrono::milliseconds wait, std::string_view id,
                              std::chrono::milliseconds firstByte);
    // Why the request could not be written, in words the operator can act on.
    std::string WriteFailure();

    // The serial stack of a port this object opens itself.
    struct OwnPort {
        OwnPort(std::string device, const std::string& variant);
        std::string device;
        MessageKeeper messages;
        DeviceSio sio;
        TCommFun commFun;
        Link link;
    };

    // The link's last message, and forgets it.
    std::string TakeMessage();

    std::string m_name;
    TraceSink m_trace;
    bool m_eded;
    std::string m_variant;
    std::string m_refusalHint;
    std::unique_ptr<OwnPort> m_own;
    TCommFun& m_commFun;
    Link& m_link;
    int m_port;
    core::LineSettings m_line;
    int m_parity = 0;
    std::chrono::steady_clock::time_point m_origin; // where the engine's trace times count from
    core::ExchangeEngine m_engine;
    std::chrono::steady_clock::time_point m_sentAt{};
    core::Bytes m_lastAnswer;
    std::chrono::steady_clock::time_point m_answerBegan{};
    std::string m_lost; // why the port vanished, once it has
};

using core::WireTime;

// Who the module on a port is: what it answered to the search and its serial number.
struct Module {
    int step = 0;  // the search's try that found it, from 1; 0 when the line was given
    int tries = 0; // the lines the search would have tried
    core::answer::SearchAnswer identity{};
    int modelPosition = -1;
    core::answer::SerialNumber serialNumber;
};

// The event of the answer `reply` carries when `command` accepts it; otherwise the failure:
// ExchangeError kNoAnswer when none came, kRefused for any other answer, each naming the
// command, kPort with the cause of a lost port.
std::variant<core::AnswerEvent, ExchangeError>
Accepted(const Exchanger& port, const core::Command& command, core::ExchangeReply reply);

// One exchange whose answer is accepted: its event. Throws what Accepted gives for a failure.
core::AnswerEvent Ask(ModulePort& port, const core::Command& command, std::string_view payload,
                      std::chrono::milliseconds wait, std::string_view id = {});

// An answer to `code` that lacks the data asked for (ExchangeError kRefused).
ExchangeError WithoutData(const Exchanger& port, std::uint8_t code, bool io);

// The same, for an answer that carries the event E.
template <class E>
E Ask(ModulePort& port, std::uint8_t code, std::chrono::milliseconds wait,
      std::string_view id = {}) {
    const core::Command& command = *core::FindCommand(code, !id.empty());
    const core::AnswerEvent event =
        Ask(port, command, core::ReadPayload(port.FramingOf(command)), wait, id);
    if (const E* e = std::get_if<E>(&event))
        return *e;
    throw WithoutData(port, code, !id.empty());
}

// Sends a write and tells whether the module took it: empty, or why not. A lost port throws
// ExchangeError kPort with its cause.
std::string Put(ModulePort& port, const core::Command& command, std::string_view payload,
                std::chrono::milliseconds wait);

} // namespace serial
