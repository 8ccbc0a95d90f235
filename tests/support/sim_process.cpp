#include "sim_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::seconds(10);

// fork + exec with stdout on a pipe and stderr in a file; -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, int& stdout_fd, const std::string& stderr_path) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        const int err = open(stderr_path.c_str(), O_WRONLY | O_TRUNC);
        if (err >= 0)
            dup2(err, STDERR_FILENO);
        close(pipe_fds[0]);
        std::vector<char*> argv;
        std::string program = QXSIM_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipe_fds[1]);
    if (pid < 0) {
        close(pipe_fds[0]);
        return -1;
    }
    stdout_fd = pipe_fds[0];
    return pid;
}

// Waits for the child within the bound; its exit code, or -1.
int WaitFor(pid_t pid, Clock::duration bound) {
    const auto end = Clock::now() + bound;
    int status = 0;
    while (Clock::now() < end) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0)
            return -1;
        poll(nullptr, 0, 10);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string TempPath(const char* stem) {
    std::string path = std::string("/tmp/") + stem + "XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd >= 0)
        close(fd);
    return path;
}

SimProcess::~SimProcess() {
    Stop();
    if (!stderr_path_.empty())
        unlink(stderr_path_.c_str());
}

bool SimProcess::Start(const std::vector<std::string>& args, int modules) {
    stderr_path_ = TempPath("qxsim-err-");
    pid_ = Spawn(args, stdout_fd_, stderr_path_);
    if (pid_ < 0) {
        error_ = "cannot start " QXSIM_PATH;
        return false;
    }
    std::string pending;
    const auto end = Clock::now() + kBound;
    while (static_cast<int>(paths_.size()) < modules && Clock::now() < end) {
        pollfd fd{stdout_fd_, POLLIN, 0};
        if (poll(&fd, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t got = read(stdout_fd_, buffer, sizeof buffer);
        if (got <= 0)
            break;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (auto newline = pending.find('\n'); newline != std::string::npos;
             newline = pending.find('\n')) {
            paths_.push_back(pending.substr(0, newline));
            pending.erase(0, newline + 1);
        }
    }
    if (static_cast<int>(paths_.size()) != modules) {
        error_ = "qxsim gave " + std::to_string(paths_.size()) + " device paths: " + ErrorOutput();
        return false;
    }
    for (const std::string& path : paths_)
        if (path.rfind("/dev/", 0) != 0) {
            error_ = "not a device path: " + path;
            return false;
        }
    return true;
}

int SimProcess::Stop() {
    if (pid_ < 0)
        return -1;
    kill(pid_, SIGTERM);
    const int code = WaitFor(pid_, kBound);
    pid_ = -1;
    if (stdout_fd_ >= 0)
        close(stdout_fd_);
    stdout_fd_ = -1;
    return code;
}

std::string SimProcess::ErrorOutput() const {
    return ReadFile(stderr_path_);
}

SimRun RunSimToEnd(const std::vector<std::string>& args) {
    SimRun run;
    const std::string stderr_path = TempPath("qxsim-err-");
    int stdout_fd = -1;
    const pid_t pid = Spawn(args, stdout_fd, stderr_path);
    if (pid < 0)
        return run;
    const auto end = Clock::now() + kBound;
    while (Clock::now() < end) {
        pollfd fd{stdout_fd, POLLIN, 0};
        if (poll(&fd, 1, 100) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = read(stdout_fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        run.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(stdout_fd);
    run.exit_code = WaitFor(pid, kBound);
    run.errors = ReadFile(stderr_path);
    unlink(stderr_path.c_str());
    return run;
}
