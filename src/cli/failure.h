// How qxcli ends: its exit codes, and the one line that tells an operator or a script what
// failed and what to try.
#pragma once

#include "serial/module_exchange.h"

#include <string>

namespace cli {

// With several ports the worst is the highest: a store or counter server that cannot be used
// (4) outranks what one module did (1 .. 3), as it concerns every port of the bench and may leave
// a module written but not recorded.
enum class Exit : int {
    kDone = 0,
    kNotFound = 1, // no module answered
    kRefused = 2,  // the module or the profile refused, or the read-back differs
    kPort = 3,     // the port cannot be opened, configured or used
    kStore = 4,    // the records or the counter's server cannot be reached or written
    kUsage = 64,   // the command line or a file named on it is wrong
};

// Thrown to end a command; main prints the message on standard error and exits with the code.
struct Failure {
    Exit exit;
    std::string message;
};

// The exit code of a failed exchange with the module.
constexpr Exit ExitOf(serial::ExchangeFault fault) {
    switch (fault) {
    case serial::ExchangeFault::kNoAnswer:
        return Exit::kNotFound;
    case serial::ExchangeFault::kRefused:
        return Exit::kRefused;
    case serial::ExchangeFault::kPort:
        break;
    }
    return Exit::kPort;
}

} // namespace cli
