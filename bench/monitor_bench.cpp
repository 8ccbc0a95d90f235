// What the frame monitor and the session log cost, in a real window on the offscreen platform:
//   CPU per frame through the link with the monitor closed or open and the log off or on;
//   resident memory before and after 200 000 frames at the default bound, and after 200 000
//   more (flat once the ring is full);
//   a 20 ms timer's intervals, how regularly the window's loop runs, while a simulated module at
//   57600 baud answers a request every 30 ms, with the monitor closed and the log off, then with
//   both on.
// Usage: monitor_bench [SECONDS of each timer run, default 20]
#include "app/frame_monitor.h"
#include "core/frame.h"
#include "gui_harness.h"
#include "pty.h"
#include "serial/link.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <time.h>
#include <vector>

namespace {

// "[Ver]\nCEO=EN" and 9600 baud without parity, or the module's 57600.
const char* const kAt9600 = "[Ver]\nCEO=EN\n[COM]\nRate=4\nVerify=2\n";
const char* const kAt57600 = "[Ver]\nCEO=EN\n[COM]\nRate=7\nVerify=2\n";

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long RssKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

const core::Bytes kRead = core::BuildFrame5A5A("0000", "8010", "0000");

// `frames` read requests through the link, the far end drained as it goes; the monitor, when
// open, flushed every 40 frames, about what 100 ms carry at 57600 baud. CPU seconds spent.
double Flood(GuiHarness& h, PtyPair& pty, int frames) {
    serial::Link& link = h.Window().SerialLink();
    FrameMonitor& monitor = h.Window().Monitor();
    const double start = CpuSeconds();
    for (int i = 1; i <= frames; ++i) {
        link.SendRaw(1, kRead);
        if (i % 40 == 0 && monitor.isVisible())
            monitor.Flush();
        if (i % 100 == 0)
            pty.Read(100 * kRead.size());
    }
    return CpuSeconds() - start;
}

void CpuPerFrame() {
    PtyPair pty;
    GuiHarness h(kAt9600, pty.SlavePath());
    h.Start();
    Ui::TForm1& ui = h.Window().Form();
    FrameMonitor& monitor = h.Window().Monitor();
    constexpr int kFrames = 200000;
    const double base = Flood(h, pty, kFrames);
    std::printf("CPU per frame through the link, %d frames of %zu bytes:\n", kFrames, kRead.size());
    std::printf("  monitor closed, log off: %.2f us (the link and the far end alone)\n",
                base / kFrames * 1e6);

    ui.FrameMonitorItem->trigger();
    monitor.FlushTimer().stop();
    QApplication::processEvents();
    const long before = RssKb();
    const double open = Flood(h, pty, kFrames);
    const long after = RssKb();
    const double openAgain = Flood(h, pty, kFrames);
    const long afterAgain = RssKb();
    std::printf("  monitor open, log off:   +%.2f us while the table fills to %d rows, "
                "+%.2f us at the bound\n",
                (open - base) / kFrames * 1e6, monitor.Rows().rowCount(),
                (openAgain - base) / kFrames * 1e6);
    std::printf("  resident memory: %ld KiB before, %ld KiB after %d frames, %ld KiB after %d "
                "more\n",
                before, after, kFrames, afterAgain, kFrames);

    ui.SessionLogItem->trigger();
    const double both = Flood(h, pty, kFrames);
    monitor.close();
    const double log = Flood(h, pty, kFrames);
    ui.SessionLogItem->trigger();
    std::printf("  monitor closed, log on:  +%.2f us\n", (log - base) / kFrames * 1e6);
    std::printf("  monitor open, log on:    +%.2f us\n", (both - base) / kFrames * 1e6);
}

struct Intervals {
    double mean = 0, deviation = 0, p99 = 0, max = 0;
    std::size_t ticks = 0;
};

Intervals PollIntervals(GuiHarness& h, int seconds) {
    std::vector<double> ms;
    QElapsedTimer clock;
    qint64 last = -1;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &h.Window(), [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            ms.push_back(static_cast<double>(now - last) / 1e6);
        last = now;
    });
    QTimer traffic;
    QObject::connect(&traffic, &QTimer::timeout,
                     [&] { h.Window().SerialLink().SendRaw(1, kRead); });
    clock.start();
    probe.start(20);
    traffic.start(30);
    while (clock.elapsed() < seconds * 1000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    traffic.stop();
    Intervals result;
    result.ticks = ms.size();
    if (ms.empty())
        return result;
    result.mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    double squares = 0;
    for (const double m : ms)
        squares += (m - result.mean) * (m - result.mean);
    result.deviation = std::sqrt(squares / static_cast<double>(ms.size()));
    std::sort(ms.begin(), ms.end());
    result.p99 = ms[ms.size() * 99 / 100];
    result.max = ms.back();
    return result;
}

void PollJitter(int seconds) {
    std::printf("A 20 ms timer, %d s each, a read request every 30 ms to a module at 57600 "
                "baud that answers each:\n",
                seconds);
    for (const bool watched : {false, true}) {
        SimProcess sim;
        if (!sim.Start({"--serial-rate", "8"})) {
            std::printf("  qxsim did not start: %s\n", sim.error().c_str());
            return;
        }
        GuiHarness h(kAt57600, sim.paths()[0]);
        h.Start();
        if (watched) {
            h.Window().Form().FrameMonitorItem->trigger();
            h.Window().Form().SessionLogItem->trigger();
        }
        const Intervals i = PollIntervals(h, seconds);
        std::printf("  %-28s %zu ticks, interval mean %.2f ms, deviation %.2f ms, 99th "
                    "percentile %.2f ms, max %.2f ms; %d rows\n",
                    watched ? "monitor open and log on:" : "monitor closed and log off:", i.ticks,
                    i.mean, i.deviation, i.p99, i.max, h.Window().Monitor().Rows().rowCount());
        sim.Stop();
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    CpuPerFrame();
    PollJitter(seconds);
    return 0;
}
