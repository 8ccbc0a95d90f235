// What a bench did to one module: a write of settings or a serial number given, and how it
// ended. Kept so a line can tell, months later, which module got which number and settings.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace records {

enum class Result {
    kConfirmed,    // written, and the read-back matches
    kRefused,      // the module or the profile refused, or the read-back differs
    kNotConfirmed, // the module stopped answering or the port was lost on the way
};

// "written and confirmed", "refused", "not confirmed": the texts the records show and store.
const char* ResultText(Result result);
std::optional<Result> ResultOfText(const std::string& text);

struct SettingChange {
    std::string key; // the profile key, "channel"; "serial_number" for a number given
    std::string oldValue;
    std::string newValue;
    bool operator==(const SettingChange&) const = default;
};

struct Record {
    std::string timeUtc; // ISO 8601 with milliseconds, "2026-12-09T16:31:49.123Z"
    std::string bench;   // the host name, or the name the bench was given
    std::string command; // "write" or "sn"
    std::string port;    // as the operator named it, "COM3"
    std::string device;  // what it stands for, "/dev/ttyUSB0"
    std::string model;
    std::vector<SettingChange> changes;
    std::string serialNumber; // the number given, "2026-12 01006"; empty for a write
    Result result = Result::kConfirmed;
    std::string detail; // why it was refused or not confirmed
    bool operator==(const Record&) const = default;
};

// The time now in the records' form.
std::string UtcNow();

// What a listing keeps; an empty field keeps every record. Times compare as the text of the
// records' form, so a prefix ("2026-12-09") stands for its start.
struct RecordFilter {
    std::string serialNumber;
    std::string port;
    std::string from; // at or after
    std::string to;   // before
};

} // namespace records
