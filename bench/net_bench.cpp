// Answer time of one exchange through a local pseudo-terminal against the same module served by
// ser2net over RFC 2217 on localhost: median and 99th percentile of N reads of the serial
// settings, each timed from the request's write to its whole answer, on qxcli's blocking port.
// Usage: net_bench [READS] [TURNAROUND_MS]   (defaults 200 and 0: the transport's cost alone)
#include "core/catalogue.h"
#include "serial/module_exchange.h"
#include "support/ser2net_process.h"
#include "support/sim_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds each of `reads` exchanges took, or empty when one failed.
std::vector<double> Time(const std::string& device, int reads) {
    serial::ModulePort port(device, device, {}, false);
    port.Open();
    port.SetLine(9600, 0);
    const core::Command& command = *core::FindCommand(core::cmd::kReadSerial);
    const std::string payload = core::ReadPayload(port.FramingOf(command));
    std::vector<double> took;
    for (int i = 0; i < reads; ++i) {
        const auto start = Clock::now();
        const auto answer = port.Exchange(command, payload, std::chrono::milliseconds(1000));
        if (!answer)
            return {};
        took.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return took;
}

void Report(const char* name, std::vector<double> took) {
    if (took.empty()) {
        std::printf("%-22s a read went unanswered\n", name);
        return;
    }
    std::sort(took.begin(), took.end());
    const auto at = [&](double q) {
        return took[std::min(took.size() - 1, static_cast<std::size_t>(q * took.size()))];
    };
    std::printf("%-22s median %7.2f ms   p99 %7.2f ms   (%zu reads)\n", name, at(0.5) / 1000,
                at(0.99) / 1000, took.size());
}

} // namespace

int main(int argc, char** argv) {
    const int reads = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string turnaround = argc > 2 ? argv[2] : "0";
    SimProcess sim;
    if (!sim.Start({"--turnaround", turnaround, "--serial-rate", "5"})) {
        std::fprintf(stderr, "qxsim: %s\n", sim.error().c_str());
        return 1;
    }
    std::printf("reads of the serial settings (13-byte request, 13-byte answer) at 9600 baud, "
                "qxsim turnaround %s ms\n",
                turnaround.c_str());
    try {
        Report("pseudo-terminal", Time(sim.paths()[0], reads));
        Ser2netProcess server;
        if (!server.Start(sim.paths()[0])) {
            std::fprintf(stderr, "ser2net: %s\n", server.error().c_str());
            return 1;
        }
        Report("rfc2217 via ser2net", Time(server.Rfc2217Url(), reads));
    } catch (const serial::ExchangeError& e) {
        std::fprintf(stderr, "%s\n", e.message.c_str());
        return 1;
    }
    return 0;
}
