// A connection to a PostgreSQL server through libpq, and the results of its statements: the
// little the records and the shared counter need, with every failure a StoreError that names
// the server and says whether the connection was lost.
#pragma once

#include "record_store.h"

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

namespace records {

class PgResult {
public:
    explicit PgResult(PGresult* result) : m_result(result, &PQclear) {}
    ExecStatusType Status() const { return PQresultStatus(m_result.get()); }
    int Rows() const { return PQntuples(m_result.get()); }
    std::string Text(int row, int column) const { return PQgetvalue(m_result.get(), row, column); }
    bool IsNull(int row, int column) const { return PQgetisnull(m_result.get(), row, column) != 0; }

private:
    std::unique_ptr<PGresult, decltype(&PQclear)> m_result;
};

class PgConnection {
public:
    // `url` as libpq takes it; throws StoreError when the server cannot be reached.
    explicit PgConnection(const std::string& url);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // One statement with text parameters; throws StoreError, "connection lost" when it was.
    PgResult Run(const char* statement, const std::vector<std::string>& parameters = {});
    const std::string& Where() const { return m_where; }

private:
    PGconn* m_connection = nullptr;
    std::string m_where;
};

// BEGIN at construction; ROLLBACK at destruction unless committed (the server rolls back by
// itself when the connection is gone).
class PgTransaction {
public:
    explicit PgTransaction(PgConnection& connection);
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;
    void Commit();

private:
    PgConnection& m_connection;
    bool m_done = false;
};

// Set in tests to a file's path: a transaction on the server says `what` on standard error at
// its hold point (the counter's step made, a record's row written) and waits until that file
// exists, so the test can end the connection there.
void HoldForTest(const char* variable, const std::string& what);

// Makes the tables the records and the shared counter keep, once per server, and checks
// their version.
void MakePgTables(PgConnection& connection);

} // namespace records
