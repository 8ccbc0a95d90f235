// A private Wine prefix for running the Windows build's programs from a Linux test: made once in
// a temporary directory, with COM ports that lead to links the test points at pseudo-terminals.
// The machine's own serial devices (/dev/ttyS*, ttyUSB*, ttyACM*), which Wine would give COM
// numbers of their own, are hidden from every Windows program it runs: each runs in a mount
// namespace of its own with /dev/null over them. Before any program starts, every COM name of
// the prefix is checked to lead to one of its links or to a hidden device. Programs write to
// files (Wine's background processes inherit their output and outlive them), are waited for by
// pid within a bound, and the prefix's wineserver is stopped with it.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

// What a Windows program left behind.
struct WineRun {
    bool finished = false; // false when it outlived its bound and was killed
    int exitCode = -1;
    std::string output; // its standard output
    std::string errors; // its standard error and Wine's
};

class WinePrefix {
public:
    // Makes the prefix with COM`ports` mapped, each to a link pointing at /dev/null until a test
    // points it elsewhere. Ok() tells whether that worked, error() why not.
    explicit WinePrefix(std::vector<int> ports);
    ~WinePrefix();
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    bool Ok() const { return made_; }
    // Why it was not made, or why the last call that failed did.
    const std::string& error() const { return error_; }
    // How long wineboot took to make the prefix, in seconds.
    double BootSeconds() const { return bootSeconds_; }

    // Points COM`port` at `device`, which must be a pseudo-terminal; false (with error()) when
    // it is none or the port is not mapped.
    bool Point(int port, const std::string& device);
    // Where each COM name of the prefix leads ("com1" -> its link, "com2" -> "/dev/ttyS0").
    std::map<std::string, std::string> ComLinks() const;
    // The prefix's directory (WINEPREFIX).
    const std::string& PrefixPath() const { return prefix_; }
    // The Windows name of a Linux path, "Z:\tmp\x".
    static std::string WindowsPath(const std::string& path);

    // Starts `program` (a Windows .exe) with `args` in `directory` (this process's when empty);
    // its pid, or -1 (with error()) when it did not start or a COM name leads where it should
    // not.
    pid_t Start(const std::string& program, const std::vector<std::string>& args,
                const std::string& directory = {});
    // Waits for a started program at most `boundMs`, killing it after that.
    WineRun Wait(pid_t pid, int boundMs);
    // What a started program has written to its standard output so far.
    std::string OutputSoFar(pid_t pid) const;
    WineRun Run(const std::string& program, const std::vector<std::string>& args, int boundMs,
                const std::string& directory = {});

private:
    // Runs a Wine tool in the hidden namespace to its end within `boundMs`; false when it failed.
    bool Tool(const std::vector<std::string>& command, int boundMs);
    // Runs a Wine command with the serial devices hidden, its output to files.
    pid_t Spawn(const std::vector<std::string>& command, const std::string& out,
                const std::string& err, const std::string& directory = {}) const;
    // Empty when every COM name leads to a link of this prefix or a hidden device; else why not.
    std::string CheckComLinks() const;
    std::string Link(int port) const;

    std::string dir_;
    std::string prefix_;
    std::vector<int> ports_;
    bool made_ = false;
    std::string error_;
    double bootSeconds_ = 0;
    std::map<pid_t, std::string> outputs_; // started programs' output files
    int runs_ = 0;
};
