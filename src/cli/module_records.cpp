#include "module_records.h"

#include "config/config_file.h"

#include <exception>

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace cli {

namespace {

std::string HostName() {
#ifdef _WIN32
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (GetComputerNameA(name, &size) == 0)
        return "unknown";
#else
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return "unknown";
#endif
    return name;
}

records::Result ResultOf(Exit exit) {
    switch (exit) {
    case Exit::kDone:
        return records::Result::kConfirmed;
    case Exit::kRefused:
        return records::Result::kRefused;
    default:
        return records::Result::kNotConfirmed;
    }
}

void Add(records::RecordStore& store, const records::Record& record) {
    try {
        store.Add(record);
    } catch (const records::StoreError& error) {
        throw Failure{Exit::kStore, std::string(error.what()) + "; " + record.port + " is " +
                                        records::ResultText(record.result) + " but not recorded"};
    }
}

} // namespace

std::filesystem::path DefaultRecordsFile() {
    return config::ConfigPath(std::filesystem::current_path()).parent_path() / "records.sqlite";
}

std::unique_ptr<records::RecordStore> OpenRecords(const std::string& where) {
    try {
        return records::OpenRecordStore(where.empty() ? DefaultRecordsFile().string() : where);
    } catch (const records::StoreError& error) {
        throw Failure{Exit::kStore, error.what()};
    }
}

records::Record RecordOf(const std::string& bench, const std::string& command,
                         const ModulePort& port, const std::string& device,
                         const std::string& model, std::vector<records::SettingChange> changes) {
    return {.timeUtc = records::UtcNow(),
            .bench = bench.empty() ? HostName() : bench,
            .command = command,
            .port = port.Name(),
            .device = device,
            .model = model,
            .changes = std::move(changes),
            .serialNumber = {},
            .result = records::Result::kConfirmed,
            .detail = {}};
}

void Recorded(records::RecordStore& store, records::Record record,
              const std::function<void()>& work) {
    try {
        work();
    } catch (const Failure& failure) {
        record.result = ResultOf(failure.exit);
        record.detail = failure.message;
        Add(store, record);
        throw;
    } catch (const serial::ExchangeError& error) {
        record.result = ResultOf(ExitOf(error.fault));
        record.detail = error.message;
        Add(store, record);
        throw;
    }
    record.result = records::Result::kConfirmed;
    Add(store, record);
}

} // namespace cli
