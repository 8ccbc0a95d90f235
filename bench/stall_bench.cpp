// Benchmark of the window's responsiveness, built with the tests but not run by ctest. A 5 ms
// timer on the user-interface thread notes how late each of its ticks comes while the window
// works against qxsim: a set-all chain, "Save module settings…", "Apply settings…" of the same
// settings and of another channel and serial rate (writes, the move to the new line), and an
// answer-driven pair test at 57600 baud between two windows (both on this thread, so a stall of
// either counts). Reports the longest stall of each; anything the thread spends away from its
// event loop (a sleep, a blocking exchange) shows as one.
//
//     build/bin/stall_bench [--seconds 60]
#include "bench_tool.h"
#include "chain_fields.h"
#include "form/status_panels.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <sstream>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTickMs = 5;
constexpr double kTargetMs = 30;

// How late the ticks of a 5 ms timer come.
class StallWatch {
public:
    StallWatch() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTickMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        m_longest = 0;
        m_over = 0;
        m_last = Clock::now();
        m_timer.start();
    }
    void Report(const char* what, const char* outcome) {
        m_timer.stop();
        std::printf("%-34s longest stall %7.1f ms, %d over %.0f ms  (%s)\n", what, m_longest,
                    m_over, kTargetMs, outcome);
    }

private:
    void Tick() {
        const auto now = Clock::now();
        const double late =
            std::chrono::duration<double, std::milli>(now - m_last).count() - kTickMs;
        m_longest = std::max(m_longest, late);
        if (late > kTargetMs)
            ++m_over;
        m_last = now;
    }

    QTimer m_timer;
    Clock::time_point m_last{};
    double m_longest = 0;
    int m_over = 0;
};

// Runs the event loop until `done` holds or `timeoutMs` passed; whether it holds.
bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    check.start(10);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// The set-all chain (air protocol, serial number, all parameters, the TX test), then the
// profile entries, on one module at 9600 baud.
void ChainAndProfile(StallWatch& watch) {
    SimProcess sim;
    if (!sim.Start({})) {
        std::cerr << "qxsim: " << sim.error() << "\n";
        return;
    }
    BenchTool tool(sim.paths()[0], "[Ver]\ntype=QXTEST\nCEO=EN\n[COM]\nRate=4\nVerify=2\n"
                                   "[Option]\nTest Delay Time=1200\n");
    Ui::TForm1& ui = tool.Form();
    FillChainFields(ui);
    StatusPanels& status = tool.Window().Status();

    watch.Start();
    ui.SpeedButton38->click();
    const bool chained = RunUntil([&] { return status.Text(2) == "TX Test OK!"; }, 20000);
    RunUntil([] { return false; }, 100);
    watch.Report("set-all chain", chained ? "ended with the TX test" : "did not end");

    // Each entry ends with its box; an apply that writes asks first.
    const auto entry = [&](QAction* item, std::size_t boxes) {
        const std::size_t before = tool.dialogs.shown.size();
        watch.Start();
        item->trigger();
        return RunUntil([&] { return tool.dialogs.shown.size() >= before + boxes; }, 10000);
    };
    tool.files.path = (tool.Dir() / "module.ini").string();
    entry(ui.SaveProfileItem, 1);
    watch.Report("\"Save module settings…\"",
                 std::filesystem::exists(tool.files.path) ? "profile written" : "no profile");

    tool.openFiles.path = tool.files.path;
    entry(ui.ApplyProfileItem, 1);
    watch.Report("\"Apply settings…\", the same",
                 tool.dialogs.shown.empty() ? "no box" : tool.dialogs.shown.back().text.c_str());

    // Another channel and serial rate: the writes, the window following the module to its new
    // line and the settle there, and the read-back.
    std::string profile;
    {
        std::ifstream in(tool.files.path);
        std::stringstream text;
        text << in.rdbuf();
        profile = text.str();
    }
    profile = std::regex_replace(profile, std::regex("\nchannel=\\d+"), "\nchannel=7");
    profile = std::regex_replace(profile, std::regex("\nserial_rate=\\d+"), "\nserial_rate=19200");
    std::ofstream(tool.files.path, std::ios::trunc) << profile;
    tool.dialogs.answers.push_back(true);
    entry(ui.ApplyProfileItem, 2);
    const std::string written =
        (tool.dialogs.shown.empty() ? std::string("no box") : tool.dialogs.shown.back().text) +
        " at " + std::to_string(tool.Window().G().Line.BaudRate) + " baud";
    watch.Report("\"Apply settings…\", writing", written.c_str());
}

// The answer-driven pair test at 57600 baud for `seconds`.
void PairTest(StallWatch& watch, int seconds) {
    SimProcess sim;
    if (!sim.Start({"--modules", "2", "--serial-rate", "8", "--air-rate", "8"}, 2)) {
        std::cerr << "qxsim: " << sim.error() << "\n";
        return;
    }
    const std::string ini = "[COM]\nRate=7\nVerify=2\n[Ver]\nCEO=EN\n[Option]\n"
                            "Frame delay=1\nDelay time=60\n";
    BenchTool rx(sim.paths()[1], ini);
    BenchTool tx(sim.paths()[0], ini);
    for (BenchTool* tool : {&rx, &tx})
        tool->Form().PageControl1->setCurrentIndex(1);
    rx.Form().RadioButton16->click();
    rx.Form().SpeedButton17->click();
    tx.Form().Edit4->setText("QX link 01");
    watch.Start();
    tx.Form().SpeedButton17->click();
    RunUntil([] { return false; }, seconds * 1000);
    const long long sent = tx.Window().G().Tally.sent;
    tx.Form().SpeedButton18->click();
    rx.Form().SpeedButton18->click();
    const std::string outcome = std::to_string(sent) + " frames sent";
    watch.Report(("pair test, " + std::to_string(seconds) + " s at 57600").c_str(),
                 outcome.c_str());
}

} // namespace

int main(int argc, char** argv) {
    OffscreenUnlessSet();
    QApplication app(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int seconds = SecondsOption(args, 1);
    StallWatch watch;
    std::printf("a %d ms timer's lateness on the user-interface thread (target under %.0f ms)\n",
                kTickMs, kTargetMs);
    ChainAndProfile(watch);
    PairTest(watch, seconds);
    return 0;
}
