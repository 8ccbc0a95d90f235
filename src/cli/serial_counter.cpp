#include "serial_counter.h"

#include "config/replace_file.h"
#include "core/decimal_entry.h"
#include "core/serial_number.h"
#include "failure.h"
#include "file_lock.h"
#include "records/shared_counter.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace cli {

namespace {

// Benches that name the counter through different links still share one lock file.
std::filesystem::path LockFileOf(const std::filesystem::path& counter) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::canonical(counter, error);
    return (error ? counter : file).string() + ".lock";
}

void CheckExists(const std::filesystem::path& counter) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(counter, error))
        throw Failure{Exit::kUsage, counter.string() +
                                        ": no counter file; create it with the first running "
                                        "number, e.g. echo 1 > " +
                                        counter.string()};
}

int ReadCounter(const std::filesystem::path& counter) {
    std::ifstream stream(counter);
    if (!stream)
        throw Failure{Exit::kUsage, counter.string() + ": cannot read the counter file"};
    std::string line;
    std::getline(stream, line);
    if (line.ends_with('\r'))
        line.pop_back();
    const auto value = core::DecimalInRange(line, 0, core::kMaxRunningNumber + 1);
    if (!value)
        throw Failure{Exit::kUsage,
                      counter.string() + ":1: '" + line + "' is not a running number 0 .. 65534"};
    if (*value > core::kMaxRunningNumber)
        throw Failure{Exit::kRefused, counter.string() + ": all running numbers up to 65534 are "
                                                         "used; start a new counter"};
    return static_cast<int>(*value);
}

int TakeFromFile(const std::filesystem::path& counter, bool dryRun) {
    CheckExists(counter); // before the lock file is made beside it
    // The counter is replaced whole, so a look needs no lock and leaves no lock file behind.
    if (dryRun)
        return ReadCounter(counter);
    const std::filesystem::path lockFile = LockFileOf(counter);
    std::optional<FileLock> lock;
    try {
        lock.emplace(lockFile);
    } catch (const std::runtime_error& error) {
        throw Failure{Exit::kUsage, lockFile.string() + ": " + error.what()};
    }
    // what a step killed before its rename left; under the lock no other step is writing
    config::RemoveLeftoverTemporaries(counter);
    const int number = ReadCounter(counter);
    if (!config::ReplaceFileContents(counter, std::to_string(number + 1) + "\n"))
        throw Failure{Exit::kUsage, counter.string() +
                                        ": cannot store the next number (read-only, or the "
                                        "disk is full); nothing written"};
    return number;
}

int TakeFromServer(const std::string& url, bool dryRun) {
    try {
        return records::TakeSharedNumber(url, core::kMaxRunningNumber, dryRun);
    } catch (const records::CounterUsedUp& usedUp) {
        throw Failure{Exit::kRefused, usedUp.what()};
    } catch (const records::StoreError& error) {
        throw Failure{Exit::kStore, std::string(error.what()) + "; no number given"};
    }
}

} // namespace

int TakeSerialNumber(const std::string& counter, bool dryRun) {
    const int number = records::IsDatabaseUrl(counter) ? TakeFromServer(counter, dryRun)
                                                       : TakeFromFile(counter, dryRun);
    if (!dryRun && std::getenv(kStopAfterStepVariable) != nullptr) {
        std::cerr << "qxcli: counter stepped past " << number << std::endl;
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }
    return number;
}

} // namespace cli
