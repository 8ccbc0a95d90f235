#include "cli_process.h"

#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

std::string TakeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    unlink(path.c_str());
    return text;
}

pid_t Spawn(const std::vector<std::string>& args, const std::string& variable,
            const std::string& out_path, const std::string& err_path,
            const std::string& directory) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(out_path.c_str(), O_WRONLY | O_TRUNC | O_CREAT, 0600);
        const int err = open(err_path.c_str(), O_WRONLY | O_TRUNC | O_CREAT, 0600);
        if (out < 0 || err < 0 || chdir(directory.c_str()) != 0)
            _exit(126);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (const auto equals = variable.find('='); equals != std::string::npos)
            setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
        else if (!variable.empty())
            setenv(variable.c_str(), "1", 1);
        std::string program = QXCLI_PATH;
        std::vector<std::string> copies = args;
        std::vector<char*> argv{program.data()};
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// Waits for the end of `pid`, at most 60 s: its exit code, or -1 (killed past the bound).
int WaitForExit(pid_t pid) {
    const auto end = Clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (pid > 0) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0)
            break;
        if (Clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        poll(nullptr, 0, 5);
    }
    return -1;
}

// A directory of its own for a run, so that what one run leaves beside Config.ini (the lines
// its search found, its records) cannot lead another nor pile up; removed with the object.
class OwnDirectory {
public:
    OwnDirectory() {
        std::string name = std::filesystem::temp_directory_path() / "qxcli-dir-XXXXXX";
        if (mkdtemp(name.data()) != nullptr)
            m_path = name;
    }
    ~OwnDirectory() {
        if (!m_path.empty())
            std::filesystem::remove_all(m_path);
    }
    OwnDirectory(const OwnDirectory&) = delete;
    OwnDirectory& operator=(const OwnDirectory&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::string& directory) {
    CliRun run;
    const std::string out = TempPath("qxcli-out-");
    const std::string err = TempPath("qxcli-err-");
    const OwnDirectory own;
    const auto start = Clock::now();
    run.exit_code =
        WaitForExit(Spawn(args, "", out, err, directory.empty() ? own.Path() : directory));
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    run.output = TakeFile(out);
    run.errors = TakeFile(err);
    return run;
}

CliRun RunCliOnTerminal(const std::vector<std::string>& args, const std::string& terminal) {
    CliRun run;
    const std::string out = TempPath("qxcli-out-");
    const OwnDirectory own;
    const auto start = Clock::now();
    run.exit_code = WaitForExit(Spawn(args, "", out, terminal, own.Path()));
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    run.output = TakeFile(out);
    return run;
}

pid_t StartCli(const std::vector<std::string>& args, const std::string& variable,
               const std::string& errors_file, const std::string& directory) {
    return Spawn(args, variable, "/dev/null", errors_file, directory);
}

std::vector<nlohmann::json> JsonLines(const std::string& output) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(nlohmann::json::parse(line, nullptr, false));
        EXPECT_FALSE(lines.back().is_discarded()) << line;
    }
    return lines;
}
