// Benchmark of the pair transfer test, built with the tests but not run by ctest. Two tools on
// two qxsim modules at 57600 baud: this process is the main transmitter, a child process the
// main receiver, each a real window with its real timers and pauses. Reports the frames per
// second of the answer-driven test against the limit the frame delay and the air time set, the
// CPU each window used, how regularly a 20 ms timer ticked in the transmitting window, and what
// a sample of the live plot costs.
//
//     build/bin/pair_bench [--seconds 60] [--computed-delay] [--no-plot] [--monitor]
//
// --computed-delay leaves "指定帧间延时" unchecked, so the frame delay is the one computed from
// the test text's length and the line rate; by default it is fixed at 60 ms, the least allowed.
// --no-plot leaves the live plot unsampled, to compare the timer's ticks without it.
// --monitor opens the frame monitor and switches the session log on in the transmitting window,
// to see what watching every frame costs the test and the window's loop.
#include "app/frame_monitor.h"
#include "app/main_window.h"
#include "app/pair_test_chart.h"
#include "bench_tool.h"
#include "core/module/module_air.h"
#include "operations/pair_test_tab.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const std::string kText = "QX link 01";
constexpr int kBaud = 57600;
constexpr int kRateCode = 8; // 57600 on the air and on the line

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void RunFor(int seconds) {
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QApplication::exec();
}

// The pair test tab of a tool at 57600 baud without parity.
class Tool : public BenchTool {
public:
    Tool(const std::string& device, bool computedDelay)
        : BenchTool(device, std::string("[COM]\nRate=7\nVerify=2\n[Ver]\nCEO=EN\n[Option]\n") +
                                (computedDelay ? "Frame delay=0\nDelay time=60"
                                               : "Frame delay=1\nDelay time=60")) {
        Form().PageControl1->setCurrentIndex(1);
    }
};

// The main receiver: answers for `seconds`, then tells what it counted and used.
int Receiver(const std::string& device, int seconds, bool computedDelay) {
    Tool rx(device, computedDelay);
    rx.Form().RadioButton16->click();
    rx.Form().SpeedButton17->click();
    std::cout << "ready" << std::endl;
    const double cpu = CpuSeconds();
    RunFor(seconds);
    const core::PairTally& tally = rx.Window().G().Tally;
    std::printf("receiver: received %lld, answered %lld, window CPU %.1f %% of one core\n",
                static_cast<long long>(tally.received), static_cast<long long>(tally.sent),
                100.0 * (CpuSeconds() - cpu) / seconds);
    std::fflush(stdout);
    return 0;
}

struct Child {
    pid_t pid = -1;
    FILE* out = nullptr;
};

Child SpawnReceiver(const std::string& device, int seconds, bool computedDelay) {
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<std::string> args = {"pair_bench", "--receiver", device, std::to_string(seconds)};
    if (computedDelay)
        args.push_back("--computed-delay");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    Child child;
    if (posix_spawn(&child.pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    child.out = fdopen(fds[0], "r");
    return child;
}

std::string ReadLine(FILE* in) {
    char line[512] = {};
    if (in == nullptr || std::fgets(line, sizeof line, in) == nullptr)
        return {};
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// Milliseconds between consecutive ticks of a 20 ms timer.
constexpr int kProbeMs = 20;
struct Ticks {
    std::vector<double> gaps;
    Clock::time_point last{};
};

} // namespace

int main(int argc, char** argv) {
    OffscreenUnlessSet();
    QApplication app(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool computedDelay =
        std::find(args.begin(), args.end(), "--computed-delay") != args.end();
    if (args.size() >= 3 && args[0] == "--receiver")
        return Receiver(args[1], std::stoi(args[2]), computedDelay);
    const int seconds = SecondsOption(args, 5);

    SimProcess sim;
    const std::string rate = std::to_string(kRateCode);
    if (!sim.Start({"--modules", "2", "--serial-rate", rate, "--air-rate", rate}, 2)) {
        std::cerr << "qxsim: " << sim.error() << "\n";
        return 1;
    }
    Child rx = SpawnReceiver(sim.paths()[1], seconds + 3, computedDelay);
    if (rx.pid < 0 || ReadLine(rx.out) != "ready") {
        std::cerr << "the receiver did not start\n";
        return 1;
    }
    Tool tx(sim.paths()[0], computedDelay);
    Ticks ticks;
    QTimer probe;
    probe.start(kProbeMs);
    QObject::connect(&probe, &QTimer::timeout, [&ticks] {
        const auto now = Clock::now();
        if (ticks.last != Clock::time_point{})
            ticks.gaps.push_back(
                std::chrono::duration<double, std::milli>(now - ticks.last).count());
        ticks.last = now;
    });
    // The plot is sampled here, on its own period, so each sample can be timed.
    const bool plot = std::find(args.begin(), args.end(), "--no-plot") == args.end();
    const bool monitor = std::find(args.begin(), args.end(), "--monitor") != args.end();
    if (monitor) {
        tx.Form().FrameMonitorItem->trigger();
        tx.Form().SessionLogItem->trigger();
    }
    tx.Window().Chart().SampleTimer().stop();
    std::vector<double> sampleUs;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const auto start = Clock::now();
        tx.Window().Chart().Sample();
        sampleUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    });
    if (plot)
        sampler.start(PairTestChart::kSampleMs);
    tx.Form().Edit4->setText(QString::fromStdString(kText));
    const double cpu = CpuSeconds();
    tx.Form().SpeedButton17->click();
    RunFor(seconds);
    const double txCpu = CpuSeconds() - cpu;
    tx.Form().SpeedButton18->click();

    const Globals& g = tx.Window().G();
    const core::PairTally& tally = g.Tally;
    const double fps = static_cast<double>(tally.sent) / seconds;
    const int delay = g.FrameDelayMs;
    const int air = core::AirTimeMs(kText.size(), kRateCode);
    const double line = kText.size() * 10 * 1000.0 / kBaud;
    const double limit = 1000.0 / (2.0 * (delay + air));
    std::sort(ticks.gaps.begin(), ticks.gaps.end());
    auto percentile = [&](double p) {
        return ticks.gaps.empty() ? 0.0
                                  : ticks.gaps[static_cast<std::size_t>(
                                        p * static_cast<double>(ticks.gaps.size() - 1))];
    };
    sampler.stop();
    std::sort(sampleUs.begin(), sampleUs.end());

    std::printf("pair transfer test, answer-driven, %zu-byte text, %d baud line and air, %d s\n",
                kText.size(), kBaud, seconds);
    std::printf("frame delay %d ms (%s), air time %d ms, line time %.1f ms, answer pause %d ms, "
                "receive period %d ms\n",
                delay, computedDelay ? "computed" : "fixed", air, line,
                tx.Form().SpinEdit4->value(), tx.Window().Timer(1).interval());
    std::printf("transmitter: sent %lld, received %lld, right %lld, success %s\n",
                static_cast<long long>(tally.sent), static_cast<long long>(tally.received),
                static_cast<long long>(tally.right),
                core::SuccessRateText(tally).value_or("-").c_str());
    std::printf("frames per second: %.2f; limit of frame delay and air time 1000 / (2 x (%d + "
                "%d)) = %.2f (%.0f %%)\n",
                fps, delay, air, limit, 100.0 * fps / limit);
    std::printf("round trip ms: min %s, mean %s, max %s\n",
                tx.Form().EditTripMin->text().toStdString().c_str(),
                tx.Form().EditTripMean->text().toStdString().c_str(),
                tx.Form().EditTripMax->text().toStdString().c_str());
    std::printf("transmitter window CPU: %.1f %% of one core\n", 100.0 * txCpu / seconds);
    std::printf("%d ms timer tick gaps ms: median %.1f, p99 %.1f, max %.1f\n", kProbeMs,
                percentile(0.5), percentile(0.99), percentile(1.0));
    if (plot && !sampleUs.empty())
        std::printf("live plot: %zu samples every %d ms, median %.0f us, max %.0f us\n",
                    sampleUs.size(), PairTestChart::kSampleMs, sampleUs[sampleUs.size() / 2],
                    sampleUs.back());
    else
        std::printf("live plot: not sampled\n");
    if (monitor)
        std::printf("frame monitor open with %d rows, session log %s\n",
                    tx.Window().Monitor().Rows().rowCount(),
                    tx.Form().SessionLogItem->isChecked() ? "on" : "off");
    else
        std::printf("frame monitor closed, session log off\n");
    const std::string report = ReadLine(rx.out);
    std::printf("%s\n", report.c_str());
    int status = 0;
    waitpid(rx.pid, &status, 0);
    std::fclose(rx.out);
    sim.Stop();
    return tx.dialogs.shown.empty() ? 0 : 1;
}
