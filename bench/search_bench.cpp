// How long the radio search takes to find a qxsim module at its k-th try, with the search timer
// at its real 1.1 s, against the (k - 1) x 1.1 s of its ticks. Not a test: run
// build/bin/search_bench by hand and read the figures (receive_bench times a read all).
#include "core/search_steps.h"
#include "gui_harness.h"
#include "sim_process.h"

#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// The module listens at 9600 baud odd, the search's step 14. A pseudo-terminal carries no
// parity, and qxsim tells only odd from not odd, so an odd step is the one step of the walk it
// answers at. The port dialog opens k - 1 steps before it, so the k-th try finds it.
constexpr int kModuleStep = 14;

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

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("The search timer runs at its real 1.1 s; times are measured from the press, to "
                "within the 10 ms the wait loop polls at.\n");
    for (int k : {1, 10, 21})
        SearchAtTry(k);
    return 0;
}
