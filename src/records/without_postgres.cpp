// A build without libpq (the Windows cross build): a line's server cannot be reached, and says
// so the moment it is named, as an unusable store.
#include "postgres_store.h"
#include "shared_counter.h"

namespace records {

namespace {

[[noreturn]] void Unavailable(const std::string& url) {
    throw StoreError("cannot use " + ShownLocation(url) +
                     ": this build of qxcli keeps records in SQLite files only");
}

} // namespace

std::unique_ptr<RecordStore> OpenPostgresStore(const std::string& url) {
    Unavailable(url);
}

int TakeSharedNumber(const std::string& url, int, bool) {
    Unavailable(url);
}

} // namespace records
