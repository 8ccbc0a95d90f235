#include "config/temp_dir.h"
#include "records/pg_connection.h"
#include "records/postgres_store.h"
#include "records/record_store.h"
#include "records/schema.h"
#include "records/shared_counter.h"
#include "records/sqlite_store.h"
#include "support/postgres_server.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <set>
#include <sstream>
#include <thread>

namespace {

using records::Record;
using records::RecordFilter;
using records::Result;

Record Written(std::string time, std::string port, std::string serialNumber,
               std::vector<records::SettingChange> changes, Result result) {
    return {.timeUtc = std::move(time),
            .bench = "bench-2",
            .command = serialNumber.empty() ? "write" : "sn",
            .port = std::move(port),
            .device = "/dev/ttyUSB0",
            .model = "QX871",
            .changes = std::move(changes),
            .serialNumber = std::move(serialNumber),
            .result = result,
            .detail = result == Result::kConfirmed ? "" : "channel=40: refused"};
}

// Every field back as written, changes in their order, and each filter keeping its records.
void CheckKeepsAndFilters(records::RecordStore& store) {
    const std::vector<Record> added{
        Written("2026-12-08T23:59:59.999Z", "COM1", "",
                {{"channel", "3", "5"}, {"air_rate", "9600", "19200"}}, Result::kConfirmed),
        Written("2026-12-09T08:00:00.000Z", "COM2", "2026-12 01006",
                {{"serial_number", "2024-01 00017", "2026-12 01006"}}, Result::kRefused),
        Written("2026-12-09T09:30:00.000Z", "COM1", "2026-12 11006", {}, Result::kNotConfirmed),
    };
    for (const Record& record : added)
        store.Add(record);
    EXPECT_EQ(store.List({}), added);
    const auto count = [&](const RecordFilter& filter) { return store.List(filter).size(); };
    EXPECT_EQ(count({"2026-12 01006", "", "", ""}), 1u);
    EXPECT_EQ(count({"01006", "", "", ""}), 1u); // the running number alone
    EXPECT_EQ(count({"1006", "", "", ""}), 0u);
    EXPECT_EQ(count({"", "COM1", "", ""}), 2u);
    EXPECT_EQ(count({"", "", "2026-12-09", ""}), 2u);
    EXPECT_EQ(count({"", "", "", "2026-12-09"}), 1u);
    EXPECT_EQ(count({"", "COM1", "2026-12-09T09", "2026-12-10"}), 1u);
    EXPECT_EQ(store.List({"", "COM2", "", ""}).front(), added[1]);
}

// Runs records_loop with `args`, standard output to `out` and standard error to `out`.err,
// with `stopAt` (when not 0) in kStopInRecordVariable; the pid.
pid_t StartLoop(const std::vector<std::string>& args, const std::string& out, int stopAt = 0) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((out + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (stopAt != 0)
            setenv(records::kStopInRecordVariable, std::to_string(stopAt).c_str(), 1);
        std::vector<std::string> copies = args;
        std::vector<char*> argv{const_cast<char*>(RECORDS_LOOP_PATH)};
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(RECORDS_LOOP_PATH, argv.data());
        _exit(127);
    }
    return pid;
}

std::vector<std::string> Lines(const std::filesystem::path& file) {
    std::istringstream text(ReadBytes(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

int ExitOf(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The first value of a statement run on the file by SQLite itself.
std::string Ask(const std::filesystem::path& file, const char* statement) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::string verdict = "cannot read";
    sqlite3_exec(
        db, statement,
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) = values[0];
            return 0;
        },
        &verdict, nullptr);
    sqlite3_close(db);
    return verdict;
}

} // namespace

// One SQLite file: the records come back whole and filtered, in WAL mode with the tables'
// version; a file of a later version is refused, and so is a file that is no database.
TEST(RecordsSqlite, KeepsRecordsWholeAndListsThemByFilter) {
    TempDir dir;
    const auto file = dir.File("records.sqlite");
    CheckKeepsAndFilters(*records::OpenRecordStore(file.string()));
    EXPECT_EQ(records::OpenRecordStore(file.string())->List({}).size(), 3u);
    EXPECT_EQ(Ask(file, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(Ask(file, "SELECT version FROM qx_schema_version"), "1");

    Ask(file, "UPDATE qx_schema_version SET version = 2");
    try {
        records::OpenRecordStore(file.string());
        ADD_FAILURE() << "a later version was opened";
    } catch (const records::StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("records of a later qxcli (tables of version 2"),
                  std::string::npos)
            << error.what();
    }
    WriteBytes(dir.File("notes.txt"), std::string(4096, 'x'));
    EXPECT_THROW(records::OpenRecordStore(dir.File("notes.txt").string()), records::StoreError);
}

// A bench killed (SIGKILL) in the middle of its 1st, 40th and 150th record, its row written
// and its changes not: the file reads whole and holds every record before, each with its
// change, and nothing of the one cut short.
TEST(RecordsSqlite, KillDuringARecordLeavesEveryEarlierRecord) {
    TempDir dir;
    const auto file = dir.File("records.sqlite");
    const auto out = dir.File("out").string();
    for (const int stopAt : {1, 40, 150}) {
        const std::string run = std::to_string(stopAt);
        std::filesystem::remove(out + ".err"); // read before the new run makes it
        const pid_t pid = StartLoop({"sqlite", file.string(), run}, out, stopAt);
        ASSERT_GT(pid, 0);
        // standard error is unbuffered: the line may be read before its number is written
        for (int i = 0; i < 3000 && !ReadBytes(out + ".err").ends_with('\n'); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        kill(pid, SIGKILL);
        ExitOf(pid);
        ASSERT_EQ(ReadBytes(out + ".err"), "in record " + run + "\n");
        EXPECT_EQ(Ask(file, "PRAGMA integrity_check"), "ok");
        std::vector<std::string> kept;
        for (const Record& record : records::OpenRecordStore(file.string())->List({}))
            if (record.serialNumber.starts_with(run + "-") && record.changes.size() == 1)
                kept.push_back(record.serialNumber);
        EXPECT_EQ(kept, Lines(out));
        EXPECT_EQ(kept.size(), static_cast<std::size_t>(stopAt - 1));
        EXPECT_EQ(records::OpenRecordStore(file.string())->List({run + "-" + run, "", "", ""}),
                  std::vector<Record>{});
    }
}

// The same tables on a server. A connection the server ends in the middle of a record (its
// row written, its changes not) is a clear error and leaves nothing of the record.
TEST(RecordsPostgres, KeepsRecordsWholeAndAConnectionLostAddsNothing) {
    PostgresServer server;
    ASSERT_TRUE(server.Start()) << server.error();
    const auto store = records::OpenRecordStore(server.Url());
    CheckKeepsAndFilters(*store);

    TempDir dir;
    const std::string go = dir.File("go").string();
    setenv(records::kHoldRecordVariable, go.c_str(), 1);
    std::string error;
    std::thread bench([&] {
        try {
            store->Add(Written("2026-12-10T00:00:00.000Z", "COM9", "2026-12 00001",
                               {{"serial_number", "", "2026-12 00001"}}, Result::kConfirmed));
        } catch (const records::StoreError& lost) {
            error = lost.what();
        }
    });
    records::PgConnection admin(server.Url());
    const char* held = "SELECT pid FROM pg_stat_activity WHERE application_name = 'qxcli' "
                       "AND state = 'idle in transaction'";
    for (int i = 0; i < 1000 && admin.Run(held).Rows() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(admin.Run(records::sql::kList, {"", "COM9", "", ""}).Rows(), 0);
    admin.Run((std::string("SELECT pg_terminate_backend(pid) FROM (") + held + ") held").c_str());
    WriteBytes(go, "");
    bench.join();
    unsetenv(records::kHoldRecordVariable);
    EXPECT_NE(error.find("the connection to the server was lost"), std::string::npos) << error;
    EXPECT_EQ(records::OpenRecordStore(server.Url())->List({}).size(), 3u);
    EXPECT_EQ(admin.Run("SELECT count(*) FROM qx_record_settings").Text(0, 0), "3");
    EXPECT_EQ(admin.Run(records::sql::kReadVersion).Text(0, 0), "1");
}

// Two benches on one counter, 100 numbers each at the same moment: 200 different numbers. A
// counter not started says how to start it; a used-up one gives no number.
TEST(RecordsPostgres, TwoBenchesStepTheSharedCounterToDistinctNumbers) {
    PostgresServer server;
    ASSERT_TRUE(server.Start()) << server.error();
    try {
        records::TakeSharedNumber(server.Url(), 65534, false);
        ADD_FAILURE() << "a number from a counter never started";
    } catch (const records::StoreError& error) {
        EXPECT_NE(std::string(error.what())
                      .find("no counter 'qxcli'; start it with INSERT INTO qx_serial_counter "
                            "(name, next_number) VALUES ('qxcli', 1)"),
                  std::string::npos)
            << error.what();
    }
    records::PgConnection admin(server.Url());
    admin.Run("INSERT INTO qx_serial_counter (name, next_number) VALUES ('qxcli', 1000)");

    TempDir dir;
    const pid_t first = StartLoop({"counter", server.Url(), "100"}, dir.File("1").string());
    const pid_t second = StartLoop({"counter", server.Url(), "100"}, dir.File("2").string());
    EXPECT_EQ(ExitOf(first), 0);
    EXPECT_EQ(ExitOf(second), 0);
    std::set<int> numbers;
    for (const char* bench : {"1", "2"})
        for (const std::string& line : Lines(dir.File(bench)))
            numbers.insert(std::stoi(line));
    EXPECT_EQ(numbers.size(), 200u);
    EXPECT_EQ(*numbers.begin(), 1000);
    EXPECT_EQ(*numbers.rbegin(), 1199);
    EXPECT_EQ(records::TakeSharedNumber(server.Url(), 65534, true), 1200);

    admin.Run("UPDATE qx_serial_counter SET next_number = 65535");
    EXPECT_THROW(records::TakeSharedNumber(server.Url(), 65534, false), records::CounterUsedUp);
    EXPECT_THROW(records::TakeSharedNumber(server.Url(), 65534, true), records::CounterUsedUp);
    EXPECT_EQ(admin.Run("SELECT next_number FROM qx_serial_counter").Text(0, 0), "65535");
}
