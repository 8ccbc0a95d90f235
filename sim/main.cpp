// qxsim: virtual radio modules on pseudo-terminals, the tool's test peer and demo.
#include "options.h"
#include "simulator.h"

#include "core/module/module_state_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int) {
    g_stop = 1;
}

// The saved modules; a missing file is an empty one. A damaged file stops the program so that
// it is not overwritten.
bool LoadState(const std::string& path, std::vector<core::ModuleState>& saved) {
    std::ifstream in(path);
    if (!in) {
        if (errno == ENOENT)
            return true;
        sim::Log::Problem(path + ": " + std::strerror(errno));
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const core::StateFileContents contents = core::ParseStateFile(text.str(), core::ModuleState{});
    if (!contents.error.empty()) {
        sim::Log::Problem(path + ": " + contents.error + " (the file is left as it is)");
        return false;
    }
    saved = contents.modules;
    return true;
}

class Links {
public:
    ~Links() {
        for (const std::string& path : made_)
            unlink(path.c_str());
    }

    // DIR/ttyQXk pointing at the device; a stale link from an earlier run is replaced, any
    // other file of that name is left alone.
    bool Make(const std::string& dir, int index, const std::string& target) {
        if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
            sim::Log::Problem(dir + ": " + std::strerror(errno));
            return false;
        }
        const std::string path = dir + "/ttyQX" + std::to_string(index);
        struct stat info {};
        if (lstat(path.c_str(), &info) == 0) {
            if (!S_ISLNK(info.st_mode)) {
                sim::Log::Problem(path + " exists and is not a link; not replaced");
                return false;
            }
            unlink(path.c_str());
        }
        if (symlink(target.c_str(), path.c_str()) != 0) {
            sim::Log::Problem(path + ": " + std::strerror(errno));
            return false;
        }
        made_.push_back(path);
        return true;
    }

private:
    std::vector<std::string> made_;
};

int Serve(const sim::Options& options) {
    std::vector<core::ModuleState> saved;
    if (!options.state_file.empty() && !LoadState(options.state_file, saved))
        return 1;
    std::vector<sim::ModuleLink> links;
    Links names;
    for (int k = 0; k < options.modules; ++k) {
        sim::ModuleLink link;
        link.index = k;
        const auto at = static_cast<std::size_t>(k);
        link.state = at < saved.size() ? saved[at] : options.factory[at];
        link.line_rate = link.state.serial_rate;
        link.line_parity = link.state.parity;
        link.switch_delay = std::chrono::milliseconds(options.switch_delay_ms);
        std::string error;
        const auto device = sim::OpenPty(link.line_rate, link.line_parity, error);
        if (!device) {
            sim::Log::Problem(error);
            for (sim::ModuleLink& made : links)
                sim::ClosePty(made.pty);
            return 1;
        }
        link.pty = *device;
        links.push_back(std::move(link));
        if (!options.link_dir.empty() && !names.Make(options.link_dir, k, device->path)) {
            for (sim::ModuleLink& made : links)
                sim::ClosePty(made.pty);
            return 1;
        }
    }
    sim::Simulator simulator(options, std::move(links), std::move(saved));
    simulator.SaveState();
    for (const sim::ModuleLink& link : simulator.links())
        std::cout << link.pty.path << '\n';
    std::cout.flush();

    sigset_t stop_signals, wait_mask;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop_signals, &wait_mask);
    sigdelset(&wait_mask, SIGINT);
    sigdelset(&wait_mask, SIGTERM);
    simulator.Run(g_stop, wait_mask);

    simulator.SaveState();
    for (sim::ModuleLink& link : simulator.links())
        sim::ClosePty(link.pty);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const sim::ParsedOptions parsed = sim::ParseOptions(args);
    if (!parsed.error.empty()) {
        std::cerr << "qxsim: " << parsed.error << "\nTry qxsim --help.\n";
        return 2;
    }
    if (parsed.options.help) {
        std::cout << sim::HelpText();
        return 0;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return Serve(parsed.options);
}
