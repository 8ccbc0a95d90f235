// Where the records go: an SQLite file for a bench of its own, or a PostgreSQL server a line of
// benches shares. Both keep the same tables, made on first use, and write each record in one
// transaction, so a record is there whole or not at all.
#pragma once

#include "record.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace records {

// A store that cannot be opened, read or written; the message names it and says what failed.
struct StoreError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The version of the tables this program writes; a store made by a later one is refused.
inline constexpr int kSchemaVersion = 1;

class RecordStore {
public:
    virtual ~RecordStore() = default;
    // Adds the record whole, or throws StoreError and adds nothing.
    virtual void Add(const Record& record) = 0;
    // The records the filter keeps, oldest first.
    virtual std::vector<Record> List(const RecordFilter& filter) = 0;
};

// A postgresql:// (or postgres://) URL opens the server's store, anything else names the
// SQLite file. Makes the tables on first use; throws StoreError.
std::unique_ptr<RecordStore> OpenRecordStore(const std::string& where);

bool IsDatabaseUrl(const std::string& where);

// The URL or path as messages show it: a password in a URL is left out.
std::string ShownLocation(const std::string& where);

} // namespace records
