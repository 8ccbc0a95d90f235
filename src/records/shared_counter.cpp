#include "shared_counter.h"

#include "pg_connection.h"

namespace records {

namespace {

constexpr const char* kRead = "SELECT next_number FROM qx_serial_counter WHERE name = $1";
constexpr const char* kStep = "UPDATE qx_serial_counter SET next_number = next_number + 1 "
                              "WHERE name = $1 AND next_number <= $2 RETURNING next_number - 1";

} // namespace

int TakeSharedNumber(const std::string& url, int last, bool dryRun) {
    PgConnection connection(url);
    MakePgTables(connection);
    const std::string name = kCounterName;
    const std::string missing = connection.Where() + ": no counter '" + name +
                                "'; start it with INSERT INTO " +
                                "qx_serial_counter (name, next_number) VALUES ('" + name + "', 1)";
    const std::string usedUp = connection.Where() + ": all running numbers up to " +
                               std::to_string(last) + " are used; start a new counter";
    if (dryRun) {
        const PgResult next = connection.Run(kRead, {name});
        if (next.Rows() == 0)
            throw StoreError(missing);
        const int number = std::stoi(next.Text(0, 0));
        if (number > last)
            throw CounterUsedUp(usedUp);
        return number;
    }
    PgTransaction transaction(connection);
    const PgResult stepped = connection.Run(kStep, {name, std::to_string(last)});
    if (stepped.Rows() == 0) {
        if (connection.Run(kRead, {name}).Rows() == 0)
            throw StoreError(missing);
        throw CounterUsedUp(usedUp);
    }
    const int number = std::stoi(stepped.Text(0, 0));
    HoldForTest(kHoldStepVariable, "counter step to " + std::to_string(number));
    transaction.Commit();
    return number;
}

} // namespace records
