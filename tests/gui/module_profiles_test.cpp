// Saving a module's settings into a profile and applying it to another simulated module; the
// window goes on meanwhile.
#include "gui_harness.h"
#include "serial/link.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

// English, without parity as the modules; 19200 baud for the first, 9600 for the second.
const char* const kConfigA = "[Ver]\nCEO=EN\n[COM]\nRate=5\nVerify=2\n";
const char* const kConfigB = "[Ver]\nCEO=EN\n[COM]\nRate=4\nVerify=2\n";

std::string SettingsOf(const std::filesystem::path& file) {
    std::ifstream stream(file);
    std::stringstream text;
    text << stream.rdbuf();
    const std::string all = text.str();
    const auto at = all.find("\n[settings]");
    return at == std::string::npos ? std::string() : all.substr(at);
}

// Triggers `entry` and lets the window run until its exchange has ended: its progress shows
// while it runs and goes when it ends.
void RunEntry(GuiHarness& h, QAction* entry) {
    entry->trigger();
    EXPECT_TRUE(h.WaitProgressGone()) << h.Progress().toStdString();
}

// Frames the window sends while it saves module settings into `file`.
int FramesOfSave(GuiHarness& h, const std::filesystem::path& file, int& sent) {
    const int before = sent;
    h.files.path = file.string();
    RunEntry(h, h.Window().Form().SaveProfileItem);
    const std::string saved = "Module settings saved: " + file.string();
    EXPECT_EQ(h.Status(2).toStdString(), saved);
    // A success is news, not a warning.
    EXPECT_EQ(h.dialogs.shown.back(), (Shown{Shown::Information, saved}));
    return sent - before;
}

TEST(ModuleProfiles, SavedFromOneModuleAppliedToAnotherOnlyAfterYes) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "2", "--channel", "3,2", "--air-rate", "3,5",
                           "--air-protocol", "1,0", "--serial-rate", "6,5", "--verbose"},
                          2))
        << sim.error();
    const auto dir =
        std::filesystem::temp_directory_path() / ("qxprofiles-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        GuiHarness a(kConfigA, sim.paths()[0]);
        a.Start();
        int sent = 0;
        FramesOfSave(a, dir / "a.ini", sent);
    }
    ASSERT_NE(SettingsOf(dir / "a.ini").find("channel=3"), std::string::npos);

    GuiHarness b(kConfigB, sim.paths()[1]);
    b.Start();
    int sent = 0;
    b.Window().SerialLink().AddObserver([&](const serial::Traffic& traffic) {
        sent += traffic.direction == serial::Direction::kSent ? 1 : 0;
    });
    const int reads = FramesOfSave(b, dir / "before.ini", sent);
    const std::string before = SettingsOf(dir / "before.ini");

    // No: the module is read and nothing more goes out.
    b.openFiles.path = (dir / "a.ini").string();
    sent = 0;
    RunEntry(b, b.Window().Form().ApplyProfileItem);
    EXPECT_EQ(sent, reads);
    ASSERT_FALSE(b.Boxes().empty());
    EXPECT_NE(b.Boxes().back().find("channel"), std::string::npos) << b.Boxes().back();

    b.dialogs.answers = {true};
    RunEntry(b, b.Window().Form().ApplyProfileItem);
    EXPECT_EQ(b.Status(2).toStdString(), "Settings written; the read-back matches!")
        << sim.ErrorOutput();
    EXPECT_EQ(b.dialogs.shown.back(),
              (Shown{Shown::Information, "Settings written; the read-back matches!"}));
    // the window followed the module to its new line, where the read-back went
    EXPECT_EQ(b.G().Line.BaudRate, 19200);
    FramesOfSave(b, dir / "after.ini", sent);
    EXPECT_EQ(SettingsOf(dir / "after.ini"), SettingsOf(dir / "a.ini"));
    EXPECT_NE(SettingsOf(dir / "after.ini"), before);

    // The listening time without the sleeping time it travels with is refused before a write.
    std::ifstream profileA(dir / "a.ini");
    std::string model;
    while (std::getline(profileA, model) && !model.starts_with("model="))
        continue;
    std::ofstream(dir / "wake.ini") << "[module]\n" << model << "\n[settings]\nwake_ms=500\n";
    b.openFiles.path = (dir / "wake.ini").string();
    b.dialogs.answers = {true};
    sent = 0;
    RunEntry(b, b.Window().Form().ApplyProfileItem);
    EXPECT_EQ(b.Status(2).toStdString(), "Settings profile failed: wake_ms and sleep_s are "
                                         "written together; give both; nothing written");
    EXPECT_EQ(sent, 2); // the search and the serial number read that tell who the module is
    std::filesystem::remove_all(dir);
}

// The exchange runs while the window goes on: an event posted after the trigger runs before it
// ends, each request shows its step, another operation is refused meanwhile, and a port
// closed or lost mid-way ends the entry once, with nothing left behind.
TEST(ModuleProfiles, TheWindowGoesOnShowsTheStepsAndAClosedOrLostPortEndsTheEntryOnce) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({})) << sim.error();
    GuiHarness h(kConfigB, sim.paths()[0]);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    std::vector<std::string> steps; // the progress as each frame went out
    std::function<void()> afterFrame;
    h.Window().SerialLink().AddObserver([&](const serial::Traffic& traffic) {
        if (traffic.direction != serial::Direction::kSent)
            return;
        steps.push_back(h.Progress().toStdString());
        if (afterFrame)
            QTimer::singleShot(0, afterFrame);
    });
    h.files.path = (h.Dir() / "module.ini").string();

    bool ranWhileRunning = false;
    afterFrame = [&] {
        afterFrame = {};
        ranWhileRunning = !h.Progress().isEmpty();
        h.Click("SpeedButton3"); // read all
        h.Window().Form().Edit4->setText("QX link");
        h.Click("SpeedButton17"); // the pair test
        h.Window().Form().Memo3->setPlainText("AT");
        h.Click("SpeedButton37"); // the terminal's send
        h.Click("SpeedButton20"); // the search
    };
    h.Window().Form().SaveProfileItem->trigger();
    ASSERT_TRUE(h.WaitProgressGone());
    EXPECT_TRUE(ranWhileRunning);
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "Reading module settings 1 of 2: 8000 search [0/2]",
                         "Reading module settings 2 of 2: 800B read serial number [1/2]",
                         "Reading module settings 1 of 4: 8015 read all parameters [0/4]",
                         "Reading module settings 2 of 4: 8010 read power-saving mode [1/4]",
                         "Reading module settings 3 of 4: 8014 read air protocol [2/4]",
                         "Reading module settings 4 of 4: 800D read module ID [3/4]"}));
    const Shown wait{Shown::Warning, "Module settings are being read or written; please wait!"};
    EXPECT_EQ(h.dialogs.shown,
              (std::vector<Shown>{wait,
                                  wait,
                                  wait,
                                  wait,
                                  {Shown::Information, "Module settings saved: " + h.files.path}}));
    EXPECT_FALSE(h.G().PollSuspended);

    // The port closed while the module's answer is awaited.
    steps.clear();
    h.dialogs.shown.clear();
    afterFrame = [&] {
        if (steps.size() == 3)
            h.InPortDialog<QPushButton>("SpeedButton2")->click();
    };
    h.Window().Form().SaveProfileItem->trigger();
    ASSERT_TRUE(h.WaitProgressGone());
    EXPECT_EQ(steps.size(), 3u);
    EXPECT_EQ(h.dialogs.shown, (std::vector<Shown>{{Shown::Error, "Settings profile failed: COM1: "
                                                                  "the port is no longer open"}}));
    EXPECT_FALSE(h.G().PollSuspended);
    // Nothing waits on: the port opened again, the next save runs whole.
    afterFrame = {};
    h.InPortDialog<QPushButton>("SpeedButton1")->click();
    steps.clear();
    h.Window().Form().SaveProfileItem->trigger();
    ASSERT_TRUE(h.WaitProgressGone());
    EXPECT_EQ(steps.size(), 6u);
    EXPECT_EQ(h.dialogs.shown.back(),
              (Shown{Shown::Information, "Module settings saved: " + h.files.path}));
    EXPECT_EQ(h.dialogs.shown.size(), 2u) << h.dialogs.shown.back();

    // The module's device vanishes while its answer is awaited: the link's box says why, the
    // entry fails once.
    steps.clear();
    h.dialogs.shown.clear();
    afterFrame = [&] {
        if (steps.size() == 3)
            sim.Stop();
    };
    h.Window().Form().SaveProfileItem->trigger();
    ASSERT_TRUE(h.WaitProgressGone());
    EXPECT_EQ(steps.size(), 3u);
    ASSERT_EQ(h.dialogs.shown.size(), 2u);
    EXPECT_EQ(h.dialogs.shown[0].kind, Shown::Warning);
    EXPECT_EQ(h.dialogs.shown[1],
              (Shown{Shown::Error, "Settings profile failed: COM1: the port is no longer open"}));
    EXPECT_FALSE(h.G().PollSuspended);
}

} // namespace
