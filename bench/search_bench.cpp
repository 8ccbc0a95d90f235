// How long the radio search takes to find a qxsim module at its k-th try, with the search timer
// at its real 1.1 s, against the (k - 1) x 1.1 s of its ticks; and how long a read all takes from
// the press to the answer shown, against the wire time and the module's turnaround. Not a test: run
// build/bin/search_bench by hand and read the figures.
#include "core/search_steps.h"
#include "form/status_panels.h"
#include "gui_harness.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The module listens at 9600 baud odd, the search's step 14. A pseudo-terminal carries no
// parity, and qxsim tells only odd from not odd, so an odd step is the one step of the walk it
// answers at. The port dialog opens k - 1 steps before it, so the k-th try finds it.
constexpr int kModuleStep = 14;
constexpr int kTurnaroundMs = 30; // qxsim's default
constexpr int kRequestBytes = 13; // 5A5A 8015 with 0000
constexpr int kAnswerBytes = 15;  // 5A5A 0015 with four parameter bytes

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Config.ini with the port dialog at search step `step` (3 x baud position + parity position
// + 1).
std::string ConfigAtStep(int step) {
    return "[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n[COM]\nRate=" + std::to_string((step - 1) / 3) +
           "\nVerify=" + std::to_string((step - 1) % 3) + "\n";
}

bool SearchAtTry(int k) {
    const int start =
        ((kModuleStep - k) % core::kSearchSteps + core::kSearchSteps) % core::kSearchSteps + 1;
    SimProcess sim;
    if (!sim.Start({"--serial-rate", "5", "--parity", "2"})) {
        std::printf("qxsim: %s\n", sim.error().c_str());
        return false;
    }
    GuiHarness h(ConfigAtStep(start), sim.paths()[0]);
    h.Start();
    const Clock::time_point pressed = Clock::now();
    h.Click("SpeedButton20");
    const bool found = QTest::qWaitFor([&] { return h.G().ModuleFound; }, 30000);
    const double answered = MsSince(pressed);
    const bool ended = QTest::qWaitFor([&] { return !h.Window().Timer(4).isActive(); }, 5000);
    const double stopped = ended ? MsSince(pressed) : -1;
    std::printf("try %2d (from step %2d): found %s at attempt %2d, answer handled %8.1f ms, "
                "search timer stopped %8.1f ms; (k-1) x 1.1 s = %7.1f ms\n",
                k, start, found ? "yes" : "NO", h.G().Search.attempts, answered, stopped,
                (k - 1) * 1100.0);
    sim.Stop();
    return found;
}

void ReadAll(int rounds) {
    SimProcess sim;
    if (!sim.Start({})) {
        std::printf("qxsim: %s\n", sim.error().c_str());
        return;
    }
    GuiHarness h(ConfigAtStep(15), sim.paths()[0]); // 9600 baud without parity, as the module
    h.Start();
    h.Window().Form().N18->setChecked(false);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        h.Window().Status().Set(2, "-");
        const Clock::time_point pressed = Clock::now();
        h.Click("SpeedButton3");
        if (!h.WaitStatus(2, "Read All Parameters OK!", 5000)) {
            std::printf("read all %d: no answer shown\n", i + 1);
            break;
        }
        times.push_back(MsSince(pressed));
    }
    sim.Stop();
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    const int baud = h.G().Line.BaudRate;
    const double wire = (kRequestBytes + kAnswerBytes) * 10 * 1000.0 / baud;
    std::printf("read all x%zu at %d baud: press to answer shown min %.1f, median %.1f, max %.1f "
                "ms\n",
                times.size(), baud, times.front(), times[times.size() / 2], times.back());
    std::printf("  wire %.1f ms + turnaround %d ms = %.1f ms, plus the wait loop's 10 ms\n", wire,
                kTurnaroundMs, wire + kTurnaroundMs);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("The search timer runs at its real 1.1 s; times are measured from the press, to "
                "within the 10 ms the wait loop polls at.\n");
    for (int k : {1, 10, 21})
        SearchAtTry(k);
    ReadAll(20);
    return 0;
}
