#include "host_port.h"
#include "support/sim_process.h"

#include "core/frame.h"
#include "core/module/module_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace core;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh directory under /tmp, removed with everything in it at the end of the test.
struct TempDir {
    fs::path path = fs::temp_directory_path() /
                    ("qxsim-test-" + std::to_string(getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempDir() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

} // namespace

TEST(SimProgram, WrittenSerialNumberSurvivesARestart) {
    TempDir dir;
    const std::string state = (dir.path / "modules.ini").string();
    // QX230A, 2012-05, number 258
    const Bytes write = BuildFrame5A5A("0000", "800A", "110C050102");
    const Bytes read = BuildFrame5A5A("0000", "800B", "0000");
    const Bytes answer = BuildFrame5A5A("0000", "000B", "110C050102");
    {
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--turnaround", "0", "--state", state})) << sim.error();
        HostPort host;
        ASSERT_TRUE(host.Open(sim.paths()[0]));
        EXPECT_EQ(host.Ask(write, 16), BuildFrame5A5A("0000", "000A", "110C050102"));
        EXPECT_EQ(sim.Stop(), 0);
    }
    EXPECT_NE(ReadText(state).find("model=0x11\n"), std::string::npos);
    SimProcess again;
    // the file wins over the identity options
    ASSERT_TRUE(again.Start({"--turnaround", "0", "--state", state, "--model", "QX861"}))
        << again.error();
    HostPort host;
    ASSERT_TRUE(host.Open(again.paths()[0]));
    EXPECT_EQ(host.Ask(read, 16), answer);
}

TEST(SimProgram, DamagedStateFileIsRefusedAndKept) {
    TempDir dir;
    const fs::path state = dir.path / "modules.ini";
    const std::string damaged = "[module 0]\nchannel=300\n";
    std::ofstream(state) << damaged;
    const SimRun run = RunSimToEnd({"--state", state.string()});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.errors.find("line 2: channel must be 1 to 255"), std::string::npos) << run.errors;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(ReadText(state), damaged);
}

TEST(SimProgram, LinksNameTheDevicesUntilTheEnd) {
    TempDir dir;
    const fs::path links = dir.path / "tty";
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "2", "--link", links.string()}, 2)) << sim.error();
    EXPECT_EQ(fs::read_symlink(links / "ttyQX0"), sim.paths()[0]);
    EXPECT_EQ(fs::read_symlink(links / "ttyQX1"), sim.paths()[1]);
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(links / "ttyQX0")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(links / "ttyQX1")));
}

TEST(SimProgram, VerboseLogNamesEachFrame) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--verbose"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0]));
    ASSERT_EQ(host.Ask(BuildFrame5A5A("0000", "8003", "0500"), 13).size(), 13u);
    EXPECT_EQ(sim.Stop(), 0);
    const std::string log = sim.ErrorOutput();
    EXPECT_NE(log.find("module 0 in   5A5A00005A8003020500980D0A  8003 write air rate 0500"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("module 0 out  5A5A00005A0003020500180D0A  8003 write air rate 0500"),
              std::string::npos)
        << log;
}

TEST(SimProgram, HelpExplainsEveryOption) {
    const SimRun run = RunSimToEnd({"--help"});
    EXPECT_EQ(run.exit_code, 0);
    for (const char* option :
         {"--modules", "--link", "--state", "--eded", "--turnaround", "--loss", "--bit-errors",
          "--air-delay", "--seed", "--verbose", "--bad-checksum", "--split", "--garbage",
          "--wrong-code", "--silent", "odd"})
        EXPECT_NE(run.output.find(option), std::string::npos) << option;
    for (const ModuleSetting& setting : ModuleSettings())
        EXPECT_NE(run.output.find("--" + std::string(setting.key) + " "), std::string::npos)
            << setting.key;
}

TEST(SimProgram, RefusesWhatItDoesNotUnderstand) {
    struct Row {
        std::vector<std::string> args;
        const char* message;
    };
    const Row rows[] = {
        {{"--colour", "red"}, "unknown option --colour"},
        {{"--modules", "0"}, "bad value \"0\" for --modules"},
        {{"--serial-rate", "9"}, "bad value \"9\" for --serial-rate"},
        {{"--model", "QX999"}, "bad value \"QX999\" for --model"},
        {{"--loss", "1.5"}, "bad value \"1.5\" for --loss"},
        {{"--split", "8003:x"}, "--split: the split gap"},
        {{"--seed"}, "--seed needs a value"},
        {{"stray"}, "unexpected argument \"stray\""},
    };
    for (const Row& row : rows) {
        const SimRun run = RunSimToEnd(row.args);
        EXPECT_EQ(run.exit_code, 2) << row.message;
        EXPECT_NE(run.errors.find(row.message), std::string::npos) << run.errors;
        EXPECT_EQ(run.output, "");
    }
}

TEST(SimProgram, ModelByNameSetsItsFamily) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--modules", "2", "--model", "QX871,885"}, 2))
        << sim.error();
    HostPort a, b;
    ASSERT_TRUE(a.Open(sim.paths()[0]));
    ASSERT_TRUE(b.Open(sim.paths()[1]));
    // family 30 (87X) for QX871, 40 (88X) for QX885
    EXPECT_EQ(a.Ask(BuildFrame5A5A("0000", "8000", "0000"), 14),
              BuildFrame5A5A("0000", "0000", "301202"));
    EXPECT_EQ(b.Ask(BuildFrame5A5A("0000", "800B", "0000"), 16),
              BuildFrame5A5A("0000", "000B", "4518010001"));
}
