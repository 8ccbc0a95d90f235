// The tables both stores keep, in the SQL both servers take: parameters as $1, $2, ... in the
// order they first appear (SQLite numbers named parameters that way).
#pragma once

#include "record.h"

#include <functional>
#include <string>
#include <vector>

namespace records::sql {

// The key column is the one thing the two servers spell differently.
inline constexpr const char* kSqliteKey = "INTEGER PRIMARY KEY";
inline constexpr const char* kPostgresKey = "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";

// The statements that make the tables (those missing), with `key` for the records' key column;
// run in one transaction with the version row.
std::vector<std::string> CreateStatements(const char* key);

// Throws StoreError for tables of a later version than this program writes (0: none yet).
void CheckVersion(const std::string& where, long long found);

// The shared counter (PostgreSQL only): one row per counter, its next running number.
inline constexpr const char* kCreateCounter =
    "CREATE TABLE IF NOT EXISTS qx_serial_counter (name TEXT PRIMARY KEY, "
    "next_number INTEGER NOT NULL CHECK (next_number >= 0))";

inline constexpr const char* kReadVersion = "SELECT version FROM qx_schema_version";
inline constexpr const char* kWriteVersion = "INSERT INTO qx_schema_version (version) VALUES ($1)";

inline constexpr const char* kInsertRecord =
    "INSERT INTO qx_records (time_utc, bench, command, port, device, model, serial_number, "
    "result, detail) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9) RETURNING id";
inline constexpr const char* kInsertChange =
    "INSERT INTO qx_record_settings (record_id, position, key, old_value, new_value) "
    "VALUES ($1, $2, $3, $4, $5)";

// One row per record and change (a record without changes once, with nulls), oldest first.
inline constexpr const char* kList =
    "SELECT r.id, r.time_utc, r.bench, r.command, r.port, r.device, r.model, r.serial_number, "
    "r.result, r.detail, s.key, s.old_value, s.new_value FROM qx_records r "
    "LEFT JOIN qx_record_settings s ON s.record_id = r.id "
    "WHERE ($1 = '' OR r.serial_number = $1 OR r.serial_number LIKE '% ' || $1) "
    "AND ($2 = '' OR r.port = $2) AND ($3 = '' OR r.time_utc >= $3) "
    "AND ($4 = '' OR r.time_utc < $4) ORDER BY r.id, s.position";

// Takes one row of kList into `found`, `column` giving its texts: a new record when its id is
// not the last row's, and its change when it has one.
void TakeListRow(std::vector<Record>& found, std::string& lastId,
                 const std::function<std::string(int)>& column, bool hasChange);

} // namespace records::sql
