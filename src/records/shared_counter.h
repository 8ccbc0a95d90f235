// The serial number counter a line of benches shares on a PostgreSQL server: one row per
// counter in qx_serial_counter, stepped by one UPDATE ... RETURNING in a transaction. The row
// lock makes benches that step at the same moment take turns, and a number goes out only once
// its step is committed: a bench that loses its connection in the middle gives no number, and
// the next step gives that number again.
#pragma once

#include "record_store.h"

#include <string>

namespace records {

// The row qxcli steps.
inline constexpr const char* kCounterName = "qxcli";

// Thrown when the counter stands past `last`.
struct CounterUsedUp : StoreError {
    using StoreError::StoreError;
};

// Takes the next number, at most `last`, and steps the counter past it; with `dryRun` only
// reads it. Throws StoreError (the message says how to start a missing counter) or
// CounterUsedUp.
int TakeSharedNumber(const std::string& url, int last, bool dryRun);

// Set in tests to a file's path: the step, made and not yet committed, says so on standard
// error and waits until that file exists.
inline constexpr const char* kHoldStepVariable = "QXCLI_TEST_HOLD_STEP";

} // namespace records
