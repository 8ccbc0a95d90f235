// The records of a line's benches on a PostgreSQL server: each record in one transaction, so a
// connection lost in the middle leaves nothing of it.
#pragma once

#include "record_store.h"

#include <memory>

namespace records {

std::unique_ptr<RecordStore> OpenPostgresStore(const std::string& url);

// Set in tests to a file's path: a record holds after its row, before its changes (see
// HoldForTest).
inline constexpr const char* kHoldRecordVariable = "QXCLI_TEST_HOLD_RECORD";

} // namespace records
