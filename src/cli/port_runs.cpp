#include "port_runs.h"

#include "config/config_file.h"
#include "serial/port_devices.h"
#include "serial/ports.h"

#include <condition_variable>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <thread>

namespace cli {

// The turn of each port in the order named: the next is the first that has neither had its
// turn nor ended.
class PortTurns {
public:
    explicit PortTurns(std::size_t ports) : m_over(ports, false) {}

    void Wait(std::size_t index) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_next >= index; });
    }
    void Over(std::size_t index) {
        {
            const std::lock_guard lock(m_mutex);
            m_over[index] = true;
            while (m_next < m_over.size() && m_over[m_next])
                ++m_next;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<bool> m_over;
    std::size_t m_next = 0;
};

namespace {

// How a port ended: its exit code and, when it failed, the message.
struct Ending {
    Exit exit = Exit::kDone;
    std::string message;
};

Ending Run(PortRun& run, const std::function<void(PortRun&)>& work) {
    try {
        work(run);
        return {};
    } catch (const Failure& failure) {
        return {failure.exit, failure.message};
    } catch (const serial::ExchangeError& error) {
        return {ExitOf(error.fault), error.message};
    }
}

std::string Word(Exit exit, const ResultWords& words) {
    switch (exit) {
    case Exit::kDone:
        return words.done;
    case Exit::kNotFound:
        return "not found";
    case Exit::kRefused:
        return words.refused;
    case Exit::kPort:
        return "port error";
    case Exit::kStore:
        return "store error";
    case Exit::kUsage:
        break;
    }
    return "bad input";
}

// "6 written, 1 refused (COM4), 1 not found (COM7)": the ports that failed are named.
std::string Summary(const std::vector<std::string>& ports, const std::vector<Ending>& endings,
                    const ResultWords& words) {
    std::string summary;
    for (const Exit exit :
         {Exit::kDone, Exit::kRefused, Exit::kNotFound, Exit::kPort, Exit::kStore, Exit::kUsage}) {
        std::size_t count = 0;
        std::string named;
        for (std::size_t i = 0; i < ports.size(); ++i)
            if (endings[i].exit == exit) {
                ++count;
                named += (named.empty() ? "" : ", ") + ports[i];
            }
        if (count == 0)
            continue;
        summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + Word(exit, words) +
                   ((exit == Exit::kPort || exit == Exit::kStore) && count > 1 ? "s" : "");
        if (exit != Exit::kDone)
            summary += " (" + named + ")";
    }
    return summary;
}

} // namespace

PortRun::PortRun(std::string port, std::size_t index, Progress& progress, PortTurns& turns)
    : json(Json::object()), m_port(std::move(port)), m_index(index), m_progress(progress),
      m_turns(turns) {
    json["port"] = m_port;
}

void PortRun::Show(const std::string& what) {
    m_progress.Show(m_index, what);
}

std::function<void(const std::string&)> PortRun::Shown() {
    return [this](const std::string& what) { Show(what); };
}

void PortRun::InTurn(const std::function<void()>& step) {
    m_turns.Wait(m_index);
    try {
        step();
    } catch (...) {
        m_turns.Over(m_index);
        throw;
    }
    m_turns.Over(m_index);
}

std::string NoSerialPorts(const std::filesystem::path& config) {
#ifdef _WIN32
    // Windows names its COM ports itself; [Ports] only renames them.
    return "no serial ports; Windows lists no COM port (plug the adapter in: Device Manager "
           "shows its number), and section [Ports] of " +
           config.string() + " names none";
#else
    return "no serial ports; name one as COM1=/dev/... in section [Ports] of " + config.string();
#endif
}

std::vector<std::string> PortsOf(const Arguments& arguments) {
    const auto config = config::ConfigPath(std::filesystem::current_path());
    std::vector<std::string> ports = arguments.ports;
    if (arguments.allPorts) {
        const auto devices = DevicesOfPorts(config);
        for (int port = 1; port <= serial::kPortCount; ++port)
            if (!devices[static_cast<std::size_t>(port - 1)].empty())
                ports.push_back(serial::PortName(port));
        if (ports.empty())
            throw Failure{Exit::kPort, "--all: " + NoSerialPorts(config)};
    }
    // Two names of one device would fight over it: named twice it is a mistake, and --all
    // takes it once (a [Ports] name may stand for a system port's device).
    std::vector<std::string> kept;
    std::map<std::filesystem::path, std::string> named;
    for (const std::string& port : ports) {
        const int number = serial::PortOfKey(port);
        const std::string device = number != 0 ? DeviceOfPort(config, number) : port;
        std::error_code error;
        const auto canonical = std::filesystem::weakly_canonical(device, error);
        if (device.empty() || error) {
            kept.push_back(port);
            continue;
        }
        const auto [first, isNew] = named.emplace(canonical, port);
        if (isNew)
            kept.push_back(port);
        else if (!arguments.allPorts)
            throw Failure{Exit::kUsage, first->second + " and " + port + " are one device (" +
                                            canonical.string() + "); name it once"};
    }
    return kept;
}

Exit RunOnPorts(const Arguments& arguments, const ResultWords& words,
                const std::function<void(PortRun&)>& work) {
    const std::vector<std::string> ports = PortsOf(arguments);
    const bool several = ports.size() > 1 || arguments.allPorts;
    Progress progress(ports, ProgressWanted(arguments));
    PortTurns turns(ports.size());
    std::vector<PortRun> runs;
    runs.reserve(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i)
        runs.emplace_back(ports[i], i, progress, turns);
    std::vector<Ending> endings(ports.size());
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < ports.size(); ++i)
            threads.emplace_back([&, i] {
                // the port's whole result: its ending, and in runs[i].json what it found and did
                endings[i] = Run(runs[i], work);
                turns.Over(i);
                progress.Show(i, endings[i].exit == Exit::kDone ? "done" : "failed");
            });
    }
    progress.End();

    Exit worst = Exit::kDone;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        PortRun& run = runs[i];
        const Ending& ending = endings[i];
        worst = std::max(worst, ending.exit);
        if (arguments.json) {
            run.json["exit"] = static_cast<int>(ending.exit);
            run.json["error"] = ending.message.empty() ? Json(nullptr) : Json(ending.message);
            std::cout << run.json.dump() << "\n";
        } else {
            std::cout << (several ? "# " + run.Port() + "\n" : "") << run.text.str();
        }
        if (ending.exit == Exit::kDone)
            continue;
        // with several ports each message names its port
        const bool named = ending.message.starts_with(run.Port() + ":");
        std::cerr << "qxcli: " << (several && !named ? run.Port() + ": " : "") << ending.message
                  << "\n";
    }
    std::cout.flush();
    if (several)
        std::cerr << Summary(ports, endings, words) << "\n";
    return worst;
}

} // namespace cli
