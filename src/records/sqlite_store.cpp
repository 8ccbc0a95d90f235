#include "sqlite_store.h"

#include "schema.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <thread>

namespace records {

namespace {

// Several benches may share a file on one PC; a writer waits this long for another's commit.
constexpr int kBusyTimeoutMs = 10000;

// The file is locked by another bench where SQLite does not wait.
struct Busy : StoreError {
    using StoreError::StoreError;
};

[[noreturn]] void Throw(int status, const std::string& where, const std::string& reason) {
    if ((status & 0xff) == SQLITE_BUSY)
        throw Busy(where + ": " + reason);
    throw StoreError(where + ": " + reason);
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql, const std::string& where) : m_where(where) {
        if (const int status = sqlite3_prepare_v2(db, sql.c_str(), -1, &m_statement, nullptr);
            status != SQLITE_OK)
            Throw(status, m_where, sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(const std::string& text) {
        sqlite3_bind_text(m_statement, ++m_bound, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(std::int64_t number) {
        sqlite3_bind_int64(m_statement, ++m_bound, number);
        return *this;
    }
    // True while there is a row.
    bool Step() {
        const int status = sqlite3_step(m_statement);
        if (status == SQLITE_ROW)
            return true;
        if (status != SQLITE_DONE)
            Throw(status, m_where, sqlite3_errmsg(sqlite3_db_handle(m_statement)));
        return false;
    }
    std::string Text(int column) const {
        const auto* text = sqlite3_column_text(m_statement, column);
        return text == nullptr ? std::string()
                               : std::string(reinterpret_cast<const char*>(text),
                                             static_cast<std::size_t>(
                                                 sqlite3_column_bytes(m_statement, column)));
    }
    std::int64_t Number(int column) const { return sqlite3_column_int64(m_statement, column); }
    bool IsNull(int column) const {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }

private:
    sqlite3_stmt* m_statement = nullptr;
    std::string m_where;
    int m_bound = 0;
};

class SqliteStore : public RecordStore {
public:
    explicit SqliteStore(const std::filesystem::path& file) : m_where(file.string()) {
        if (sqlite3_open_v2(m_where.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            const std::string reason = m_db ? sqlite3_errmsg(m_db) : "out of memory";
            sqlite3_close(m_db);
            throw StoreError(m_where + ": cannot open the records: " + reason);
        }
        try {
            sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
            Prepare();
        } catch (...) {
            sqlite3_close(m_db);
            throw;
        }
    }
    ~SqliteStore() override { sqlite3_close(m_db); }

    void Add(const Record& record) override {
        Transaction transaction(*this);
        const std::int64_t id = Insert(record);
        StopForTest();
        std::int64_t position = 0;
        for (const SettingChange& change : record.changes) {
            Statement row(m_db, sql::kInsertChange, m_where);
            row.Bind(id).Bind(++position).Bind(change.key).Bind(change.oldValue);
            row.Bind(change.newValue).Step();
        }
        transaction.Commit();
    }

    std::vector<Record> List(const RecordFilter& filter) override {
        Statement list(m_db, sql::kList, m_where);
        list.Bind(filter.serialNumber).Bind(filter.port).Bind(filter.from).Bind(filter.to);
        std::vector<Record> found;
        std::string last;
        while (list.Step())
            sql::TakeListRow(
                found, last, [&](int column) { return list.Text(column); }, !list.IsNull(10));
        return found;
    }

private:
    // BEGIN IMMEDIATE takes the write lock at once, so two writers never deadlock on upgrade;
    // anything not committed is rolled back.
    class Transaction {
    public:
        explicit Transaction(SqliteStore& store) : m_store(store) {
            m_store.Execute("BEGIN IMMEDIATE");
        }
        ~Transaction() {
            if (!m_committed)
                sqlite3_exec(m_store.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void Commit() {
            m_store.Execute("COMMIT");
            m_committed = true;
        }

    private:
        SqliteStore& m_store;
        bool m_committed = false;
    };

    // The record's row; its key. Finalized here: SQLite commits no transaction while a
    // statement with RETURNING is still open.
    std::int64_t Insert(const Record& record) {
        Statement insert(m_db, sql::kInsertRecord, m_where);
        insert.Bind(record.timeUtc).Bind(record.bench).Bind(record.command).Bind(record.port);
        insert.Bind(record.device).Bind(record.model).Bind(record.serialNumber);
        insert.Bind(ResultText(record.result)).Bind(record.detail);
        if (!insert.Step())
            throw StoreError(m_where + ": no key for the new record");
        return insert.Number(0);
    }

    // WAL mode, a full sync at each commit, and the tables. A bench that opens the file while
    // the last one to close it cleans up its WAL, or while another switches a new file to WAL,
    // meets a lock SQLite does not wait for: it tries again for as long as it waits for a
    // commit.
    void Prepare() {
        for (int waited = 0;; waited += 10) {
            try {
                if (Statement journal(m_db, "PRAGMA journal_mode=WAL", m_where);
                    !journal.Step() || journal.Text(0) != "wal")
                    throw StoreError(m_where + ": the records cannot be kept in WAL mode");
                Execute("PRAGMA synchronous=FULL");
                Execute("PRAGMA foreign_keys=ON");
                MakeTables();
                return;
            } catch (const Busy&) {
                if (waited >= kBusyTimeoutMs)
                    throw;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    void StopForTest() {
        const char* at = std::getenv(kStopInRecordVariable);
        if (at == nullptr || ++m_added != std::atoi(at))
            return;
        std::cerr << "in record " << m_added << std::endl;
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }

    void Execute(const std::string& statement) {
        char* error = nullptr;
        if (const int status = sqlite3_exec(m_db, statement.c_str(), nullptr, nullptr, &error);
            status != SQLITE_OK) {
            const std::string reason = error ? error : sqlite3_errmsg(m_db);
            sqlite3_free(error);
            Throw(status, m_where, reason);
        }
    }

    void MakeTables() {
        Transaction transaction(*this);
        for (const std::string& statement : sql::CreateStatements(sql::kSqliteKey))
            Execute(statement);
        std::int64_t found = 0;
        {
            Statement version(m_db, sql::kReadVersion, m_where);
            if (version.Step())
                found = version.Number(0);
        }
        if (found == 0)
            Statement(m_db, sql::kWriteVersion, m_where).Bind(std::int64_t{kSchemaVersion}).Step();
        sql::CheckVersion(m_where, found);
        transaction.Commit();
    }

    std::string m_where;
    sqlite3* m_db = nullptr;
    int m_added = 0;
};

} // namespace

std::unique_ptr<RecordStore> OpenSqliteStore(const std::filesystem::path& file) {
    return std::make_unique<SqliteStore>(file);
}

} // namespace records
