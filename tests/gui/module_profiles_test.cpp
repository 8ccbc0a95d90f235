// Saving a module's settings into a profile and applying it to another simulated module.
#include "gui_harness.h"
#include "serial/link.h"
#include "sim_process.h"
#include "ui_main_window.h"

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

} // namespace
