#include "cli_process.h"
#include "config/temp_dir.h"
#include "records/pg_connection.h"
#include "records/record_store.h"
#include "support/postgres_server.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::vector<std::string> Lines(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Sn(const std::string& port, const std::string& counter) {
    return {"sn",     port,   "--baud",  "9600", "--model",   "QX861",
            "--year", "2026", "--month", "12",   "--counter", counter};
}

} // namespace

// A bench's records beside Config.ini: a write, a serial number and a write the module does not
// answer, each with what it changed and how it ended, listed as text, JSON Lines and CSV and by
// serial number and port. A store that cannot be opened stops the write before the module.
TEST(CliRecords, WritesAndNumbersAreRecordedAndListed) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--serial-rate", "5"})) << sim.error();
    SimProcess mute; // never answers a channel write
    ASSERT_TRUE(mute.Start({"--turnaround", "0", "--serial-rate", "5", "--silent", "05"}))
        << mute.error();
    TempDir dir;
    WriteBytes(dir.File("Config.ini"),
               "[Ports]\nCOM1=" + sim.paths()[0] + "\nCOM2=" + mute.paths()[0] + "\n");
    WriteBytes(dir.File("counter"), "41\n");
    const std::string here = dir.Path().string();

    EXPECT_EQ(RunCli({"records"}, here).output, ""); // nothing recorded yet, and no file made
    const CliRun typo = RunCli({"records", "--records", "record.sqlite"}, here);
    EXPECT_EQ(typo.errors, "qxcli: record.sqlite: no such records file\n");
    EXPECT_EQ(typo.exit_code, 64);
    const CliRun operand = RunCli({"records", "COM1"}, here);
    EXPECT_EQ(operand.errors,
              "qxcli: records: unexpected 'COM1' (qxcli records --help lists its options)\n");
    EXPECT_EQ(operand.exit_code, 64);
    auto names = dir.Names();
    std::ranges::sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Config.ini", "counter"})); // no file made
    const auto lost = RunCli({"write", "COM1", "--set", "channel=3", "--baud", "9600", "--records",
                              here + "/no/such/dir/records.sqlite"},
                             here);
    EXPECT_EQ(lost.exit_code, 4);
    EXPECT_NE(lost.errors.find("/no/such/dir/records.sqlite: cannot open the records"),
              std::string::npos)
        << lost.errors;

    EXPECT_EQ(RunCli({"write", "COM1", "--set", "channel=3", "--set", "air_rate=19200", "--baud",
                      "9600", "--bench", "line-4"},
                     here)
                  .exit_code,
              0);
    const CliRun sn = RunCli(Sn("COM1", dir.File("counter").string()), here);
    EXPECT_EQ(sn.output, "COM1 QX861 2026-12 00041 (was 2024-01 00001)\n") << sn.errors;
    // two ports in one call: one record each, made in each port's thread
    const CliRun both =
        RunCli({"write", "COM1", "COM2", "--set", "channel=2", "--baud", "9600"}, here);
    EXPECT_EQ(both.exit_code, 2);
    EXPECT_TRUE(both.errors.ends_with("1 written, 1 refused (COM2)\n")) << both.errors;

    const auto json = Lines(RunCli({"records", "--json"}, here).output);
    ASSERT_EQ(json.size(), 4u);
    const auto write = nlohmann::json::parse(json[0]);
    EXPECT_EQ(write["bench"], "line-4");
    EXPECT_EQ(write["command"], "write");
    EXPECT_EQ(write["port"], "COM1");
    EXPECT_EQ(write["device"], sim.paths()[0]);
    EXPECT_EQ(write["model"], "QX861");
    EXPECT_EQ(write["serial_number"], nullptr);
    EXPECT_EQ(write["result"], "written and confirmed");
    EXPECT_EQ(write["before"], nlohmann::json::parse(R"({"channel": 1, "air_rate": 9600})"));
    EXPECT_EQ(write["given"], nlohmann::json::parse(R"({"channel": 3, "air_rate": 19200})"));
    EXPECT_EQ(write["error"], nullptr);
    EXPECT_EQ(nlohmann::json::parse(json[1])["serial_number"], "2026-12 00041");
    const auto second = nlohmann::json::parse(json[2]);
    EXPECT_EQ(second["port"], "COM1");
    EXPECT_EQ(second["result"], "written and confirmed");
    EXPECT_EQ(second["before"], nlohmann::json::parse(R"({"channel": 3})"));
    const auto refused = nlohmann::json::parse(json[3]);
    EXPECT_EQ(refused["port"], "COM2");
    EXPECT_EQ(refused["result"], "refused");
    EXPECT_NE(refused["error"].get<std::string>().find("no answer to 8005 write channel"),
              std::string::npos)
        << refused["error"];

    const CliRun number = RunCli({"records", "--serial", "00041"}, here);
    ASSERT_EQ(Lines(number.output).size(), 1u) << number.output;
    EXPECT_NE(number.output.find("\tsn\tCOM1\t" + sim.paths()[0] +
                                 "\tQX861\t2026-12 00041\twritten and confirmed\tserial_number "
                                 "2024-01 00001 -> 2026-12 00041\t-\n"),
              std::string::npos)
        << number.output;
    const CliRun csv = RunCli({"records", "--csv", "--port", "COM2"}, here);
    EXPECT_TRUE(csv.output.starts_with("time_utc,bench,command,port,device,model,serial_number,"
                                       "result,changes,detail\r\n"))
        << csv.output;
    EXPECT_NE(csv.output.find(",refused,channel 1 -> 2,"), std::string::npos) << csv.output;
    EXPECT_EQ(Lines(csv.output).size(), 2u);
}

// sn on a line's server, its connection ended by the server while the counter's step is open:
// no number goes out and nothing is recorded as written; the next sn gives that number, once.
TEST(CliRecords, ConnectionLostMidStepGivesNoNumber) {
    PostgresServer server;
    ASSERT_TRUE(server.Start()) << server.error();
    const std::string url = server.Url();
    records::PgConnection admin(url);
    records::MakePgTables(admin);
    admin.Run("INSERT INTO qx_serial_counter (name, next_number) VALUES ('qxcli', 500)");
    SimProcess sim;
    ASSERT_TRUE(sim.Start(
        {"--modules", "2", "--turnaround", "0", "--serial-rate", "5", "--number", "7"}, 2))
        << sim.error();
    TempDir dir;
    auto args = Sn(sim.paths()[0], url);
    args.insert(args.end(), {"--records", url});

    const std::string errors = dir.File("errors").string();
    const std::string go = dir.File("go").string();
    const pid_t pid = StartCli(args, "QXCLI_TEST_HOLD_STEP=" + go, errors, dir.Path());
    ASSERT_GT(pid, 0);
    for (int i = 0; i < 1000 && ReadBytes(errors).find("open\n") == std::string::npos; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ReadBytes(errors), "qxcli: counter step to 500 open\n");
    admin.Run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
              "WHERE application_name = 'qxcli' AND pid <> pg_backend_pid()");
    WriteBytes(go, "");
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 4);
    EXPECT_NE(ReadBytes(errors).find("the connection to the server was lost"), std::string::npos)
        << ReadBytes(errors);
    EXPECT_NE(ReadBytes(errors).find("; no number given"), std::string::npos);
    EXPECT_NE(RunCli({"search", sim.paths()[0], "--baud", "9600"})
                  .output.find("serial number: 2024-01 00007"),
              std::string::npos);
    EXPECT_EQ(RunCli({"records", "--records", url}).output, "");

    // the next sn, on two ports: the numbers stepped on the server in the order named, one
    // record a port
    args.insert(args.begin() + 2, sim.paths()[1]);
    const CliRun next = RunCli(args);
    EXPECT_EQ(next.output, "# " + sim.paths()[0] + "\n" + sim.paths()[0] +
                               " QX861 2026-12 00500 (was 2024-01 00007)\n# " + sim.paths()[1] +
                               "\n" + sim.paths()[1] + " QX861 2026-12 00501 (was 2024-01 00007)\n")
        << next.errors;
    const auto kept = records::OpenRecordStore(url)->List({});
    ASSERT_EQ(kept.size(), 2u);
    // each port records when it is done, so the records come in either order
    for (std::size_t port = 0; port < 2; ++port) {
        const auto record = std::ranges::find(kept, sim.paths()[port], &records::Record::port);
        ASSERT_NE(record, kept.end()) << sim.paths()[port];
        EXPECT_EQ(record->serialNumber, port == 0 ? "2026-12 00500" : "2026-12 00501");
        EXPECT_EQ(record->result, records::Result::kConfirmed);
    }
    EXPECT_EQ(admin.Run("SELECT next_number FROM qx_serial_counter").Text(0, 0), "502");
}
