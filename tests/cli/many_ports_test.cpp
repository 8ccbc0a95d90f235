#include "cli_process.h"
#include "support/pty.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

// Four ports in one call, in the order named: two modules take the write, one has no module,
// one refuses the channel. Each block names its port, each error too, the summary ends
// standard error and the exit code is the worst, the refusal's 2. --json gives a line a port
// with the same verdicts, the difference typed.
TEST(CliManyPorts, EachPortInOrderTheWorstExitAndASummary) {
    SimProcess good, refusing, silent;
    ASSERT_TRUE(good.Start(
        {"--modules", "2", "--turnaround", "5", "--model", "QX871", "--serial-rate", "5"}, 2))
        << good.error();
    ASSERT_TRUE(refusing.Start({"--turnaround", "5", "--model", "QX871", "--serial-rate", "5",
                                "--wrong-code", "8005:8006"}))
        << refusing.error();
    ASSERT_TRUE(silent.Start({"--silent", "all"})) << silent.error();
    const std::string a = good.paths()[0], b = good.paths()[1];
    const std::string missing = silent.paths()[0], refuses = refusing.paths()[0];
    const std::vector<std::string> args{"write",     a,        missing, refuses,     b,    "--set",
                                        "channel=5", "--baud", "9600",  "--timeout", "300"};

    const CliRun run = RunCli(args);
    EXPECT_EQ(run.exit_code, 2) << run.errors;
    const std::string written = "written; the read-back matches\n";
    EXPECT_EQ(run.output, "# " + a + "\n" + written + "# " + missing + "\n# " + refuses + "\n# " +
                              b + "\n" + written);
    EXPECT_EQ(run.errors, "qxcli: " + missing +
                              ": no module answered at 9600 baud none; check "
                              "power and wiring, or leave out --baud to search\n"
                              "qxcli: " +
                              refuses +
                              ": the module did not accept 8005 write channel (--trace shows "
                              "its answer)\n"
                              "2 written, 1 refused (" +
                              refuses + "), 1 not found (" + missing + ")\n");

    std::vector<std::string> json = args;
    json.push_back("--json");
    const CliRun again = RunCli(json);
    EXPECT_EQ(again.exit_code, 2) << again.errors;
    const auto lines = JsonLines(again.output);
    ASSERT_EQ(lines.size(), 4u) << again.output;
    const std::string ports[] = {a, missing, refuses, b};
    const int exits[] = {0, 1, 2, 0};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i]["port"], ports[i]);
        EXPECT_EQ(lines[i]["exit"], exits[i]) << lines[i].dump();
        EXPECT_EQ(lines[i]["error"].is_null(), exits[i] == 0) << lines[i].dump();
    }
    EXPECT_EQ(lines[0]["differences"], nlohmann::json::object());
    EXPECT_EQ(lines[0]["before"], nlohmann::json::parse(R"({"channel": 5})")); // the first run's
    EXPECT_EQ(lines[0]["module"]["model"], "QX871");
    EXPECT_EQ(lines[3]["line"], nlohmann::json::parse(R"({"baud": 9600, "parity": "none"})"));

    // a difference in JSON: the profile's value and the module's, both numbers
    const std::string profile = TempPath("qxcli-profile-");
    std::ofstream(profile) << "[module]\nmodel=QX871\n[settings]\nchannel=7\n";
    const CliRun diff = RunCli({"diff", a, b, profile, "--baud", "9600", "--json"});
    std::filesystem::remove(profile);
    EXPECT_EQ(diff.exit_code, 2);
    EXPECT_EQ(diff.errors, "qxcli: " + a + ": 1 setting differs\nqxcli: " + b +
                               ": 1 setting differs\n2 different (" + a + ", " + b + ")\n");
    for (const auto& line : JsonLines(diff.output))
        EXPECT_EQ(line["differences"],
                  nlohmann::json::parse(R"({"channel": {"profile": 7, "module": 5}})"))
            << line.dump();
}

// JSON lines of search and ports: numbers as numbers, the unit in the key, and what the module
// does not tell (a model code no model has, the step when --baud skips the walk) as null.
TEST(CliManyPorts, JsonValuesAreTypedAndUnknownIsNull) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "2", "--turnaround", "5", "--model", "QX871,99",
                           "--serial-rate", "5", "--base-frequency", "2"},
                          2))
        << sim.error();
    const CliRun search =
        RunCli({"search", sim.paths()[1], sim.paths()[0], "--baud", "9600", "--json"});
    EXPECT_EQ(search.exit_code, 0) << search.errors;
    EXPECT_EQ(search.errors, "2 found\n");
    const auto lines = JsonLines(search.output);
    ASSERT_EQ(lines.size(), 2u) << search.output;
    EXPECT_EQ(lines[0]["port"], sim.paths()[1]);
    EXPECT_TRUE(lines[0]["module"]["model"].is_null()) << lines[0].dump();
    EXPECT_TRUE(lines[0]["step"].is_null()) << lines[0].dump();
    EXPECT_EQ(lines[1]["module"]["model"], "QX871");
    EXPECT_EQ(lines[1]["module"]["serial_number"], "QX871 2024-01 00001");
    EXPECT_EQ(lines[1]["module"]["base_frequency_mhz"], 433) << lines[1].dump();
    EXPECT_EQ(lines[1]["line"]["baud"], 9600);

    const std::string dir = TempPath("qxcli-ports-");
    std::filesystem::remove(dir);
    std::filesystem::create_directory(dir);
    std::ofstream(dir + "/Config.ini") << "[Ports]\nCOM35=" << sim.paths()[0] << "\n";
    // options may come before the command
    const CliRun ports = RunCli({"--json", "ports"}, dir);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(ports.exit_code, 0) << ports.errors;
    const auto listed = JsonLines(ports.output);
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.back()["port"], "COM35");
    EXPECT_EQ(listed.back()["device"], sim.paths()[0]);
    EXPECT_EQ(listed.back()["present"], true);
    EXPECT_TRUE(listed.back()["usb"].is_null()) << listed.back().dump();
    EXPECT_TRUE(listed.back()["config"].is_string()) << listed.back().dump();
}

// Three modules numbered in one call: the last named is found first (the walk reaches 600 baud
// first, 38400 last), yet the numbers follow the order named, one after the other.
TEST(CliManyPorts, SerialNumbersFollowThePortOrder) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "3", "--turnaround", "5", "--model", "QX861",
                           "--serial-rate", "7,5,1", "--parity", "0,2,1"},
                          3))
        << sim.error();
    const std::string dir = TempPath("qxcli-counter-");
    std::ofstream(dir) << "100\n";
    const CliRun run = RunCli({"sn", sim.paths()[0], sim.paths()[1], sim.paths()[2], "--model",
                               "QX861", "--year", "2026", "--month", "12", "--counter", dir});
    std::ifstream in(dir);
    const std::string counter{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(dir);
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    std::string numbered;
    for (int i = 0; i < 3; ++i)
        numbered += "# " + sim.paths()[i] + "\n" + sim.paths()[i] + " QX861 2026-12 0010" +
                    std::to_string(i) + " (was 2024-01 00001)\n";
    EXPECT_EQ(run.output, numbered);
    EXPECT_EQ(run.errors, "3 numbered\n");
    EXPECT_EQ(counter, "103\n");
}

// On a terminal, standard error shows each port's search step and line, and a write's steps,
// while it works and is cleared before the results; --quiet shows nothing. Off a terminal (every
// other test) nothing of it appears.
TEST(CliManyPorts, ProgressOnATerminalOnly) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start(
        {"--modules", "2", "--turnaround", "5", "--serial-rate", "1", "--parity", "1"}, 2))
        << sim.error();
    for (const auto& ports : std::vector<std::vector<std::string>>{
             {sim.paths()[0]}, {sim.paths()[0], sim.paths()[1]}}) {
        PtyPair terminal;
        ASSERT_TRUE(terminal.Ok());
        std::vector<std::string> args{"search"};
        args.insert(args.end(), ports.begin(), ports.end());
        const CliRun run = RunCliOnTerminal(args, terminal.SlavePath());
        const std::string shown = terminal.Read(1 << 16, 300);
        EXPECT_EQ(run.exit_code, 0) << shown;
        EXPECT_NE(run.output.find("found at try 2 of 24\n"), std::string::npos) << run.output;
        for (const std::string& port : ports)
            EXPECT_NE(shown.find("\033[K" + port + ": try 2 of 24 at 600 even"), std::string::npos)
                << shown;
        // back to the first port's line and cleared; the summary of several ports after it
        const std::string cleared = ports.size() == 1 ? "\r\033[J" : "\r\033[1A\033[J2 found";
        EXPECT_NE(shown.find(cleared), std::string::npos) << shown;
        EXPECT_EQ(shown.substr(shown.rfind("\033[J") + 3), ports.size() == 1 ? "" : "2 found\n")
            << shown;

        args.push_back("--quiet");
        PtyPair quiet;
        const CliRun silent = RunCliOnTerminal(args, quiet.SlavePath());
        EXPECT_EQ(silent.exit_code, 0);
        EXPECT_EQ(quiet.Read(1 << 16, 300), ports.size() == 1 ? "" : "2 found\n");
    }
    // a write shows each request as it goes out, then the read-back
    PtyPair terminal;
    const CliRun write = RunCliOnTerminal(
        {"write", sim.paths()[0], "--set", "channel=2", "--baud", "600", "--parity", "even"},
        terminal.SlavePath());
    const std::string shown = terminal.Read(1 << 16, 300);
    EXPECT_EQ(write.exit_code, 0) << shown;
    for (const char* step : {": asking at 600 baud even", ": 8005 write channel", ": reading back"})
        EXPECT_NE(shown.find(sim.paths()[0] + step), std::string::npos) << step << shown;
}
