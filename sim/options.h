// qxsim's command line.
#pragma once

#include "core/module/module_faults.h"
#include "core/module/module_state.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

struct Options {
    int modules = 1;
    std::string link_dir;   // empty: no links
    std::string state_file; // empty: nothing kept across runs
    bool eded = false;
    bool verbose = false;
    bool help = false;
    int turnaround_ms = 30;
    double loss = 0;         // chance that an air packet is lost
    double bit_errors = 0;   // chance that an air bit is flipped
    int air_delay_ms = 0;    // added to every packet's air time
    int switch_delay_ms = 0; // from an answer to the serial settings it announced
    std::uint64_t seed = 1;
    std::vector<core::AnswerFault> faults;
    // Factory state of each module, from the defaults and the identity options.
    std::vector<core::ModuleState> factory;
};

struct ParsedOptions {
    Options options;
    std::string error; // empty when the command line was understood
};

// `args` without the program name.
ParsedOptions ParseOptions(std::span<const std::string> args);
std::string HelpText();

} // namespace sim
