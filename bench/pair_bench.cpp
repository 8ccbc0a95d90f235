// Benchmark of the pair transfer test, built with the tests but not run by ctest. Two tools on
// two qxsim modules at 57600 baud: this process is the main transmitter, a child process the
// main receiver, each a real window with its real timers and pauses. Reports the frames per
// second of the answer-driven test against the limit the frame delay and the air time set, and
// against the limits that count the answer pause and the module's own way too; where a cycle's
// time goes, measured on each link's clock; the CPU each window used, how regularly a 20 ms timer
// ticked in the transmitting window, and what a sample of the live plot costs.
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
#include "serial/link.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
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

struct Mean {
    double sum = 0;
    long count = 0;
    void Add(Clock::duration d) {
        sum += std::chrono::duration<double, std::milli>(d).count();
        ++count;
    }
    double Ms() const { return count == 0 ? 0.0 : sum / static_cast<double>(count); }
};

// A tool's cycle on its link's own clock: how long after the last byte in its answer goes out
// (the frame delay, the answer pause and the tool's own work), and, on the transmitter, how long
// after a send the answer's last byte comes in.
class LinkTimes {
public:
    explicit LinkTimes(serial::Link& link) : m_link(link) {
        m_id = link.AddObserver([this](const serial::Traffic& traffic) { Note(traffic); });
    }
    ~LinkTimes() { m_link.RemoveObserver(m_id); }
    LinkTimes(const LinkTimes&) = delete;
    LinkTimes& operator=(const LinkTimes&) = delete;

    // Frames sent per second from the first send to the last, so the run's ends do not count.
    double SendsPerSecond() const {
        if (m_sends < 2)
            return 0.0;
        return static_cast<double>(m_sends - 1) /
               std::chrono::duration<double>(*m_out - m_firstOut).count();
    }

    Mean turnaround;
    Mean roundTrip;

private:
    void Note(const serial::Traffic& traffic) {
        if (traffic.direction == serial::Direction::kReceived) {
            m_in = traffic.at;
            return;
        }
        if (m_in && (!m_out || *m_in > *m_out)) {
            turnaround.Add(traffic.at - *m_in);
            if (m_out)
                roundTrip.Add(*m_in - *m_out);
        }
        if (m_sends++ == 0)
            m_firstOut = traffic.at;
        m_out = traffic.at;
    }

    serial::Link& m_link;
    serial::Link::ObserverId m_id = 0;
    std::optional<Clock::time_point> m_in;
    std::optional<Clock::time_point> m_out;
    Clock::time_point m_firstOut{};
    long m_sends = 0;
};

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
    const LinkTimes times(rx.Window().SerialLink());
    rx.Form().RadioButton16->click();
    rx.Form().SpeedButton17->click();
    std::cout << "ready" << std::endl;
    const double cpu = CpuSeconds();
    RunFor(seconds);
    const core::PairTally& tally = rx.Window().G().Tally;
    // The first line is the receiver's mean turnaround, for the transmitter's figures.
    std::printf("%.3f\nreceiver: received %lld, answered %lld, window CPU %.1f %% of one core\n",
                times.turnaround.Ms(), static_cast<long long>(tally.received),
                static_cast<long long>(tally.sent), 100.0 * (CpuSeconds() - cpu) / seconds);
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
    const LinkTimes times(tx.Window().SerialLink());
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
    const double fps = times.SendsPerSecond();
    const int delay = g.FrameDelayMs;
    const int air = core::AirTimeMs(kText.size(), kRateCode);
    const double line = kText.size() * 10 * 1000.0 / kBaud;
    const int pause = tx.Form().SpinEdit4->value();
    const double limit = 1000.0 / (2.0 * (delay + air));
    const double limitWithPause = 1000.0 / (2.0 * (delay + pause + air));
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
    // Each side waits the answer pause after the frame delay, as the operator set it.
    std::printf(
        "with the answer pause on each side: 1000 / (2 x (%d + %d + %d)) = %.2f (%.0f %%)\n", delay,
        pause, air, limitWithPause, 100.0 * fps / limitWithPause);
    // The receiver's turnaround is inside the transmitter's round trip; the rest is the way
    // there and back: the line to the module, what the module does before it sends on the air,
    // the air and the line from the other module.
    const double rxMs = std::strtod(ReadLine(rx.out).c_str(), nullptr); // 0 if it did not say
    const double way = (times.roundTrip.Ms() - rxMs) / 2.0;
    std::printf("answer out after the last byte in, mean ms: transmitter %.1f, receiver %.1f "
                "(frame delay %d + answer pause %d)\n",
                times.turnaround.Ms(), rxMs, delay, pause);
    std::printf("one way, write to the other side's last byte in, mean ms: %.1f (air %d, line 2 x "
                "%.1f, the rest the modules')\n",
                way, air, line);
    const double limitWithWay = 1000.0 / (2.0 * (delay + pause + way));
    std::printf("with the answer pause and that way: 1000 / (2 x (%d + %d + %.1f)) = %.2f (%.0f "
                "%%)\n",
                delay, pause, way, limitWithWay, 100.0 * fps / limitWithWay);
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
