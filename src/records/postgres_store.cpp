#include "postgres_store.h"

#include "pg_connection.h"
#include "schema.h"

namespace records {

namespace {

class PostgresStore : public RecordStore {
public:
    explicit PostgresStore(const std::string& url) : m_connection(url) {
        MakePgTables(m_connection);
    }

    void Add(const Record& record) override {
        PgTransaction transaction(m_connection);
        const PgResult id = m_connection.Run(
            sql::kInsertRecord,
            {record.timeUtc, record.bench, record.command, record.port, record.device, record.model,
             record.serialNumber, ResultText(record.result), record.detail});
        HoldForTest(kHoldRecordVariable, "record");
        int position = 0;
        for (const SettingChange& change : record.changes)
            m_connection.Run(sql::kInsertChange, {id.Text(0, 0), std::to_string(++position),
                                                  change.key, change.oldValue, change.newValue});
        transaction.Commit();
    }

    std::vector<Record> List(const RecordFilter& filter) override {
        const PgResult rows = m_connection.Run(
            sql::kList, {filter.serialNumber, filter.port, filter.from, filter.to});
        std::vector<Record> found;
        std::string last;
        for (int row = 0; row < rows.Rows(); ++row)
            sql::TakeListRow(
                found, last, [&](int column) { return rows.Text(row, column); },
                !rows.IsNull(row, 10));
        return found;
    }

private:
    PgConnection m_connection;
};

} // namespace

std::unique_ptr<RecordStore> OpenPostgresStore(const std::string& url) {
    return std::make_unique<PostgresStore>(url);
}

} // namespace records
