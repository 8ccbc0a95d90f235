#include "cli_process.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

class CounterDir {
public:
    CounterDir() {
        std::string path = "/tmp/qxcli-counter-XXXXXX";
        m_path = mkdtemp(path.data());
    }
    ~CounterDir() { std::filesystem::remove_all(m_path); }
    std::string Counter() const { return (m_path / "counter").string(); }
    void Set(int next) const { std::ofstream(Counter()) << next << "\n"; }
    std::string Text() const {
        std::ifstream in(Counter());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path m_path;
};

std::vector<std::string> Sn(const std::string& port, const CounterDir& dir) {
    return {"sn",     port,   "--baud",  "9600", "--model",   "QX861",
            "--year", "2026", "--month", "12",   "--counter", dir.Counter()};
}

// The running number a successful sn printed: "PORT QX861 2026-12 00042 (was 2024-01 00001)".
std::string Number(const CliRun& run) {
    const auto at = run.output.find(" 2026-12 ");
    return at == std::string::npos ? run.output : run.output.substr(at + 9, 5);
}

// What the search tells of the module's serial number: "model: QX861\nserial number: ...".
std::string Identity(const std::string& port) {
    const CliRun search = RunCli({"search", port, "--baud", "9600"});
    const auto at = search.output.find("model: ");
    return at == std::string::npos ? search.errors : search.output.substr(at);
}

} // namespace

// Two benches share one counter and program 50 modules each at the same time: every number
// goes out once, and the counter ends 100 further on.
TEST(CliSerialNumber, TwoBenchesSharingACounterNeverCollide) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "2", "--turnaround", "0", "--serial-rate", "5"}, 2))
        << sim.error();
    CounterDir dir;
    dir.Set(1000);
    std::vector<std::string> numbers[2];
    std::vector<std::string> failures[2];
    const auto bench = [&](int i) {
        for (int module = 0; module < 50; ++module) {
            const CliRun run = RunCli(Sn(sim.paths()[static_cast<std::size_t>(i)], dir));
            if (run.exit_code == 0)
                numbers[i].push_back(Number(run));
            else
                failures[i].push_back(run.errors);
        }
    };
    std::thread first(bench, 0);
    std::thread second(bench, 1);
    first.join();
    second.join();
    EXPECT_TRUE(failures[0].empty() && failures[1].empty())
        << (failures[0].empty() ? failures[1] : failures[0]).front();
    std::set<std::string> distinct(numbers[0].begin(), numbers[0].end());
    distinct.insert(numbers[1].begin(), numbers[1].end());
    EXPECT_EQ(distinct.size(), 100u);
    EXPECT_EQ(*distinct.begin(), "01000");
    EXPECT_EQ(*distinct.rbegin(), "01099");
    EXPECT_EQ(dir.Text(), "1100\n");
}

// sn killed after the counter is stepped and before the number goes out: that number is lost,
// never handed out again. While it stands there it holds the port, and a second qxcli names it.
TEST(CliSerialNumber, KillAfterTheStepNeverRepeatsANumber) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--serial-rate", "5", "--number", "7"}))
        << sim.error();
    CounterDir dir;
    dir.Set(41);
    const std::string errors = dir.Counter() + ".err";
    const pid_t pid = StartCli(Sn(sim.paths()[0], dir), "QXCLI_TEST_STOP_AFTER_STEP", errors,
                               std::filesystem::path(dir.Counter()).parent_path());
    ASSERT_GT(pid, 0);
    // standard error is unbuffered: the line may be read before its number is written
    std::string said;
    for (int i = 0; i < 500 && !said.ends_with('\n'); ++i) {
        std::this_thread::sleep_for(10ms);
        std::ifstream in(errors);
        said.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_EQ(said, "qxcli: counter stepped past 41\n");
    EXPECT_EQ(dir.Text(), "42\n");

    const CliRun busy = RunCli({"search", sim.paths()[0]});
    EXPECT_EQ(busy.exit_code, 3);
    EXPECT_NE(busy.errors.find("in use by another program (held by pid " + std::to_string(pid) +
                               " (qxcli))"),
              std::string::npos)
        << busy.errors;

    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);

    // the module still has its own number: 41 never went out
    const CliRun search = RunCli({"search", sim.paths()[0], "--baud", "9600"});
    EXPECT_NE(search.output.find("serial number: 2024-01 00007"), std::string::npos)
        << search.output;

    // a step killed before its rename leaves a temporary of the replace's naming; the next step
    // removes it, and only it
    const std::string leftover = dir.Counter() + ".0123abcd.tmp";
    const std::vector<std::string> others{dir.Counter() + ".0123ABCD.tmp", dir.Counter() + ".tmp"};
    for (const std::string& file : others)
        std::ofstream(file) << "7\n";
    std::ofstream(leftover) << "4";

    const CliRun dry = RunCli([&] {
        auto args = Sn(sim.paths()[0], dir);
        args.push_back("--dry-run");
        return args;
    }());
    EXPECT_EQ(dry.output, sim.paths()[0] +
                              " QX861 2026-12 00042 (was 2024-01 00007) would be written (800A "
                              "payload 211A0C002A)\n");
    EXPECT_EQ(dir.Text(), "42\n");
    EXPECT_TRUE(std::filesystem::exists(leftover));

    const CliRun next = RunCli(Sn(sim.paths()[0], dir));
    EXPECT_EQ(next.exit_code, 0) << next.errors;
    EXPECT_EQ(next.output, sim.paths()[0] + " QX861 2026-12 00042 (was 2024-01 00007)\n");
    EXPECT_EQ(dir.Text(), "43\n");
    EXPECT_FALSE(std::filesystem::exists(leftover));
    for (const std::string& file : others)
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
}

// The guard rails, before the counter is stepped: a model of another family than the module
// reports is refused unless --force, --only-if-blank refuses a module with a number, and a dry
// run asks the modules and shows the numbers they would take, stepping and writing nothing. A
// refused module takes no number: the next port has it.
TEST(CliSerialNumber, GuardRailsRefuseBeforeANumberIsTaken) {
    SimProcess sim;
    // a QX871 (family 87X) with number 17, a blank QX861, a QX861 with number 17
    ASSERT_TRUE(sim.Start({"--modules", "3", "--turnaround", "0", "--serial-rate", "5", "--model",
                           "QX871,QX861", "--number", "17,0,17"},
                          3))
        << sim.error();
    const std::vector<std::string>& ports = sim.paths();
    CounterDir dir;
    dir.Set(42);
    const auto sn = [&](std::vector<std::string> ports_and_options) {
        auto args = Sn(ports_and_options.front(), dir);
        args.insert(args.end(), ports_and_options.begin() + 1, ports_and_options.end());
        return RunCli(args);
    };
    const std::string familyRefused = ports[0] +
                                      ": --model QX861 is of family QX86X, the module reports "
                                      "QX87X; --force numbers it all the same; no number taken";

    // run beside the counter, where its records would be kept: a dry run keeps none
    const std::filesystem::path here = std::filesystem::path(dir.Counter()).parent_path();
    auto dryArgs = Sn(ports[0], dir);
    dryArgs.insert(dryArgs.begin() + 2, {ports[1], ports[2]});
    dryArgs.insert(dryArgs.end(), {"--dry-run", "--json"});
    const CliRun dry = RunCli(dryArgs, here.string());
    EXPECT_EQ(dry.exit_code, 2);
    EXPECT_FALSE(std::filesystem::exists(here / "records.sqlite"));
    const std::vector<nlohmann::json> lines = JsonLines(dry.output);
    ASSERT_EQ(lines.size(), 3u) << dry.output;
    EXPECT_EQ(lines[0]["error"], familyRefused);
    EXPECT_EQ(lines[0]["before"]["family"], "QX87X");
    EXPECT_FALSE(lines[0].contains("number"));
    EXPECT_EQ(lines[1]["before"]["serial_number"], "QX861 2024-01 00000");
    EXPECT_EQ(lines[1]["module"]["serial_number"], "QX861 2026-12 00042");
    EXPECT_EQ(lines[2]["before"]["serial_number"], "QX861 2024-01 00017");
    EXPECT_EQ(lines[2]["number"], 43);
    EXPECT_EQ(lines[2]["dry_run"], true);
    EXPECT_EQ(dry.errors,
              "qxcli: " + familyRefused + "\n2 would be numbered, 1 refused (" + ports[0] + ")\n");

    struct Row {
        std::vector<std::string> args; // the port, then options
        int exit_code;
        std::string output; // after the port
        std::string error;  // after "qxcli: PORT: "
        std::string counter;
    };
    const Row rows[] = {
        {{ports[0]}, 2, "", familyRefused.substr(ports[0].size() + 2), "42\n"},
        {{ports[2], "--only-if-blank"},
         2,
         "",
         "the module has serial number QX861 2024-01 00017 already; --only-if-blank numbers blank "
         "modules only; no number taken",
         "42\n"},
        {{ports[1], "--only-if-blank", "--dry-run"},
         0,
         " QX861 2026-12 00042 (was blank) would be written (800A payload 211A0C002A)\n",
         "",
         "42\n"},
        {{ports[1], "--only-if-blank"}, 0, " QX861 2026-12 00042 (was blank)\n", "", "43\n"},
        {{ports[0], "--force"}, 0, " QX861 2026-12 00043 (was QX871 2024-01 00017)\n", "", "44\n"},
    };
    for (const Row& row : rows) {
        const CliRun run = sn(row.args);
        EXPECT_EQ(run.exit_code, row.exit_code) << row.args.back();
        EXPECT_EQ(run.output, row.output.empty() ? "" : row.args[0] + row.output);
        EXPECT_EQ(run.errors,
                  row.error.empty() ? "" : "qxcli: " + row.args[0] + ": " + row.error + "\n");
        EXPECT_EQ(dir.Text(), row.counter) << row.args.back();
    }
    // what the modules hold after: the dry runs and refusals wrote nothing
    EXPECT_EQ(Identity(ports[0]), "model: QX861\nserial number: 2026-12 00043\n");
    EXPECT_EQ(Identity(ports[1]), "model: QX861\nserial number: 2026-12 00042\n");
    EXPECT_EQ(Identity(ports[2]), "model: QX861\nserial number: 2024-01 00017\n");

    // a dry run shows no number past the counter's last
    dir.Set(65534);
    const CliRun end = sn({ports[1], ports[2], "--dry-run"});
    EXPECT_EQ(end.exit_code, 2);
    EXPECT_NE(end.output.find(" QX861 2026-12 65534 (was 2026-12 00042) would be written"),
              std::string::npos)
        << end.output;
    EXPECT_NE(end.errors.find(ports[2] + ": " + dir.Counter() +
                              ": running number 65535 is past the last, 65534"),
              std::string::npos)
        << end.errors;
}

// A counter that is missing or holds no number, and a date the module cannot carry.
TEST(CliSerialNumber, BadCounterAndArgumentsTakeNoNumber) {
    CounterDir dir;
    const CliRun missing = RunCli(Sn("/dev/null", dir));
    EXPECT_EQ(missing.exit_code, 64);
    EXPECT_NE(missing.errors.find("no counter file"), std::string::npos) << missing.errors;

    std::ofstream(dir.Counter()) << "forty\n";
    auto args = Sn("/dev/null", dir);
    args.push_back("--dry-run");
    const CliRun malformed = RunCli(args);
    EXPECT_EQ(malformed.exit_code, 64);
    EXPECT_NE(malformed.errors.find(":1: 'forty' is not a running number"), std::string::npos)
        << malformed.errors;

    dir.Set(5);
    args[9] = "13"; // --month
    const CliRun month = RunCli(args);
    EXPECT_EQ(month.exit_code, 64);
    EXPECT_NE(month.errors.find("--month takes a month from 1 to 12"), std::string::npos)
        << month.errors;
    EXPECT_EQ(dir.Text(), "5\n");
    // a look at the counter takes no lock, so it leaves no lock file
    EXPECT_FALSE(std::filesystem::exists(dir.Counter() + ".lock"));
}
