#include "module.h"

#include "config/profile.h"
#include "core/answer_frame.h"
#include "core/late_answer.h"
#include "core/models.h"
#include "core/request.h"
#include "core/search_order.h"
#include "core/setting_values.h"
#include "serial/net_device.h"

#include <algorithm>
#include <filesystem>

namespace cli {

namespace {

using namespace std::chrono;
using Clock = steady_clock;

// A module takes a few tens of ms to answer a request (the simulated one 30 ms); the margin
// covers the scheduling of this process and a USB adapter's burst timer.
constexpr milliseconds kTurnaround(50);
constexpr milliseconds kMargin(20);
// The walk goes again at most with its steps waiting this many times as long.
constexpr int kSlowest = 8;

// Where the line each port's module was last found at is kept, beside Config.ini.
constexpr char kFoundSection[] = "Found";

config::Profile LinesFound() {
    return config::Profile(std::filesystem::current_path() / "qxcli-lines.ini");
}

std::optional<core::SearchLine> LastFound(const ModulePort& port) {
    return core::ParseSearchLine(LinesFound().ReadString(kFoundSection, port.Name(), ""));
}

milliseconds Since(Clock::time_point origin, Clock::time_point at) {
    return duration_cast<milliseconds>(at - origin);
}

const core::Command& Search() {
    return core::CommandAt(core::cmd::kSearch);
}

std::string LineText(int baud, int parity) {
    return std::to_string(baud) + " baud " + core::SettingValueText(core::Setting::kParity, parity);
}

// "ED ED 00 20 FA"
std::string SpacedHex(const core::Bytes& bytes) {
    std::string hex = core::BytesToHex(bytes, true);
    if (hex.ends_with(' '))
        hex.pop_back();
    return hex;
}

// Where a module answered the search in the short framing, which carries no model: such an
// answer is passed over, but the message says that it came.
struct ShortAnswer {
    std::string line;
    std::string hex;
};

// Sends the search request at the port's line; the search answer, or nothing. A silent step
// ends after `firstByte`; an answer that has begun gets the whole `wait`.
std::optional<core::answer::SearchAnswer> TrySearch(ModulePort& port, milliseconds wait,
                                                    std::optional<ShortAnswer>& shortAnswer,
                                                    std::optional<milliseconds> firstByte = {}) {
    const auto result =
        port.Exchange(Search(), core::ReadPayload(port.FramingOf(Search())), wait, {}, firstByte);
    if (!result)
        return std::nullopt;
    if (const auto* found = std::get_if<core::answer::SearchAnswer>(&result->event))
        return *found;
    const std::string hex = core::BytesToHex(port.LastAnswer());
    const core::AnswerFrame eded = core::ParseEDEDAnswer(hex);
    if (!shortAnswer && eded.check == core::AnswerCheck::kFrame &&
        eded.code == core::AnswerCode(core::cmd::kSearch, core::Framing::kEDED))
        shortAnswer =
            ShortAnswer{LineText(port.Baud(), port.Parity()), SpacedHex(port.LastAnswer())};
    return std::nullopt;
}

// No search answer came; `where` says at which line or lines it was asked.
serial::ExchangeError NoModule(const ModulePort& port, const std::string& where,
                               const std::string& whatToTry,
                               const std::optional<ShortAnswer>& shortAnswer) {
    if (!shortAnswer)
        return {serial::ExchangeFault::kNoAnswer,
                port.Name() + ": no module answered " + where + "; " + whatToTry};
    return {serial::ExchangeFault::kNoAnswer,
            port.Name() + ": a module answered the search at " + shortAnswer->line +
                " in the short framing (" + shortAnswer->hex +
                "), which carries no model, so it is not taken as found; " +
                (port.Eded() ? "the module must answer the search in the 5A5A framing: check its "
                               "firmware"
                             : "try --framing eded")};
}

// The whole walk through `order`, each try waiting `slowdown` times its wait; the answer, and
// each try (numbered from 1) with when its request went out, the try the answer came at last.
// Throws serial::ExchangeError kNoAnswer when no try is answered.
core::answer::SearchAnswer Walk(ModulePort& port, const Arguments& arguments,
                                const std::vector<core::SearchLine>& order, int slowdown,
                                std::vector<core::StepSent>& sent, Clock::time_point origin,
                                const SearchShown& shown) {
    const std::size_t requestBytes = core::BuildRequest(Search(), port.FramingOf(Search()),
                                                        core::ReadPayload(port.FramingOf(Search())))
                                         .bytes.size();
    std::optional<ShortAnswer> shortAnswer;
    for (std::size_t at = 0; at < order.size(); ++at) {
        const core::SearchLine line = order[at];
        if (shown)
            shown("try " + std::to_string(at + 1) + " of " + std::to_string(order.size()) + " at " +
                  core::SearchLineText(line));
        port.SetLine(line.baud, line.parity);
        const milliseconds stepWait =
            slowdown * (arguments.stepWaitMs
                            ? milliseconds(*arguments.stepWaitMs)
                            : DefaultStepWait(requestBytes, line.baud, line.parity));
        const auto found = TrySearch(port, AnswerWait(arguments), shortAnswer, stepWait);
        sent.push_back({static_cast<int>(at) + 1, Since(origin, port.LastSent())});
        if (found)
            return *found;
    }
    throw NoModule(port,
                   "at any of the " + std::to_string(order.size()) +
                       " settings (600 to 57600 baud, even, odd, none)",
                   "check power and wiring, or try a longer --step-wait", shortAnswer);
}

// The try of `order` the walk's answer belongs to: each try it may answer is asked again, the
// newest first, with a wait that covers the time the answer took; before each try after the
// first, the answers to what was asked before have their time to come and go. The port is left
// at the try that answers, with its answer in `found`. Nothing when none answers again; the
// port is then back at the try the answer came at.
std::optional<int> StepOfAnswer(ModulePort& port, const std::vector<core::SearchLine>& order,
                                const std::vector<core::StepSent>& sent, Clock::time_point origin,
                                milliseconds wait, core::answer::SearchAnswer& found) {
    const milliseconds answerAt = Since(origin, port.LastAnswerBegan());
    const auto retries = core::StepsALateAnswerMayBelongTo(sent, answerAt, wait);
    // nothing was asked before it soon enough for the answer to be another step's (or, with a
    // step wait beyond --timeout, not even that step)
    if (retries.size() <= 1)
        return sent.back().step;
    // the longest the module may take to answer
    const milliseconds longest = answerAt - sent[sent.size() - retries.size()].at;
    std::optional<ShortAnswer> ignored;
    for (const core::StepRetry& retry : retries) {
        if (&retry != &retries.front())
            port.Listen(port.LastSent() + longest + kMargin);
        const core::SearchLine line = order[static_cast<std::size_t>(retry.step - 1)];
        port.SetLine(line.baud, line.parity);
        if (const auto again = TrySearch(port, wait, ignored, retry.wait)) {
            found = *again;
            return retry.step;
        }
    }
    const core::SearchLine line = order[static_cast<std::size_t>(sent.back().step - 1)];
    port.SetLine(line.baud, line.parity);
    return std::nullopt;
}

} // namespace

milliseconds AnswerWait(const Arguments& arguments) {
    return milliseconds(arguments.timeoutMs.value_or(1000));
}

milliseconds DefaultStepWait(std::size_t requestBytes, int baud, int parity) {
    return WireTime(requestBytes, baud, parity) + WireTime(1, baud, parity) + kTurnaround + kMargin;
}

Module FindModule(ModulePort& port, const Arguments& arguments, const SearchShown& shown) {
    Module module;
    const milliseconds wait = AnswerWait(arguments);
    std::optional<core::answer::SearchAnswer> found;
    if (arguments.baud) {
        port.SetLine(*arguments.baud, arguments.parity.value_or(0));
        if (shown)
            shown("asking at " + LineText(*arguments.baud, arguments.parity.value_or(0)));
        std::optional<ShortAnswer> shortAnswer;
        found = TrySearch(port, wait, shortAnswer);
        if (!found)
            throw NoModule(port, "at " + LineText(*arguments.baud, arguments.parity.value_or(0)),
                           "check power and wiring, or leave out --baud to search", shortAnswer);
    } else if (serial::FixedLine(port.Device())) {
        throw serial::ExchangeError{
            serial::ExchangeFault::kPort,
            port.Name() + ": the search cannot walk a raw socket: its line is the server's and "
                          "cannot be changed from here; give the server's line with --baud (and "
                          "--parity), or serve the port as rfc2217://"};
    } else {
        // An answer that comes after its step's wait, from a slow module or a busy PC, is
        // taken at a later step's line, where the module may not hear: it is given to the step
        // that answers again. When none does, the walk goes again with every step waiting
        // twice as long.
        const Clock::time_point origin = Clock::now();
        const std::vector<core::SearchLine> order = core::SearchOrder(LastFound(port));
        module.tries = static_cast<int>(order.size());
        for (int slowdown = 1;; slowdown *= 2) {
            std::vector<core::StepSent> sent;
            core::answer::SearchAnswer answer =
                Walk(port, arguments, order, slowdown, sent, origin, shown);
            const auto step = StepOfAnswer(port, order, sent, origin, wait, answer);
            if (step || slowdown == kSlowest) {
                module.step = step.value_or(sent.back().step);
                found = answer;
                break;
            }
        }
    }
    module.identity = *found;
    // The module's own word on its line: a port that cannot tell one parity from another (a
    // pseudo-terminal) finds it at the first of them.
    const auto serial = Ask<core::answer::SerialSettingsRead>(port, core::cmd::kReadSerial, wait);
    const int baud = core::BaudFromRateCode(serial.rateCode);
    const int parity = core::ParityAfterAnswer(serial.parity, port.Parity());
    if (baud != 0 && (baud != port.Baud() || parity != port.Parity()) && parity >= 0 && parity <= 2)
        port.SetLine(baud, parity);
    module.serialNumber = Ask<core::answer::SerialNumber>(port, core::cmd::kReadSerialNumber, wait);
    module.modelPosition = core::ModelIndexFromCode(module.serialNumber.modelCode);
    // The next search on this port tries here first; a file that cannot be written costs that
    // head start only.
    LinesFound().WriteString(kFoundSection, port.Name(),
                             core::SearchLineText({port.Baud(), port.Parity()}));
    return module;
}

} // namespace cli
