// Finding the module on the port and learning who it is: the search walk, or the line the
// operator names, then its serial settings and serial number.
#pragma once

#include "arguments.h"
#include "core/answer.h"
#include "failure.h"
#include "module_port.h"

#include <chrono>
#include <optional>
#include <string>
#include <variant>

namespace cli {

struct Module {
    int step = 0; // the search step that found it; 0 when the line was given
    core::answer::SearchAnswer identity{};
    int modelPosition = -1;
    core::answer::SerialNumber serialNumber;
};

// How long a module has to answer once found: --timeout, else 1 s.
std::chrono::milliseconds AnswerWait(const Arguments& arguments);

// The search walk's default wait for the first byte of an answer at a step: the request's
// wire time at the step's line, the module's turnaround and a margin. A walk of all 21 steps
// with no module then takes about 3 s instead of the window's 23 s.
std::chrono::milliseconds DefaultStepWait(std::size_t requestBytes, int baud, int parity);

// Finds the module at --baud/--parity or by the walk, leaves the port at the line where it
// answers, and reads its serial number. Throws Failure kNotFound when no module answers.
Module FindModule(ModulePort& port, const Arguments& arguments);

// One exchange whose answer is accepted: its event. Failure kNotFound when none came, kRefused
// for any other answer, each naming the command.
core::AnswerEvent Ask(ModulePort& port, const core::Command& command, std::string_view payload,
                      std::chrono::milliseconds wait, std::string_view id = {});

// The same, for an answer that carries the event E.
template <class E>
E Ask(ModulePort& port, std::uint8_t code, std::chrono::milliseconds wait,
      std::string_view id = {}) {
    const core::Command& command = *core::FindCommand(code, !id.empty());
    const core::AnswerEvent event =
        Ask(port, command, core::ReadPayload(port.FramingOf(command)), wait, id);
    if (const E* e = std::get_if<E>(&event))
        return *e;
    throw Failure{Exit::kRefused, port.Name() + ": an answer without the data of " +
                                      core::CommandLogName(code, !id.empty())};
}

// Sends a write and tells whether the module took it: empty, or why not.
std::string Put(ModulePort& port, const core::Command& command, std::string_view payload,
                std::chrono::milliseconds wait);

} // namespace cli
