#include "schema.h"

#include "record_store.h"

namespace records::sql {

std::vector<std::string> CreateStatements(const char* key) {
    return {
        "CREATE TABLE IF NOT EXISTS qx_schema_version (version INTEGER NOT NULL)",
        std::string("CREATE TABLE IF NOT EXISTS qx_records (id ") + key +
            ", time_utc TEXT NOT NULL, bench TEXT NOT NULL, command TEXT NOT NULL, "
            "port TEXT NOT NULL, device TEXT NOT NULL, model TEXT NOT NULL, "
            "serial_number TEXT NOT NULL, result TEXT NOT NULL, detail TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS qx_record_settings (record_id BIGINT NOT NULL "
        "REFERENCES qx_records (id), position INTEGER NOT NULL, key TEXT NOT NULL, "
        "old_value TEXT NOT NULL, new_value TEXT NOT NULL, PRIMARY KEY (record_id, position))",
        "CREATE INDEX IF NOT EXISTS qx_records_serial_number ON qx_records (serial_number)",
        "CREATE INDEX IF NOT EXISTS qx_records_port ON qx_records (port)",
        "CREATE INDEX IF NOT EXISTS qx_records_time ON qx_records (time_utc)",
    };
}

void CheckVersion(const std::string& where, long long found) {
    if (found > kSchemaVersion)
        throw StoreError(where + ": records of a later qxcli (tables of version " +
                         std::to_string(found) + "; this one writes version " +
                         std::to_string(kSchemaVersion) + ")");
}

void TakeListRow(std::vector<Record>& found, std::string& lastId,
                 const std::function<std::string(int)>& column, bool hasChange) {
    if (found.empty() || column(0) != lastId) {
        lastId = column(0);
        found.push_back({.timeUtc = column(1),
                         .bench = column(2),
                         .command = column(3),
                         .port = column(4),
                         .device = column(5),
                         .model = column(6),
                         .changes = {},
                         .serialNumber = column(7),
                         .result = ResultOfText(column(8)).value_or(Result::kNotConfirmed),
                         .detail = column(9)});
    }
    if (hasChange)
        found.back().changes.push_back({column(10), column(11), column(12)});
}

} // namespace records::sql
