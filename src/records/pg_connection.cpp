#include "pg_connection.h"

#include "schema.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

namespace records {

namespace {

// The lock that lets only one bench at a time make the tables of a new database.
constexpr const char* kTablesLock = "SELECT pg_advisory_xact_lock(7140201)";

// libpq's message, its hints on lines of their own, as one line.
std::string OneLine(std::string message) {
    std::string line;
    for (std::size_t at = 0; at < message.size(); ++at) {
        if (message[at] != '\n') {
            line += message[at];
            continue;
        }
        while (at + 1 < message.size() && (message[at + 1] == '\t' || message[at + 1] == ' '))
            ++at;
        if (at + 1 < message.size())
            line += "; ";
    }
    return line;
}

// "CREATE TABLE IF NOT EXISTS" tells the client each table it skips; nobody needs to see that.
void Quiet(void*, const char*) {}

} // namespace

PgConnection::PgConnection(const std::string& url) : m_where(ShownLocation(url)) {
    // the URL's own settings win over these defaults: expanded last
    const std::array<const char*, 4> keys{"connect_timeout", "application_name", "dbname", nullptr};
    const std::array<const char*, 4> values{"10", "qxcli", url.c_str(), nullptr};
    m_connection = PQconnectdbParams(keys.data(), values.data(), 1);
    if (m_connection == nullptr)
        throw StoreError(m_where + ": out of memory");
    if (PQstatus(m_connection) != CONNECTION_OK) {
        const std::string reason = OneLine(PQerrorMessage(m_connection));
        PQfinish(m_connection);
        throw StoreError(m_where + ": cannot connect: " + reason);
    }
    PQsetNoticeProcessor(m_connection, &Quiet, nullptr);
}

PgConnection::~PgConnection() {
    PQfinish(m_connection);
}

PgResult PgConnection::Run(const char* statement, const std::vector<std::string>& parameters) {
    std::vector<const char*> texts;
    for (const std::string& parameter : parameters)
        texts.push_back(parameter.c_str());
    PgResult result(PQexecParams(m_connection, statement, static_cast<int>(texts.size()), nullptr,
                                 texts.data(), nullptr, nullptr, 0));
    if (result.Status() == PGRES_COMMAND_OK || result.Status() == PGRES_TUPLES_OK)
        return result;
    const std::string reason = OneLine(PQerrorMessage(m_connection));
    if (PQstatus(m_connection) != CONNECTION_OK)
        throw StoreError(m_where + ": the connection to the server was lost: " + reason);
    throw StoreError(m_where + ": " + reason);
}

PgTransaction::PgTransaction(PgConnection& connection) : m_connection(connection) {
    m_connection.Run("BEGIN");
}

PgTransaction::~PgTransaction() {
    if (m_done)
        return;
    try {
        m_connection.Run("ROLLBACK");
    } catch (const StoreError&) {
        // a lost connection's transaction ends with it, on the server
    }
}

void PgTransaction::Commit() {
    m_connection.Run("COMMIT");
    m_done = true;
}

void HoldForTest(const char* variable, const std::string& what) {
    const char* file = std::getenv(variable);
    if (file == nullptr)
        return;
    std::cerr << "qxcli: " << what << " open" << std::endl;
    for (int i = 0; i < 3000 && !std::filesystem::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void MakePgTables(PgConnection& connection) {
    PgTransaction transaction(connection);
    connection.Run(kTablesLock);
    for (const std::string& statement : sql::CreateStatements(sql::kPostgresKey))
        connection.Run(statement.c_str());
    connection.Run(sql::kCreateCounter);
    const PgResult version = connection.Run(sql::kReadVersion);
    const long long found = version.Rows() == 0 ? 0 : std::stoll(version.Text(0, 0));
    if (found == 0)
        connection.Run(sql::kWriteVersion, {std::to_string(kSchemaVersion)});
    sql::CheckVersion(connection.Where(), found);
    transaction.Commit();
}

} // namespace records
