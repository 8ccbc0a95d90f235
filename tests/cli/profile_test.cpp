#include "cli_process.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

class TempFile {
public:
    explicit TempFile(const std::string& text) {
        std::string path = "/tmp/qxcli-profile-XXXXXX";
        const int fd = mkstemp(path.data());
        if (fd >= 0)
            close(fd);
        m_path = path;
        std::ofstream(m_path) << text;
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Module A: QX871, channel 3, 9600 none, air wake-up, ID 12. Module B: the same model with
// every setting different, at 19200 odd. Both pause in the middle of their power-saving answer,
// as a busy module or PC may.
const std::vector<std::string> kTwoModules{
    "--modules",  "2",     "--turnaround",  "5",       "--model",  "QX871", "--channel",    "3,7",
    "--air-rate", "5,3",   "--serial-rate", "5,6",     "--parity", "0,2",   "--power-save", "3,0",
    "--id",       "12,40", "--split",       "8010:100"};

std::string Settings(const std::string& profile) {
    return profile.substr(profile.find("\n[settings]") + 1);
}

} // namespace

// read -> profile -> write to another module -> diff finds nothing; --json says the same.
TEST(CliProfile, ReadWriteDiffRoundTrip) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start(kTwoModules, 2)) << sim.error();
    const std::string a = sim.paths()[0];
    const std::string b = sim.paths()[1];

    const CliRun read = RunCli({"read", a, "--baud", "9600"});
    ASSERT_EQ(read.exit_code, 0) << read.errors;
    EXPECT_NE(read.output.find("[module]\nmodel=QX871\nserial_number=QX871 "), std::string::npos)
        << read.output;
    EXPECT_EQ(Settings(read.output), "[settings]\nchannel=3\nair_rate=9600\npower_saving=air "
                                     "wake-up\nair_protocol=Velmora\nid=12\nserial_rate=9600\n"
                                     "parity=none\n");
    const TempFile profile(read.output);

    // a dry run lists what the write would send, in its order, and writes (or records)
    // nothing: the diff after it still finds B at 19200 odd, every setting as it was
    const std::string here = TempPath("qxcli-dry-");
    std::filesystem::remove(here);
    std::filesystem::create_directory(here);
    const CliRun dry = RunCli(
        {"write", b, profile.Path(), "--baud", "19200", "--parity", "odd", "--dry-run"}, here);
    EXPECT_EQ(dry.exit_code, 0) << dry.errors;
    EXPECT_FALSE(std::filesystem::exists(here + "/records.sqlite")); // nor a record
    std::filesystem::remove_all(here);
    EXPECT_EQ(dry.output, "would write, in this order:\nchannel: 7 -> 3\nair_rate: 2400 -> "
                          "9600\npower_saving: no sleep -> air wake-up\nair_protocol: Velmora, "
                          "as now\nid: 40 -> 12\nserial_rate: 19200 -> 9600\nparity: odd -> "
                          "none, with serial_rate\nnothing written (--dry-run)\n");
    const CliRun dryJson = RunCli({"write", b, "--set", "parity=none", "--set", "channel=3",
                                   "--baud", "19200", "--parity", "odd", "--dry-run", "--json"});
    EXPECT_EQ(dryJson.exit_code, 0) << dryJson.errors;
    const auto planned = nlohmann::json::parse(dryJson.output, nullptr, false);
    EXPECT_EQ(planned["writes"], nlohmann::json::parse(R"([{"setting": "channel", "module": 7,
        "profile": 3}, {"setting": "parity", "module": "odd", "profile": "none"}])"))
        << dryJson.output;
    EXPECT_EQ(planned["dry_run"], true);

    const CliRun before = RunCli({"diff", b, profile.Path(), "--baud", "19200", "--parity", "odd"});
    EXPECT_EQ(before.exit_code, 2);
    EXPECT_NE(before.output.find("channel: profile 3, module 7\n"), std::string::npos)
        << before.output;

    // B is found by the search at 19200 odd and left at 9600 none
    const CliRun write = RunCli({"write", b, profile.Path()});
    EXPECT_EQ(write.exit_code, 0) << write.errors;
    const CliRun after = RunCli({"diff", b, profile.Path(), "--baud", "9600"});
    EXPECT_EQ(after.exit_code, 0) << after.errors;
    EXPECT_EQ(after.output, "no difference\n");

    // typed: numbers as numbers, a unit in the key, the line as baud and parity
    const CliRun json = RunCli({"read", b, "--baud", "9600", "--json"});
    ASSERT_EQ(json.exit_code, 0) << json.errors;
    const auto object = nlohmann::json::parse(json.output, nullptr, false);
    ASSERT_FALSE(object.is_discarded()) << json.output;
    EXPECT_EQ(object["port"], b);
    EXPECT_EQ(object["module"]["model"], "QX871");
    EXPECT_TRUE(object["module"]["frequency_mhz"].is_number()) << json.output;
    EXPECT_EQ(object["line"], nlohmann::json::parse(R"({"baud": 9600, "parity": "none"})"));
    EXPECT_EQ(object["settings"]["power_saving"], "air wake-up");
    EXPECT_EQ(object["settings"]["id"], 12);
    EXPECT_EQ(object["settings"]["air_rate"], 9600);
    EXPECT_EQ(object["exit"], 0);
    EXPECT_TRUE(object["error"].is_null());
}

// The module answers the channel write with another command's code, or too late: exit 2, the
// write stops there (the serial settings, last in the order, stay), and the diff shows what
// did not take. The late answer's rest, come before the read-back's answer, is passed over.
TEST(CliProfile, RefusedWriteExitsTwoWithTheDiff) {
    for (const std::vector<std::string>& fault : std::vector<std::vector<std::string>>{
             {"--wrong-code", "8005:8006"}, {"--split", "8005:400"}}) {
        SimProcess sim;
        std::vector<std::string> args{"--turnaround",  "5", "--model", "QX871",
                                      "--serial-rate", "5"};
        args.insert(args.end(), fault.begin(), fault.end());
        ASSERT_TRUE(sim.Start(args)) << sim.error();
        const CliRun write = RunCli({"write", sim.paths()[0], "--baud", "9600", "--timeout", "300",
                                     "--set", "channel=5", "--set", "serial_rate=4800"});
        EXPECT_EQ(write.exit_code, 2) << fault[0];
        EXPECT_NE(write.output.find("serial_rate: profile 4800, module 9600\n"), std::string::npos)
            << write.output;
        EXPECT_EQ(write.errors, "qxcli: " + sim.paths()[0] +
                                    ": the module did not accept 8005 write channel (--trace "
                                    "shows its answer)\n");
    }
}

// Profiles and arguments that are wrong: the message names the line or the reason, the exit
// code is 64 for what cannot be read and 2 for what the module's model refuses, and the module
// keeps its settings.
TEST(CliProfile, BadProfilesAndArgumentsWriteNothing) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "5", "--model", "QX861", "--serial-rate", "5"}))
        << sim.error();
    const std::string port = sim.paths()[0];
    const CliRun original = RunCli({"read", port, "--baud", "9600"});
    ASSERT_EQ(original.exit_code, 0) << original.errors;

    struct Row {
        std::string profile;
        int exit_code;
        std::string message; // after the file name
    };
    const std::string model = "[module]\nmodel=QX861\n";
    const Row rows[] = {
        {model + "[settings]\nchannel=2\nair_rate=9601\n", 64,
         ":5: air_rate=9601 is not a value of air_rate"},
        {model + "[settings]\nchannel=2\nchanel=3\n", 64, ":5: unknown setting chanel"},
        {model + "[settings]\nchannel 2\n", 64, ":4: not a comment, [section] or key=value line"},
        {model + "[settings]\nchannel=2\nchannel=3\n", 64, ":5: channel is given twice"},
        {"[settings]\nchannel=2\n", 64, ": no model=... in [module]"},
        {model + "[setings]\n", 64, ":3: unknown section [setings]"},
        {model + "[settings]\nwake_ms=500\n", 64, "wake_ms and sleep_s are written together"},
        {"[module]\nmodel=QX871\n[settings]\nchannel=2\n", 2, " is a profile of QX871"},
        // the 861 has 4 channels and runs at most 19200 baud
        {model + "[settings]\nchannel=2\nair_rate=38400\n", 2,
         "air_rate=38400: QX861 runs at most 19200"},
        {model + "[settings]\nchannel=9\n", 2, "channel=9: QX861 has channels 1 .. 4"},
    };
    for (const Row& row : rows) {
        const TempFile profile(row.profile);
        const CliRun run = RunCli({"write", port, profile.Path(), "--baud", "9600"});
        EXPECT_EQ(run.exit_code, row.exit_code) << row.profile;
        EXPECT_NE(run.errors.find(row.message), std::string::npos) << run.errors;
        EXPECT_EQ(run.output, "") << row.profile;
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"write", port, "--baud", "9600"},
             {"write", port, "/tmp/qx-no-such-profile.ini", "--baud", "9600"},
             {"write", port, "--set", "channel", "--baud", "9600"},
             {"write", port, "--set", "parity=space", "--baud", "9600"},
         }) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exit_code, 64) << args[2];
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    }
    const CliRun now = RunCli({"read", port, "--baud", "9600"});
    EXPECT_EQ(now.output, original.output);
}

// The settings a module takes but never reports: the read-back cannot confirm them, so the
// simulated module's state file shows that they arrived.
TEST(CliProfile, WriteOnlySettingsReachTheModule) {
    const TempFile state("");
    SimProcess sim;
    ASSERT_TRUE(sim.Start(
        {"--turnaround", "5", "--model", "QX885", "--serial-rate", "5", "--state", state.Path()}))
        << sim.error();
    std::vector<std::string> args{"write", sim.paths()[0],  "--baud", "9600",
                                  "--set", "wake_ms=700",   "--set",  "sleep_s=3",
                                  "--set", "power_level=3", "--set",  "output_power=2W"};
    args.push_back("--dry-run");
    const CliRun dry = RunCli(args);
    EXPECT_EQ(dry.exit_code, 0) << dry.errors;
    EXPECT_NE(dry.output.find("\nwake_ms: 700, not reported by the module\nsleep_s: 3, not "
                              "reported by the module, with wake_ms\n"),
              std::string::npos)
        << dry.output;
    args.pop_back();
    std::ifstream before(state.Path());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}).find("wake-ms=700"),
              std::string::npos);
    const CliRun write = RunCli(args);
    EXPECT_EQ(write.exit_code, 0) << write.errors;
    EXPECT_NE(write.output.find("sleep_s: 3 written, the module does not report it\n"),
              std::string::npos)
        << write.output;
    std::ifstream in(state.Path());
    const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const char* line :
         {"\nwake-ms=700\n", "\nsleep-ms=3000\n", "\noutput-power=1\n", "\npower-level=3\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
}

// --framing eded: the commands that have a short form go out in it, the others in 5A5A, and
// the module's new serial rate (the short form carries no parity) is followed. A short answer
// that pauses half-way is waited for, though it has no length to tell its end.
TEST(CliProfile, ShortFramingWhereTheCommandHasIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--eded", "--turnaround", "5", "--model", "QX871", "--serial-rate", "5",
                           "--split", "05:100"}))
        << sim.error();
    const CliRun write = RunCli({"write", sim.paths()[0], "--framing", "eded", "--baud", "9600",
                                 "--set", "channel=4", "--set", "air_protocol=compatible", "--set",
                                 "serial_rate=4800", "--trace"});
    EXPECT_EQ(write.exit_code, 0) << write.errors;
    for (const char* frame : {"\tout\t", "\tEDED\t05 write channel\t5\tED ED 05 04 E3\t",
                              "\t5A5A\t8009 write air protocol\t",
                              "\tEDED\t01 write serial settings\t5\tED ED 01 04 DF\t",
                              "\t4800 8N1\t5A5A\t8015 read all parameters"})
        EXPECT_NE(write.errors.find(frame), std::string::npos) << frame;
}

// The port vanishes while the module is silent about a write: that is a port error with its
// cause, exit 3, not the module's refusal; sn adds that its number is used up.
TEST(CliProfile, APortLostDuringAWriteIsAPortError) {
    const TempFile counter("42\n");
    struct Row {
        std::string silent;
        std::vector<std::string> args;
        std::string after; // what the message ends with
    };
    const Row rows[] = {
        {"8005", {"write", "--set", "channel=3"}, "(Input/output error)\n"},
        {"800A",
         {"sn", "--model", "QX861", "--year", "2026", "--month", "12", "--counter", counter.Path()},
         "(Input/output error); number 00042 is used up, the next write takes the next one\n"},
    };
    for (const Row& row : rows) {
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--turnaround", "5", "--model", "QX861", "--serial-rate", "5",
                               "--silent", row.silent}))
            << sim.error();
        std::vector<std::string> args = row.args;
        args.insert(args.begin() + 1, sim.paths()[0]);
        args.insert(args.end(), {"--baud", "9600", "--timeout", "6000"});
        CliRun run;
        std::thread cli([&] { run = RunCli(args); });
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        sim.Stop();
        cli.join();
        EXPECT_EQ(run.exit_code, 3) << row.args[0];
        EXPECT_EQ(run.errors, "qxcli: " + sim.paths()[0] + ": " + sim.paths()[0] +
                                  ": the device was disconnected " + row.after)
            << row.args[0];
    }
}

// A module that takes up its new serial settings 30 ms after its answer, as real firmware does:
// the read-back waits for it and confirms the write. One that never gets there within the
// settle times leaves the write standing, unconfirmed, and says so.
TEST(CliProfile, TheReadBackWaitsForAModuleThatSwitchesLate) {
    for (const auto& [delay, settle, exit_code, said] :
         std::vector<std::tuple<std::string, std::string, int, std::string>>{
             {"30", "100", 0, ""},
             {"5000", "50", 1,
              ": written; not confirmed at 2400 none: the module does not "
              "answer at its new serial settings\n"}}) {
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--turnaround", "5", "--model", "QX861", "--serial-rate", "5",
                               "--switch-delay", delay}))
            << sim.error();
        const CliRun write = RunCli({"write", sim.paths()[0], "--set", "serial_rate=2400", "--baud",
                                     "9600", "--timeout", "300", "--settle", settle});
        EXPECT_EQ(write.exit_code, exit_code) << delay;
        if (exit_code == 0)
            EXPECT_EQ(write.output, "written; the read-back matches\n") << write.errors;
        else
            EXPECT_EQ(write.errors, "qxcli: " + sim.paths()[0] + said);
    }
}

// A module of the short framing at 4800 odd: its serial settings answers carry the rate alone,
// and the port keeps the parity the module answered at, found by the search and after a write
// of its serial rate.
TEST(CliProfile, AShortFramingModuleKeepsItsParity) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start(
        {"--eded", "--turnaround", "5", "--model", "QX871", "--serial-rate", "4", "--parity", "2"}))
        << sim.error();
    const CliRun search = RunCli({"search", sim.paths()[0], "--framing", "eded"});
    EXPECT_EQ(search.exit_code, 0) << search.errors;
    EXPECT_NE(search.output.find("line: 4800 odd\nfound at try 12 of 24\n"), std::string::npos)
        << search.output;

    const CliRun write = RunCli({"write", sim.paths()[0], "--framing", "eded", "--baud", "4800",
                                 "--parity", "odd", "--set", "serial_rate=9600"});
    EXPECT_EQ(write.exit_code, 0) << write.errors;
    EXPECT_EQ(write.output, "written; the read-back matches\n");
    const CliRun after = RunCli({"read", sim.paths()[0], "--baud", "9600", "--parity", "odd"});
    EXPECT_NE(after.output.find("serial_rate=9600\nparity=odd\n"), std::string::npos)
        << after.output;
}
