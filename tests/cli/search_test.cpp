#include "cli_process.h"
#include "support/pty.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

// Modules at the slowest setting, the fastest and 57600: after the factory setting, the walk
// from 600 baud even finds the first at once and the second at its last steps, where a
// pseudo-terminal cannot tell even from no parity; the module's own serial settings decide what
// is shown, and where the next search on that port tries first.
TEST(CliSearch, FindsModulesAtBothEndsOfTheWalk) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "3", "--serial-rate", "1,7,8", "--parity", "1,0", "--model",
                           "QX871,QX861", "--number", "42,43"},
                          3))
        << sim.error();

    const CliRun slow = RunCli({"search", sim.paths()[0]});
    EXPECT_EQ(slow.exit_code, 0) << slow.errors;
    EXPECT_NE(slow.output.find("line: 600 even\nfound at try 2 of 24\n"), std::string::npos)
        << slow.output;
    EXPECT_NE(slow.output.find("model: QX871\nserial number: 2024-01 00042\n"), std::string::npos)
        << slow.output;

    const std::filesystem::path bench =
        std::filesystem::temp_directory_path() / ("qxcli-search-" + std::to_string(getpid()));
    std::filesystem::create_directories(bench);
    const CliRun fast = RunCli({"search", sim.paths()[1]}, bench);
    EXPECT_EQ(fast.exit_code, 0) << fast.errors;
    EXPECT_NE(fast.output.find("line: 38400 none\nfound at try 19 of 24\n"), std::string::npos)
        << fast.output;
    EXPECT_NE(fast.output.find("model: QX861\n"), std::string::npos) << fast.output;
    // the rate above the window's walk comes last
    const CliRun fastest = RunCli({"search", sim.paths()[2]});
    EXPECT_NE(fastest.output.find("line: 57600 none\nfound at try 22 of 24\n"), std::string::npos)
        << fastest.output;
    const CliRun again = RunCli({"search", sim.paths()[1]}, bench);
    EXPECT_NE(again.output.find("line: 38400 none\nfound at try 1 of 24\n"), std::string::npos)
        << again.output;
    std::ifstream lines(bench / "qxcli-lines.ini");
    const std::string kept{std::istreambuf_iterator<char>(lines), {}};
    EXPECT_NE(kept.find(sim.paths()[1] + "=38400 none"), std::string::npos) << kept;
    std::filesystem::remove_all(bench);
}

// A module slower than the walk's step wait answers while the walk is at the next step, where
// it does not hear: the walk goes again with longer waits and shows the module's own line.
TEST(CliSearch, ASlowModuleIsFoundAtItsOwnLine) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "350", "--serial-rate", "1", "--parity", "1"}))
        << sim.error();
    const CliRun run = RunCli({"search", sim.paths()[0], "--timeout", "600"});
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_NE(run.output.find("line: 600 even\nfound at try 2 of 24\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("serial number: 2024-01 00001\n"), std::string::npos) << run.output;
}

// A module that answers 200 ms after a request, later than a step's wait at 9600: its answer
// comes while the walk is a try or two on. The answer is given to the try it answers, asked
// again, and the walk does not start over with longer waits (which took about 20 s).
TEST(CliSearch, ALateAnswerIsGivenToTheStepItAnswers) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "200", "--serial-rate", "5", "--parity", "2"}))
        << sim.error();
    const CliRun run = RunCli({"search", sim.paths()[0]});
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_NE(run.output.find("line: 9600 odd\nfound at try 15 of 24\n"), std::string::npos)
        << run.output;
    EXPECT_LT(run.took, 12s);
}

// A module that answers the search in the short framing, which carries no model: it is not
// taken as found, and the message says that it answered, where, and what to try.
TEST(CliSearch, AShortSearchAnswerIsNamed) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    std::atomic<bool> serving = true;
    std::thread module([&] {
        // a request is 13 bytes long, or 5 in the short framing
        while (serving)
            if (pty.Read(5, 100).size() == 5) {
                pty.Read(8, 20);
                pty.Write(std::string("\xED\xED\x00\x20\xFA", 5));
            }
    });
    const CliRun walk = RunCli({"search", pty.SlavePath(), "--step-wait", "60"});
    const CliRun named = RunCli({"search", pty.SlavePath(), "--baud", "9600", "--parity", "even",
                                 "--framing", "eded", "--timeout", "200"});
    serving = false;
    module.join();
    EXPECT_EQ(walk.exit_code, 1);
    EXPECT_EQ(walk.errors, "qxcli: " + pty.SlavePath() +
                               ": a module answered the search at 9600 baud none in the short "
                               "framing (ED ED 00 20 FA), which carries no model, so it is not "
                               "taken as found; try --framing eded\n");
    EXPECT_EQ(named.exit_code, 1);
    EXPECT_NE(named.errors.find("at 9600 baud even in the short framing (ED ED 00 20 FA), which "
                                "carries no model, so it is not taken as found; the module must "
                                "answer the search in the 5A5A framing: check its firmware\n"),
              std::string::npos)
        << named.errors;
}

// No module answers: all 24 tries at the default wait end with exit 1 well before the
// window's 23 s; a line named with --baud is tried alone.
TEST(CliSearch, NoModuleEndsWithExitOneQuickly) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--silent", "8000"})) << sim.error();

    const CliRun walk = RunCli({"search", sim.paths()[0]});
    EXPECT_EQ(walk.exit_code, 1);
    EXPECT_LT(walk.took, 5s);
    EXPECT_NE(walk.errors.find("no module answered at any of the 24 settings (600 to 57600"),
              std::string::npos)
        << walk.errors;
    EXPECT_EQ(walk.output, "");

    const CliRun named = RunCli({"search", sim.paths()[0], "--baud", "9600", "--timeout", "200"});
    EXPECT_EQ(named.exit_code, 1);
    EXPECT_NE(named.errors.find("no module answered at 9600 baud none"), std::string::npos)
        << named.errors;
}

// A port that is not there and one that the command line misnames.
TEST(CliSearch, PortAndUsageErrorsHaveTheirCodes) {
    const CliRun missing = RunCli({"search", "/dev/qx-no-such-port"});
    EXPECT_EQ(missing.exit_code, 3);
    EXPECT_NE(missing.errors.find("/dev/qx-no-such-port: cannot open"), std::string::npos)
        << missing.errors;

    // a port may bear a command's name
    const CliRun named = RunCli({"search", "ports"});
    EXPECT_EQ(named.exit_code, 3);
    EXPECT_NE(named.errors.find("ports: cannot open"), std::string::npos) << named.errors;

    const CliRun unmapped = RunCli({"search", "COM36"});
    EXPECT_EQ(unmapped.exit_code, 3);
    EXPECT_NE(unmapped.errors.find("COM36 stands for no device"), std::string::npos)
        << unmapped.errors;

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"search"},
             {"search", "/dev/null", "--baud", "9601"},
             {"search", "/dev/null", "--parity", "odd"},
             {"search", "/dev/null", "--settle", "5"},
             {"search", "/dev/null", "--all"},
             {"--frobnicate"},
             {"search", "/dev/null", "/dev/./null"}, // one device named twice
             {"frobnicate"},
         }) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exit_code, 64) << args.back();
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    }
}

// What an operator reads first: every help names the exit codes, a message names the command
// once and points to its help, --version answers, an unknown --set key lists the keys, and
// ports marks a [Ports] device that is not there.
TEST(CliSearch, HelpsAndMessagesTellWhatToDo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"ports", "--help"}, {"search", "--help"}, {"sn", "--help"}}) {
        const CliRun help = RunCli(args);
        EXPECT_EQ(help.exit_code, 0) << args[0];
        EXPECT_NE(help.output.find("\nExit codes: 0 done"), std::string::npos) << help.output;
    }
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_TRUE(version.output.starts_with("qxcli ")) << version.output;

    const CliRun misplaced = RunCli({"ports", "--baud", "9600"});
    EXPECT_EQ(misplaced.exit_code, 64);
    EXPECT_EQ(misplaced.errors,
              "qxcli: ports does not take --baud (qxcli ports --help lists its options)\n");

    const CliRun set = RunCli({"write", "/dev/null", "--set", "chanel=3"});
    EXPECT_EQ(set.exit_code, 64);
    EXPECT_NE(set.errors.find("--set chanel=3: unknown setting chanel; did you mean channel? "
                              "(settings: channel, air_rate, "),
              std::string::npos)
        << set.errors;

    const std::string dir = TempPath("qxcli-ports-");
    std::filesystem::remove(dir);
    std::filesystem::create_directory(dir);
    std::ofstream(dir + "/Config.ini") << "[Ports]\nCOM35=/dev/qx-no-such-device\n";
    const CliRun ports = RunCli({"ports"}, dir);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(ports.exit_code, 0);
    EXPECT_NE(ports.output.find("COM35\t/dev/qx-no-such-device\tno such device\t[Ports] of "),
              std::string::npos)
        << ports.output;
}
