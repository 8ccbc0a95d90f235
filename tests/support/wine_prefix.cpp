#include "wine_prefix.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kToolMs = 120000;
// The exit code of the hiding script when a device could not be covered.
constexpr int kNotHidden = 97;

// Covers each serial device of the machine with /dev/null, then runs its arguments.
constexpr const char* kHideScript = "for d in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do "
                                    "[ -e \"$d\" ] || continue; "
                                    "mount --bind /dev/null \"$d\" || exit 97; "
                                    "done; exec \"$@\"";

bool Hidden(const std::string& target) {
    static const std::regex hidden("/dev/tty(S|USB|ACM)[0-9]+");
    return std::regex_match(target, hidden);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Unix98 pseudo-terminal slaves: character devices with majors 136 to 143.
bool PseudoTerminal(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned m = major(st.st_rdev);
    return m >= 136 && m <= 143;
}

// Waits for `pid` at most `boundMs`, killing it after that.
WineRun Reap(pid_t pid, int boundMs) {
    WineRun run;
    const auto end = Clock::now() + std::chrono::milliseconds(boundMs);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            run.finished = true;
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return run;
        }
        if (done < 0)
            return run;
        if (Clock::now() >= end)
            break;
        ::poll(nullptr, 0, 20);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return run;
}

} // namespace

WinePrefix::WinePrefix(std::vector<int> ports) : ports_(std::move(ports)) {
    std::string dir = "/tmp/qxwine-XXXXXX";
    if (::mkdtemp(dir.data()) == nullptr) {
        error_ = "cannot make a temporary directory";
        return;
    }
    dir_ = dir;
    prefix_ = dir_ + "/prefix";
    std::error_code ec;
    for (const int port : ports_) {
        fs::create_symlink("/dev/null", Link(port), ec);
        if (ec) {
            error_ = "cannot make " + Link(port) + ": " + ec.message();
            return;
        }
    }
    const auto start = Clock::now();
    if (!Tool({"wineboot", "-i"}, kToolMs) || !Tool({"wineserver", "-w"}, kToolMs))
        return;
    bootSeconds_ = std::chrono::duration<double>(Clock::now() - start).count();
    // Wine reads its port map when its server starts, and then makes the COM names; links made
    // by hand in dosdevices are replaced.
    const std::string reg = dir_ + "/ports.reg";
    {
        std::ofstream out(reg);
        out << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n";
        for (const int port : ports_)
            out << "\"COM" << port << "\"=\"" << Link(port) << "\"\n";
    }
    if (!Tool({"wine", "regedit", "/S", WindowsPath(reg)}, kToolMs) ||
        !Tool({"wineserver", "-w"}, kToolMs))
        return;
    // One server for every program the tests run: the COM names it makes now are the ones
    // checked, and no later start adds any.
    if (!Tool({"wineserver", "-p"}, kToolMs) || !Tool({"wine", "cmd", "/c", "exit"}, kToolMs))
        return;
    error_ = CheckComLinks();
    made_ = error_.empty();
}

WinePrefix::~WinePrefix() {
    if (dir_.empty())
        return;
    for (const auto& [pid, output] : outputs_) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    const pid_t pid = Spawn({"wineserver", "-k"}, "/dev/null", "/dev/null");
    if (pid > 0)
        Reap(pid, 30000);
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

std::string WinePrefix::Link(int port) const {
    return dir_ + "/com" + std::to_string(port);
}

std::string WinePrefix::WindowsPath(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

bool WinePrefix::Point(int port, const std::string& device) {
    if (std::find(ports_.begin(), ports_.end(), port) == ports_.end()) {
        error_ = "COM" + std::to_string(port) + " is not mapped in this prefix";
        return false;
    }
    if (!PseudoTerminal(device)) {
        error_ = device + " is not a pseudo-terminal: no test writes to another device";
        return false;
    }
    // replaced in one step, so a program never finds the link missing
    const std::string fresh = Link(port) + ".new";
    std::error_code ec;
    fs::remove(fresh, ec);
    fs::create_symlink(device, fresh, ec);
    if (!ec)
        fs::rename(fresh, Link(port), ec);
    if (ec)
        error_ = "cannot point " + Link(port) + " at " + device + ": " + ec.message();
    return !ec;
}

std::map<std::string, std::string> WinePrefix::ComLinks() const {
    std::map<std::string, std::string> links;
    static const std::regex com("com[0-9]+");
    std::error_code ec;
    for (fs::directory_iterator it(prefix_ + "/dosdevices", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!std::regex_match(name, com))
            continue;
        std::error_code linkError;
        links[name] = fs::read_symlink(it->path(), linkError).string();
    }
    return links;
}

std::string WinePrefix::CheckComLinks() const {
    const auto links = ComLinks();
    for (const int port : ports_) {
        const auto it = links.find("com" + std::to_string(port));
        if (it == links.end() || it->second != Link(port))
            return "COM" + std::to_string(port) + " does not lead to " + Link(port);
    }
    for (const auto& [name, target] : links) {
        bool ours = false;
        for (const int port : ports_)
            ours = ours || target == Link(port);
        if (!ours && !Hidden(target))
            return name + " leads to " + target + ", which is neither this prefix's nor hidden";
    }
    return {};
}

pid_t WinePrefix::Spawn(const std::vector<std::string>& command, const std::string& out,
                        const std::string& err, const std::string& directory) const {
    // without root, a user namespace of its own lets it mount; the server's socket then is
    // that namespace's, so every Wine command runs the same way, its stop too
    std::vector<std::string> full = {"unshare", "--mount", "--propagation", "private"};
    if (::geteuid() != 0)
        full.push_back("--map-root-user");
    full.insert(full.end(), {"/bin/sh", "-c", kHideScript, "sh"});
    full.insert(full.end(), command.begin(), command.end());
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int in = ::open("/dev/null", O_RDONLY);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || o < 0 || e < 0 || (!directory.empty() && ::chdir(directory.c_str()) != 0))
        ::_exit(126);
    ::dup2(in, STDIN_FILENO);
    ::dup2(o, STDOUT_FILENO);
    ::dup2(e, STDERR_FILENO);
    ::setenv("WINEPREFIX", prefix_.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    // no Mono or Gecko installer, no windows
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    std::vector<char*> argv;
    for (std::string& arg : full)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

bool WinePrefix::Tool(const std::vector<std::string>& command, int boundMs) {
    const std::string log = dir_ + "/tool.log";
    const pid_t pid = Spawn(command, log, log);
    const WineRun run = pid > 0 ? Reap(pid, boundMs) : WineRun{};
    if (run.finished && run.exitCode == 0)
        return true;
    error_ = command[0] + " " + (command.size() > 1 ? command[1] : "") +
             (!run.finished                ? " did not end in time"
              : run.exitCode == kNotHidden ? " could not hide the serial devices"
                                           : " failed: " + ReadAll(log));
    return false;
}

pid_t WinePrefix::Start(const std::string& program, const std::vector<std::string>& args,
                        const std::string& directory) {
    if (!Ok())
        return -1;
    if (const std::string wrong = CheckComLinks(); !wrong.empty()) {
        error_ = wrong;
        return -1;
    }
    const std::string base = dir_ + "/run" + std::to_string(++runs_);
    std::vector<std::string> command = {"wine", program};
    command.insert(command.end(), args.begin(), args.end());
    const pid_t pid = Spawn(command, base + ".out", base + ".err", directory);
    if (pid < 0) {
        error_ = "cannot start " + program;
        return -1;
    }
    outputs_[pid] = base;
    return pid;
}

std::string WinePrefix::OutputSoFar(pid_t pid) const {
    const auto it = outputs_.find(pid);
    return it == outputs_.end() ? std::string() : ReadAll(it->second + ".out");
}

WineRun WinePrefix::Wait(pid_t pid, int boundMs) {
    const auto it = outputs_.find(pid);
    if (it == outputs_.end())
        return {};
    WineRun run = Reap(pid, boundMs);
    run.output = ReadAll(it->second + ".out");
    run.errors = ReadAll(it->second + ".err");
    if (run.exitCode == kNotHidden)
        run.errors += "\nthe serial devices could not be hidden";
    outputs_.erase(it);
    return run;
}

WineRun WinePrefix::Run(const std::string& program, const std::vector<std::string>& args,
                        int boundMs, const std::string& directory) {
    const pid_t pid = Start(program, args, directory);
    if (pid < 0) {
        WineRun run;
        run.errors = error_;
        return run;
    }
    return Wait(pid, boundMs);
}
