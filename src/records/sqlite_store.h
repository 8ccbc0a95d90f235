// The records of one bench in an SQLite file, written ahead (WAL) with a full sync at each
// commit: a crash or a kill loses at most the record being written, and never the file.
#pragma once

#include "record_store.h"

#include <filesystem>
#include <memory>

namespace records {

std::unique_ptr<RecordStore> OpenSqliteStore(const std::filesystem::path& file);

// Set in tests to N: the N-th record a store adds stops half written (its row in, its changes
// not), says so on standard error and waits to be killed.
inline constexpr const char* kStopInRecordVariable = "QXCLI_TEST_STOP_IN_RECORD";

} // namespace records
