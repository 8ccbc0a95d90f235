#include "records_command.h"

#include "core/csv.h"
#include "json_values.h"
#include "module_records.h"

#include <filesystem>

namespace cli {

namespace {

// "channel 3 -> 5, air_rate 9600 -> 19200"
std::string ChangesText(const records::Record& record) {
    std::string text;
    for (const records::SettingChange& change : record.changes)
        text += (text.empty() ? "" : ", ") + change.key + " " + change.oldValue + " -> " +
                change.newValue;
    return text;
}

std::vector<std::string> Fields(const records::Record& record) {
    return {
        record.timeUtc,      record.bench, record.command,      record.port,
        record.device,       record.model, record.serialNumber, records::ResultText(record.result),
        ChangesText(record), record.detail};
}

// One record in the style of the other JSON lines: the settings under their profile keys,
// typed, the values before and those given; what is not known or not there is null.
Json RecordJson(const records::Record& record) {
    Json before = Json::object();
    Json given = Json::object();
    for (const records::SettingChange& change : record.changes) {
        PutValue(before, change.key, change.oldValue);
        PutValue(given, change.key, change.newValue);
    }
    Json json = Json::object();
    json["time_utc"] = record.timeUtc;
    json["bench"] = record.bench;
    json["command"] = record.command;
    json["port"] = record.port;
    json["device"] = record.device;
    PutValue(json, "model", record.model);
    PutValue(json, "serial_number", record.serialNumber);
    json["result"] = records::ResultText(record.result);
    json["before"] = before;
    json["given"] = given;
    json["error"] = record.detail.empty() ? Json(nullptr) : Json(record.detail);
    return json;
}

} // namespace

Exit RecordsCommand(const RecordsListing& listing, std::ostream& out) {
    if (listing.format == ListFormat::kCsv)
        out << core::CsvLine({"time_utc", "bench", "command", "port", "device", "model",
                              "serial_number", "result", "changes", "detail"})
            << "\r\n";
    // a look makes no file: none beside Config.ini is no record yet, a file named is a mistake
    if (listing.store.empty() && !std::filesystem::exists(DefaultRecordsFile()))
        return Exit::kDone;
    if (!listing.store.empty() && !records::IsDatabaseUrl(listing.store) &&
        !std::filesystem::exists(listing.store))
        throw Failure{Exit::kUsage, listing.store + ": no such records file"};
    const auto store = OpenRecords(listing.store);
    std::vector<records::Record> found;
    try {
        found = store->List(listing.filter);
    } catch (const records::StoreError& error) {
        throw Failure{Exit::kStore, error.what()};
    }
    for (const records::Record& record : found) {
        switch (listing.format) {
        case ListFormat::kText: {
            std::string line;
            for (const std::string& field : Fields(record))
                line += (line.empty() ? "" : "\t") + (field.empty() ? "-" : field);
            out << line << "\n";
            break;
        }
        case ListFormat::kJson:
            out << RecordJson(record).dump() << "\n";
            break;
        case ListFormat::kCsv:
            out << core::CsvLine(Fields(record)) << "\r\n";
            break;
        }
    }
    return Exit::kDone;
}

} // namespace cli
