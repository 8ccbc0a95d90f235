// The records of one bench in an SQLite file, written ahead (WAL) with a full sync at each
// commit: a crash or a kill loses at most the record being written, and never the file.
#pragma once

#include "record_store.h"

#include <filesystem>
#include <memory>

namespace records {

std::unique_ptr<RecordStore> OpenSqliteStore(const std::filesystem::path& file);

} // namespace records
