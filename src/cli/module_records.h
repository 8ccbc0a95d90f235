// The records qxcli keeps: one for each port's write and each serial number given, with how it
// ended, in the store --records names (an SQLite file, or a line's PostgreSQL server).
#pragma once

#include "failure.h"
#include "module.h"
#include "records/record_store.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cli {

// records.sqlite beside Config.ini in the current directory.
std::filesystem::path DefaultRecordsFile();

// The store `where` names, else records.sqlite beside Config.ini in the current directory.
// Opened (its tables made) before a module is touched, so a store that cannot be used costs
// nothing. Throws Failure kStore.
std::unique_ptr<records::RecordStore> OpenRecords(const std::string& where);

// What a record of `port` starts with: the time, `bench` (the host name when empty), the port
// and its device, the module's model, and what `command` changes on it.
records::Record RecordOf(const std::string& bench, const std::string& command,
                         const ModulePort& port, const std::string& device,
                         const std::string& model, std::vector<records::SettingChange> changes);

// Runs `work` (the writes and their read-back) and adds `record` with how it ended: done is
// written and confirmed, a refusal or a read-back that differs refused, anything else not
// confirmed. Rethrows what `work` threw; a record that cannot be stored is a Failure kStore
// that says what the module was left with.
void Recorded(records::RecordStore& store, records::Record record,
              const std::function<void()>& work);

} // namespace cli
