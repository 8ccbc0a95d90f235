// The counter file a bench hands factory serial numbers out from: one decimal line, the next
// running number. Benches sharing the file take turns through a lock on FILE.lock (the counter
// itself is replaced on each step, so it cannot carry the lock), and each number is stepped
// past on the disk before it goes out: a crash or power cut loses a number, never repeats one.
#pragma once

#include <filesystem>

namespace cli {

// Takes the next number: locks, reads, and (unless `dryRun`) stores the number after it,
// synced to the disk with its directory, before it returns. Throws Failure: kUsage for a
// missing or malformed file, kRefused when the numbers are used up (65534 is the last).
int TakeSerialNumber(const std::filesystem::path& counter, bool dryRun);

// Set in tests: after the step is on the disk and before the number goes out, print a line
// on standard error and wait to be killed.
inline constexpr const char* kStopAfterStepVariable = "QXCLI_TEST_STOP_AFTER_STEP";

} // namespace cli
