// Finding the module on the port and learning who it is: the search walk, or the line the
// operator names, then its serial settings and serial number.
#pragma once

#include "arguments.h"
#include "core/answer.h"
#include "failure.h"
#include "serial/module_exchange.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace cli {

using serial::Ask;
using serial::Module;
using serial::ModulePort;
using serial::Put;
using serial::WireTime;

// How long a module has to answer once found: --timeout, else 1 s.
std::chrono::milliseconds AnswerWait(const Arguments& arguments);

// The search walk's default wait for the first byte of an answer at a step: the request's
// wire time at the step's line, the module's turnaround and a margin. A walk of all 21 steps
// with no module then takes about 3 s instead of the window's 23 s.
std::chrono::milliseconds DefaultStepWait(std::size_t requestBytes, int baud, int parity);

// Where the search is, for the progress line: "try 5 of 21 at 1200 odd".
using SearchShown = std::function<void(const std::string&)>;

// Finds the module at --baud/--parity or by the walk, leaves the port at the line where it
// answers, and reads its serial number. Throws serial::ExchangeError kNoAnswer when no module
// answers.
Module FindModule(ModulePort& port, const Arguments& arguments, const SearchShown& shown = {});

} // namespace cli
