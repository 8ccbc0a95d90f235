// The counter a bench hands factory serial numbers out from: a postgresql:// URL names the
// counter a line of benches shares on its server (records/shared_counter.h), anything else a
// file for a bench of its own. The file holds one decimal line, the next running number. Benches
// sharing the file take turns through a lock on FILE.lock (the counter itself is replaced on each
// step, so it cannot carry the lock), and each number is stepped past on the disk before it goes
// out: a crash or power cut loses a number, never repeats one. FILE.lock stays: were it removed, a
// bench still waiting on the removed file and one that made a new FILE.lock would both hold "the"
// lock and could hand out one number twice.
#pragma once

#include <string>

namespace cli {

// Takes the next number. From a file: locks, removes the temporaries of steps killed before
// their rename, reads, and stores the number after it, synced to the disk with its directory,
// before it returns; from a server: the step is committed before it returns. With `dryRun` it
// only reads, without the lock. Throws Failure: kUsage for a missing or malformed file, kStore
// for a server that cannot be used or a counter not started there, kRefused when the numbers
// are used up (65534 is the last).
int TakeSerialNumber(const std::string& counter, bool dryRun);

// Set in tests: after the step is on the disk and before the number goes out, print a line
// on standard error and wait to be killed.
inline constexpr const char* kStopAfterStepVariable = "QXCLI_TEST_STOP_AFTER_STEP";

} // namespace cli
