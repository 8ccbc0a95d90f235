// One command on several ports at once: each port on its own thread with its own port and
// engine (the exchange blocks per port), nothing shared but the output, the progress line and
// the order in which the serial-number counter is stepped.
#pragma once

#include "arguments.h"
#include "failure.h"
#include "json_values.h"
#include "progress.h"

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

namespace cli {

class PortTurns;

// One port's share: the block it prints, its JSON line, its progress.
class PortRun {
public:
    PortRun(std::string port, std::size_t index, Progress& progress, PortTurns& turns);

    const std::string& Port() const { return m_port; }
    // Its place among the ports named, from 0.
    std::size_t Index() const { return m_index; }
    std::ostringstream text; // the block on standard output, without the port's name
    Json json;               // the JSON line: "port", then what the command puts

    // What the port is doing now, on the progress line.
    void Show(const std::string& what);
    // Show as a function, for the search walk.
    std::function<void(const std::string&)> Shown();
    // Runs `step` once every port before this one has had its turn or has failed: the
    // counter is stepped in port order however fast each module is found.
    void InTurn(const std::function<void()>& step);

private:
    std::string m_port;
    std::size_t m_index;
    Progress& m_progress;
    PortTurns& m_turns;
};

// The ports of a command: those named, or with --all each port `qxcli ports` lists.
std::vector<std::string> PortsOf(const Arguments& arguments);

// What to do when there is no serial port at all, `config` being the Config.ini looked in.
std::string NoSerialPorts(const std::filesystem::path& config);

// What the summary calls a port that ended with each exit code.
struct ResultWords {
    std::string done;                // "written"
    std::string refused = "refused"; // "differ" for diff
};

// Runs `work` for every port, each on a thread of its own, then prints each port's block (or
// JSON line) in the order named and each port's error on standard error; with several ports
// a block begins with "# PORT" and a summary line ends standard error. Returns the worst exit
// code, the highest (failure.h).
Exit RunOnPorts(const Arguments& arguments, const ResultWords& words,
                const std::function<void(PortRun&)>& work);

} // namespace cli
