// What the window's receive costs and how soon it shows an answer, against a qxsim module at 9600
// baud without parity:
//   CPU the window uses in 10 s with its port open and nothing arriving;
//   a read all with "Search before R/W" off, from the press to the values shown, against the
//   frames' wire time and the module's turnaround.
// Not a test: run build/bin/receive_bench by hand and read the figures.
#include "form/status_panels.h"
#include "gui_harness.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <time.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTurnaroundMs = 30; // qxsim's default
constexpr int kRequestBytes = 13; // 5A5A 8015 with 0000
constexpr int kAnswerBytes = 15;  // 5A5A 0015 with four parameter bytes
const char* const kAt9600 = "[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n[COM]\nRate=4\nVerify=2\n";

double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Runs the window's event loop for `ms`, sleeping whenever nothing is due.
void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void IdleCpu(GuiHarness& h, int rounds) {
    std::printf("idle, port %s open, nothing arriving: CPU ms per 10 s:",
                h.G().PortOpenFlags[0] ? "COM1" : "NOT");
    for (int i = 0; i < rounds; ++i) {
        const double start = CpuMs();
        RunFor(10000);
        std::printf(" %.1f", CpuMs() - start);
    }
    std::printf("\n");
}

void ReadAll(GuiHarness& h, int rounds) {
    h.Window().Form().N18->setChecked(false);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        h.Window().Status().Set(2, "-");
        RunFor(100); // the line quiet, the last answer's traces done
        QTimer giveUp;
        giveUp.setSingleShot(true);
        giveUp.start(5000);
        const Clock::time_point pressed = Clock::now();
        h.Click("SpeedButton3");
        // Woken by each event, so the moment the text changes is seen at once.
        while (h.Status(2) != "Read All Parameters OK!" && giveUp.isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!giveUp.isActive()) {
            std::printf("read all %d: no answer shown\n", i + 1);
            return;
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - pressed).count());
    }
    std::sort(times.begin(), times.end());
    const int baud = h.G().Line.BaudRate;
    const double wire = (kRequestBytes + kAnswerBytes) * 10 * 1000.0 / baud;
    std::printf("read all x%zu at %d baud: press to values shown min %.1f, median %.1f, max %.1f "
                "ms\n",
                times.size(), baud, times.front(), times[times.size() / 2], times.back());
    std::printf("  wire %.1f ms + turnaround %d ms = %.1f ms; frame delay %d ms\n", wire,
                kTurnaroundMs, wire + kTurnaroundMs, h.G().FrameDelayMs);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SimProcess sim;
    if (!sim.Start({})) {
        std::printf("qxsim: %s\n", sim.error().c_str());
        return 1;
    }
    GuiHarness h(kAt9600, sim.paths()[0]);
    h.Start();
    IdleCpu(h, 3);
    ReadAll(h, 20);
    sim.Stop();
    return 0;
}
