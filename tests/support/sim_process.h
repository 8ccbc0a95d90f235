// qxsim as a child of a test: started by pid, its device paths read from its standard output,
// its standard error kept in a file for the test to read, stopped by pid.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A new empty file /tmp/<stem>XXXXXX for a child's output.
std::string TempPath(const char* stem);

class SimProcess {
public:
    SimProcess() = default;
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();

    // Runs qxsim with `args` and waits, at most 10 s, for one device path per module.
    // False (with error()) when it did not start or said something else.
    bool Start(const std::vector<std::string>& args, int modules = 1);
    // SIGTERM, then waits up to 10 s for the exit (SIGKILL after that). The exit code, or -1
    // when it did not exit by itself.
    int Stop();

    pid_t pid() const { return pid_; }
    const std::vector<std::string>& paths() const { return paths_; }
    const std::string& error() const { return error_; }
    // What qxsim has written to its standard error so far.
    std::string ErrorOutput() const;

private:
    pid_t pid_ = -1;
    int stdout_fd_ = -1;
    std::string stderr_path_;
    std::vector<std::string> paths_;
    std::string error_;
};

// Runs qxsim to its end (for --help and refused command lines): exit code and standard output.
struct SimRun {
    int exit_code = -1;
    std::string output;
    std::string errors;
};
SimRun RunSimToEnd(const std::vector<std::string>& args);
