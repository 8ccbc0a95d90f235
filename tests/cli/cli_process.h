// qxcli as a child of a test: run to its end with its output kept, or started and left running
// so the test can stop it by pid.
#pragma once

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/types.h>
#include <vector>

struct CliRun {
    int exit_code = -1; // -1: killed, or did not end within the bound
    std::string output;
    std::string errors;
    std::chrono::milliseconds took{};
};

// Runs `qxcli args...` in `directory` (empty: a new empty one) and waits for its end, at most
// 60 s.
CliRun RunCli(const std::vector<std::string>& args, const std::string& directory = {});

// Runs `qxcli args...` with its standard error on the terminal `terminal` (a pseudo-terminal's
// slave path), as an operator's shell gives it; `errors` is left empty for the test to read the
// terminal's master.
CliRun RunCliOnTerminal(const std::vector<std::string>& args, const std::string& terminal);

// Starts `qxcli args...` in `directory` (where its records go) with `variable` (NAME, set to 1,
// or NAME=VALUE) in its environment, standard error to `errors_file`; the pid, or -1.
pid_t StartCli(const std::vector<std::string>& args, const std::string& variable,
               const std::string& errors_file, const std::string& directory);

// Each JSON line of a run's `output`, parsed; a line that is no JSON fails the test.
std::vector<nlohmann::json> JsonLines(const std::string& output);
