#include "module.h"

#include "core/models.h"
#include "core/request.h"
#include "core/search_walk.h"
#include "core/setting_values.h"

#include <algorithm>

namespace cli {

namespace {

using namespace std::chrono;

// A module takes a few tens of ms to answer a request (the simulated one 30 ms); the margin
// covers the scheduling of this process and a USB adapter's burst timer.
constexpr milliseconds kTurnaround(50);
constexpr milliseconds kMargin(20);
// The walk goes again at most with its steps waiting this many times as long.
constexpr int kSlowest = 8;

// The search step's line: the port dialog's baud list runs from 600 as the rate codes from 1,
// and its parity list (even, odd, none) is the order of the parity codes' list positions.
int BaudOfStep(const core::SearchStep& step) {
    return core::BaudFromRateCode(step.baud_position + 1);
}
int ParityOfStep(const core::SearchStep& step) {
    return core::ParityCodeFromPosition(step.parity_position);
}

const core::Command& Search() {
    return core::CommandAt(core::cmd::kSearch);
}

// Sends the search request at the port's line; the search answer, or nothing. A silent step
// ends after `firstByte`; an answer that has begun gets the whole `wait`.
std::optional<core::answer::SearchAnswer> TrySearch(ModulePort& port, milliseconds wait,
                                                    std::optional<milliseconds> firstByte = {}) {
    const auto result =
        port.Exchange(Search(), core::ReadPayload(port.FramingOf(Search())), wait, {}, firstByte);
    if (!result)
        return std::nullopt;
    const auto* found = std::get_if<core::answer::SearchAnswer>(&result->event);
    return found ? std::optional(*found) : std::nullopt;
}

std::string LineText(int baud, int parity) {
    return std::to_string(baud) + " baud " + core::SettingValueText(core::Setting::kParity, parity);
}

// The whole walk from the slowest setting, as the window's full search, each step waiting
// `slowdown` times its wait; the answer and its step, and the longest step wait it took.
// Throws serial::ExchangeError kNoAnswer when no step is answered.
core::answer::SearchAnswer Walk(ModulePort& port, const Arguments& arguments, int slowdown,
                                int& step, milliseconds& longest) {
    const std::size_t requestBytes = core::BuildRequest(Search(), port.FramingOf(Search()),
                                                        core::ReadPayload(port.FramingOf(Search())))
                                         .bytes.size();
    std::optional<core::answer::SearchAnswer> found;
    core::SearchWalk walk;
    for (core::SearchAction action = core::StartSearchWalk(walk, 1);
         action.what == core::SearchDo::Try;
         action = core::TickSearchWalk(walk, found.has_value())) {
        const int baud = BaudOfStep(action.line);
        const int parity = ParityOfStep(action.line);
        port.SetLine(baud, parity);
        const milliseconds stepWait =
            slowdown * (arguments.stepWaitMs ? milliseconds(*arguments.stepWaitMs)
                                             : DefaultStepWait(requestBytes, baud, parity));
        longest = std::max(longest, stepWait);
        found = TrySearch(port, AnswerWait(arguments), stepWait);
        step = action.step;
    }
    if (!found)
        throw serial::ExchangeError{serial::ExchangeFault::kNoAnswer,
                                    port.Name() +
                                        ": no module answered at any of the 21 settings "
                                        "(600 to 38400 baud, even, odd, none); check power and "
                                        "wiring, or try a longer --step-wait"};
    return *found;
}

// Whether the module answers at the port's line now.
bool Answers(ModulePort& port, milliseconds wait) {
    return TrySearch(port, wait).has_value();
}

} // namespace

milliseconds AnswerWait(const Arguments& arguments) {
    return milliseconds(arguments.timeoutMs.value_or(1000));
}

milliseconds DefaultStepWait(std::size_t requestBytes, int baud, int parity) {
    return WireTime(requestBytes, baud, parity) + WireTime(1, baud, parity) + kTurnaround + kMargin;
}

Module FindModule(ModulePort& port, const Arguments& arguments) {
    Module module;
    const milliseconds wait = AnswerWait(arguments);
    std::optional<core::answer::SearchAnswer> found;
    if (arguments.baud) {
        port.SetLine(*arguments.baud, arguments.parity.value_or(0));
        found = TrySearch(port, wait);
        if (!found)
            throw serial::ExchangeError{
                serial::ExchangeFault::kNoAnswer,
                port.Name() + ": no module answered at " +
                    LineText(*arguments.baud, arguments.parity.value_or(0)) +
                    "; check power and wiring, or leave out --baud to search"};
    } else {
        // An answer that comes after its step's wait, from a slow module or a busy PC, is
        // taken at the next step's line, where the module does not hear: when it does not
        // answer there, the walk goes again with every step waiting twice as long. The first
        // step has none before it.
        for (int slowdown = 1;; slowdown *= 2) {
            milliseconds longest{};
            found = Walk(port, arguments, slowdown, module.step, longest);
            if (module.step == 1 || slowdown == kSlowest || longest >= wait || Answers(port, wait))
                break;
        }
    }
    module.identity = *found;
    // The module's own word on its line: a port that cannot tell one parity from another (a
    // pseudo-terminal) finds it at the first of them.
    const auto serial = Ask<core::answer::SerialSettingsRead>(port, core::cmd::kReadSerial, wait);
    const int baud = core::BaudFromRateCode(serial.rateCode);
    if (baud != 0 && (baud != port.Baud() || serial.parity != port.Parity()) &&
        serial.parity >= 0 && serial.parity <= 2)
        port.SetLine(baud, serial.parity);
    module.serialNumber = Ask<core::answer::SerialNumber>(port, core::cmd::kReadSerialNumber, wait);
    module.modelPosition = core::ModelIndexFromCode(module.serialNumber.modelCode);
    return module;
}

} // namespace cli
