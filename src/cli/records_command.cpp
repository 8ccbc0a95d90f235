#include "records_command.h"

#include "core/csv.h"
#include "module_records.h"

#include <nlohmann/json.hpp>

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

nlohmann::ordered_json Json(const records::Record& record) {
    const auto textOrNull = [](const std::string& text) {
        return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
    };
    nlohmann::ordered_json changes = nlohmann::ordered_json::array();
    for (const records::SettingChange& change : record.changes)
        changes.push_back({{"setting", change.key},
                           {"old", textOrNull(change.oldValue)},
                           {"new", textOrNull(change.newValue)}});
    return {{"time_utc", record.timeUtc},
            {"bench", record.bench},
            {"command", record.command},
            {"port", record.port},
            {"device", record.device},
            {"model", record.model},
            {"serial_number", textOrNull(record.serialNumber)},
            {"result", records::ResultText(record.result)},
            {"changes", changes},
            {"detail", textOrNull(record.detail)}};
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
            out << Json(record).dump() << "\n";
            break;
        case ListFormat::kCsv:
            out << core::CsvLine(Fields(record)) << "\r\n";
            break;
        }
    }
    return Exit::kDone;
}

} // namespace cli
