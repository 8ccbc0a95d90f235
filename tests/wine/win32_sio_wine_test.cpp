// The Windows build's serial calls on COM ports that Wine leads to pseudo-terminals: the
// simulator's, or one this test holds to read the line Wine set. The Windows program sio_probe
// runs the calls step by step; marker files let this side look at the far end in between.
#include "core/frame.h"
#include "support/pty.h"
#include "support/ser2net_process.h"
#include "support/sim_process.h"
#include "support/wine_prefix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <termios.h>

namespace {

namespace fs = std::filesystem;

const std::string kProbe = WINDOWS_BIN "/sio_probe.exe";
const std::string kQxcli = WINDOWS_BIN "/qxcli.exe";
constexpr int kBoundMs = 60000;

// One prefix for the whole program: making it takes wineboot's seconds.
WinePrefix* Prefix() {
    static std::unique_ptr<WinePrefix> prefix;
    if (!prefix) {
        prefix = std::make_unique<WinePrefix>(std::vector<int>{1, 12});
        std::cout << "wineboot took " << prefix->BootSeconds() << " s\n";
    }
    return prefix.get();
}

std::string SearchFrame() {
    return core::BytesToHex(core::BuildFrame5A5A("0000", "8000", "0000"));
}

// What the simulated module answers to the search by default.
const std::string kSearchAnswer = "5A5A00005A000003201202450D0A";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.find_last_not_of("\r") + 1));
    return lines;
}

class WineSerial : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(WINDOWS_BIN))
            GTEST_SKIP() << "no Windows build at " WINDOWS_BIN " (./x build --windows makes it)";
        ASSERT_TRUE(fs::exists(kProbe)) << kProbe;
        ASSERT_TRUE(Prefix()->Ok()) << Prefix()->error();
        std::string dir = "/tmp/qxwine-marks-XXXXXX";
        ASSERT_NE(::mkdtemp(dir.data()), nullptr);
        marks_ = dir;
    }
    void TearDown() override {
        std::error_code ec;
        if (!marks_.empty())
            fs::remove_all(marks_, ec);
    }

    // The Windows name of marker `name`, for the probe.
    std::string Mark(const std::string& name) const {
        return WinePrefix::WindowsPath(marks_ + "/" + name);
    }
    // Waits until the probe made marker `name`.
    bool Reached(const std::string& name) const {
        return WaitUntil([&] { return fs::exists(marks_ + "/" + name); }, 30000);
    }
    void Release(const std::string& name) const { std::ofstream(marks_ + "/" + name) << "go\n"; }
    // qxcli.exe run to its end in the markers' folder, its lines ending in LF as on Linux.
    WineRun Qxcli(const std::vector<std::string>& args) const {
        WineRun run = Prefix()->Run(kQxcli, args, kBoundMs, marks_);
        std::erase(run.output, '\r');
        std::erase(run.errors, '\r');
        return run;
    }

    std::string marks_;
};

TEST_F(WineSerial, LineSettingsReachThePseudoTerminal) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(Prefix()->Point(1, pty.SlavePath())) << Prefix()->error();
    // 9600 8N2, then 57600 8E1 twice: Wine refuses the second even parity on a pseudo-terminal
    // (it cannot keep the parity flag), which must not fail the setting
    const pid_t probe = Prefix()->Start(
        kProbe, {"open:1", "line:1:12:0x07", "mark:" + Mark("a"), "wait:" + Mark("b"),
                 "line:1:15:0x1B", "line:1:15:0x1B", "line:1:10:0x0B", "mark:" + Mark("c"),
                 "wait:" + Mark("d"), "take:1", "close:1"});
    ASSERT_GT(probe, 0) << Prefix()->error();
    ASSERT_TRUE(Reached("a")) << Prefix()->OutputSoFar(probe);
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.MasterFd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    Release("b");
    ASSERT_TRUE(Reached("c")) << Prefix()->OutputSoFar(probe);
    ASSERT_EQ(::tcgetattr(pty.MasterFd(), &tio), 0);
    // the last: 4800 8O1; odd is the parity flag a pseudo-terminal keeps
    EXPECT_EQ(::cfgetospeed(&tio), B4800);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_TRUE(tio.c_cflag & PARODD);
    Release("d");
    const WineRun run = Prefix()->Wait(probe, kBoundMs);
    ASSERT_TRUE(run.finished) << run.output << run.errors;
    const auto lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 11u) << run.output << run.errors;
    EXPECT_EQ(lines[0], "open 1 0");
    EXPECT_EQ(lines[1], "line 1 0");
    EXPECT_EQ(lines[4], "line 1 0");
    EXPECT_EQ(lines[5], "line 1 0");
    EXPECT_EQ(lines[6], "line 1 0");
    // nothing waits: the queue says 0 and the read takes nothing, both at once (the bound only
    // catches a read that waits for bytes)
    std::istringstream take(lines[9]);
    std::string verb, port;
    int waiting = -1, got = -1, ms = -1;
    take >> verb >> port >> waiting >> got >> ms;
    EXPECT_EQ(verb, "take");
    EXPECT_EQ(waiting, 0);
    EXPECT_EQ(got, 0);
    EXPECT_LT(ms, 500);
    EXPECT_EQ(lines[10], "close 1 0");
}

TEST_F(WineSerial, TheSimulatorAnswersOnlyAtItsRateOnComOneAndComTwelve) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0"})) << sim.error();
    ASSERT_TRUE(Prefix()->Point(1, sim.paths()[0])) << Prefix()->error();
    const std::string write = "write:1:" + SearchFrame();
    WineRun run = Prefix()->Run(kProbe,
                                {"open:1", "line:1:15:0x03", write, "read:1:800", "line:1:12:0x03",
                                 write, "read:1:3000", "close:1"},
                                kBoundMs);
    ASSERT_TRUE(run.finished) << run.errors;
    auto lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 8u) << run.output << run.errors;
    EXPECT_EQ(lines[0], "open 1 0");
    const std::string sent = "write 1 " + std::to_string(SearchFrame().size() / 2);
    EXPECT_EQ(lines[2], sent);
    EXPECT_EQ(lines[3], "read 1 0 ") << "the module heard 57600 baud";
    EXPECT_EQ(lines[5], sent);
    EXPECT_EQ(lines[6], "read 1 0 " + kSearchAnswer);

    // numbers from 10 up take the device prefix
    ASSERT_TRUE(Prefix()->Point(12, sim.paths()[0])) << Prefix()->error();
    run = Prefix()->Run(
        kProbe,
        {"open:12", "line:12:12:0x03", "write:12:" + SearchFrame(), "read:12:3000", "close:12"},
        kBoundMs);
    lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 5u) << run.output << run.errors;
    EXPECT_EQ(lines[0], "open 12 0");
    EXPECT_EQ(lines[3], "read 12 0 " + kSearchAnswer);
}

TEST_F(WineSerial, NoProgramRunsWhileAComNameLeadsElsewhere) {
    // Wine names the machine's own serial devices too; hidden, they may stay
    for (const auto& [name, target] : Prefix()->ComLinks()) {
        if (name != "com1" && name != "com12") {
            EXPECT_EQ(target.rfind("/dev/tty", 0), 0u) << name << " -> " << target;
        }
    }
    const fs::path com2 = Prefix()->PrefixPath() + "/dosdevices/com2";
    std::error_code ec;
    const fs::path was = fs::read_symlink(com2, ec);
    fs::remove(com2, ec);
    fs::create_symlink("/dev/tty", com2);
    EXPECT_EQ(Prefix()->Start(kProbe, {"ports"}), -1);
    EXPECT_EQ(Prefix()->error(),
              "com2 leads to /dev/tty, which is neither this prefix's nor hidden");
    fs::remove(com2);
    if (!was.empty())
        fs::create_symlink(was, com2);
    // nor may a test point a port at anything but a pseudo-terminal
    EXPECT_FALSE(Prefix()->Point(1, "/dev/null"));
    EXPECT_FALSE(Prefix()->Point(3, "/dev/ptmx"));

    const WineRun run = Prefix()->Run(kProbe, {"ports"}, kBoundMs);
    const auto lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 1u) << run.output << run.errors;
    // Wine's registry list, each port at its own number
    const std::string listed = lines[0].substr(0, lines[0].find(" |") + 1);
    EXPECT_NE(listed.find(" COM1 "), std::string::npos) << lines[0];
    EXPECT_NE(listed.find(" COM12 "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(" 1:COM1"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(" 12:COM12"), std::string::npos) << lines[0];
}

TEST_F(WineSerial, QxcliListsTheComPortsAndFindsTheModuleOnOne) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--serial-rate", "4", "--parity", "2"}))
        << sim.error();
    ASSERT_TRUE(Prefix()->Point(1, sim.paths()[0])) << Prefix()->error();
    WineRun run = Prefix()->Run(kQxcli, {"ports"}, kBoundMs, marks_);
    ASSERT_TRUE(run.finished) << run.errors;
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const auto listed = Lines(run.output);
    EXPECT_NE(std::ranges::find(listed, "COM1\tCOM1"), listed.end()) << run.output;
    EXPECT_NE(std::ranges::find(listed, "COM12\tCOM12"), listed.end()) << run.output;
    run = Prefix()->Run(kQxcli, {"ports", "--json"}, kBoundMs, marks_);
    EXPECT_NE(run.output.find(R"({"port":"COM1","device":"COM1",)"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find(R"("present":false)"), std::string::npos) << run.output;

    // the search walks the line through Wine to the module's 4800 baud, odd parity
    run = Prefix()->Run(kQxcli, {"search", "COM1", "--json"}, kBoundMs, marks_);
    ASSERT_TRUE(run.finished) << run.errors;
    EXPECT_EQ(run.exitCode, 0) << run.output << run.errors;
    EXPECT_NE(run.output.find(R"("baud":4800)"), std::string::npos) << run.output;
}

// A bench's round on COM1: the search walks to the module's line, a read, a write read back,
// a serial number from the counter file, and the records of both in SQLite in the bench's folder.
TEST_F(WineSerial, QxcliReadsWritesAndNumbersAModuleAndKeepsTheRecords) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "5", "--model", "QX861", "--serial-rate", "6",
                           "--channel", "7", "--year", "24", "--month", "1", "--number", "17"}))
        << sim.error();
    ASSERT_TRUE(Prefix()->Point(1, sim.paths()[0])) << Prefix()->error();

    const WineRun search = Qxcli({"search", "COM1"});
    ASSERT_TRUE(search.finished) << search.errors;
    EXPECT_EQ(search.exitCode, 0) << search.output << search.errors;
    EXPECT_NE(search.output.find("line: 19200 none\nfound at try 16 of 24\n"), std::string::npos)
        << search.output;
    EXPECT_NE(search.output.find("model: QX861"), std::string::npos) << search.output;

    const WineRun read = Qxcli({"read", "COM1"});
    EXPECT_EQ(read.exitCode, 0) << read.errors;
    EXPECT_NE(read.output.find("\nchannel=7\n"), std::string::npos) << read.output;
    const WineRun write = Qxcli({"write", "COM1", "--set", "channel=3"});
    EXPECT_EQ(write.exitCode, 0) << write.output << write.errors;
    const WineRun again = Qxcli({"read", "COM1", "--baud", "19200", "--json"});
    EXPECT_EQ(again.exitCode, 0) << again.errors;
    EXPECT_NE(again.output.find("\"channel\":3"), std::string::npos) << again.output;

    std::ofstream(marks_ + "/counter") << "42\n";
    const WineRun sn = Qxcli({"sn", "COM1", "--model", "QX861", "--year", "2026", "--month", "12",
                              "--counter", "counter"});
    EXPECT_EQ(sn.exitCode, 0) << sn.output << sn.errors;
    EXPECT_NE(sn.output.find("COM1 QX861 2026-12 00042 (was 2024-01 00017)"), std::string::npos)
        << sn.output;
    std::ifstream counter(marks_ + "/counter");
    std::string next;
    std::getline(counter, next);
    EXPECT_EQ(next, "43");
    const WineRun records = Qxcli({"records", "--csv"});
    EXPECT_EQ(records.exitCode, 0) << records.errors;
    EXPECT_NE(records.output.find(",write,COM1,COM1,QX861,,written and confirmed,channel 7 -> 3,"),
              std::string::npos)
        << records.output;
    EXPECT_NE(records.output.find(",sn,COM1,COM1,QX861,2026-12 00042,written and confirmed,"),
              std::string::npos)
        << records.output;
}

// Network ports on Winsock, through ser2net in front of the simulator. The module starts at 600
// odd: only line changes that reached its pseudo-terminal through RFC 2217 find it. The raw
// socket then reads at ser2net's 9600, and a port nothing listens on fails at once, saying where.
TEST_F(WineSerial, QxcliReachesAModuleThroughRfc2217AndARawSocket) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "5", "--serial-rate", "1", "--parity", "2"}))
        << sim.error();
    Ser2netProcess server;
    ASSERT_TRUE(server.Start(sim.paths()[0])) << server.error();
    const std::string rfc = server.Rfc2217Url();
    const WineRun found = Qxcli({"read", rfc});
    ASSERT_TRUE(found.finished) << found.errors;
    EXPECT_EQ(found.exitCode, 0) << found.output << found.errors;
    EXPECT_NE(found.output.find("serial_rate=600\nparity=odd\n"), std::string::npos)
        << found.output;
    // even, not none, which ser2net cannot set on a pseudo-terminal (see the Linux network test)
    const WineRun write =
        Qxcli({"write", rfc, "--set", "serial_rate=9600", "--set", "parity=even"});
    EXPECT_EQ(write.exitCode, 0) << write.output << write.errors;

    const WineRun raw = Qxcli({"read", server.SocketUrl(), "--baud", "9600"});
    EXPECT_EQ(raw.exitCode, 0) << raw.output << raw.errors;
    EXPECT_NE(raw.output.find("serial_rate=9600\nparity=even\n"), std::string::npos) << raw.output;

    const std::string port = std::to_string(FreeLocalPort());
    const std::string dead = "rfc2217://127.0.0.1:" + port;
    const WineRun gone = Qxcli({"read", dead, "--baud", "9600"});
    EXPECT_EQ(gone.exitCode, 3) << gone.output << gone.errors;
    const std::string says = "qxcli: " + dead + ": cannot open: " + dead +
                             ": no server at 127.0.0.1 port " + port + " (";
    const auto at = gone.errors.find(says);
    ASSERT_NE(at, std::string::npos) << gone.errors;
    // Winsock's own words for the refusal, with its number
    EXPECT_NE(gone.errors.find("(error 10061))\n", at), std::string::npos) << gone.errors;
}

TEST_F(WineSerial, AComNumberWithoutADeviceFailsToOpen) {
    const auto links = Prefix()->ComLinks();
    int free = 2;
    while (links.contains("com" + std::to_string(free)))
        ++free;
    ASSERT_LE(free, 36);
    const std::string port = std::to_string(free);
    const WineRun run = Prefix()->Run(kProbe, {"open:" + port, "close:" + port}, kBoundMs);
    const auto lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 2u) << run.output << run.errors;
    EXPECT_EQ(lines[0].rfind("open " + port + " -5 | COM" + port + ": no such port here (", 0), 0u)
        << lines[0];
    EXPECT_NE(lines[0].find("(error 2))"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "close " + port + " -1");
}

TEST_F(WineSerial, AVanishedPortIsReportedOnceAndClosed) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0"})) << sim.error();
    ASSERT_TRUE(Prefix()->Point(1, sim.paths()[0])) << Prefix()->error();
    const pid_t probe = Prefix()->Start(kProbe, {"open:1", "line:1:12:0x03", "mark:" + Mark("open"),
                                                 "wait:" + Mark("gone"), "read:1:3000", "lost:1",
                                                 "lost:1", "take:1", "close:1", "close:1"});
    ASSERT_GT(probe, 0) << Prefix()->error();
    ASSERT_TRUE(Reached("open")) << Prefix()->OutputSoFar(probe);
    sim.Stop();
    Release("gone");
    const WineRun run = Prefix()->Wait(probe, kBoundMs);
    const auto lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 10u) << run.output << run.errors;
    EXPECT_EQ(lines[1], "line 1 0");
    EXPECT_EQ(lines[4], "read 1 -1 ");
    EXPECT_EQ(lines[5].rfind("lost 1 | COM1: the device was disconnected (", 0), 0u) << lines[5];
    EXPECT_EQ(lines[6], "lost 1 | ");
    // closed from the moment it was lost; its close still succeeds once
    EXPECT_EQ(lines[7].rfind("take 1 -1 -1 ", 0), 0u) << lines[7];
    EXPECT_EQ(lines[8], "close 1 0");
    EXPECT_EQ(lines[9], "close 1 -1");
}

} // namespace
