// The records of a line's benches on a PostgreSQL server: each record in one transaction, so a
// connection lost in the middle leaves nothing of it.
#pragma once

#include "record_store.h"

#include <memory>

namespace records {

std::unique_ptr<RecordStore> OpenPostgresStore(const std::string& url);

} // namespace records
