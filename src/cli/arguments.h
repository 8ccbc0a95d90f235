// The command line: the command, its ports and options, checked before anything is opened.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Arguments {
    std::string command; // ports, search, read, write, diff, sn, records; empty for the help
    std::vector<std::string> ports; // as named, in the order given
    bool allPorts = false;          // --all: every port `qxcli ports` lists
    std::string profile;            // write, diff
    bool help = false;
    bool version = false;
    bool json = false;  // one JSON object a port, a line each
    bool quiet = false; // no progress on a terminal

    // Every command that talks to a module.
    std::optional<int> baud;   // skip the search: this rate, with `parity`
    std::optional<int> parity; // parity code: 0 none, 1 even, 2 odd
    bool trace = false;
    std::optional<int> timeoutMs;
    bool eded = false; // the short framing, for the modules of that variant

    std::optional<int> stepWaitMs;      // search
    std::vector<std::string> sets;      // write: KEY=VALUE
    std::optional<int> settleMs;        // write: after a change of the serial settings
    std::string model, year, month;     // sn
    std::string counter;                // sn
    bool force = false;                 // sn: a model of another family than the module's
    bool onlyIfBlank = false;           // sn: only a module without a number
    bool dryRun = false;                // write, sn: talk to the module, write nothing
    std::string records;                // write, sn, records: a file or a postgresql:// URL
    std::string bench;                  // write, sn: the name recorded, else the host name
    std::string serial, port, from, to; // records: what the listing keeps
    bool csv = false;                   // records
};

// Throws Failure (kUsage) naming the word that is wrong.
Arguments ParseArguments(const std::vector<std::string>& words);

} // namespace cli
