// Config.ini in the start directory: the port settings, the factory serial number fields, the
// customer variant and language, and the test options the tool remembers between runs.
// Every operation opens the file, reads or writes its keys and closes it again.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace config {

// Every duration the file holds is bounded to its range when it is read, so a hand-edited
// value (negative, or hours long) cannot stall the tool in a pause or a timer. The first four
// are the ranges of the window's spin boxes.
struct SpinRange {
    int min;
    int max;
};
inline constexpr SpinRange kDelayTimeRange{60, 3000};
inline constexpr SpinRange kRxTimerRange{10, 500};
inline constexpr SpinRange kRxTxConversionRange{10, 1000};
inline constexpr SpinRange kResendTimeRange{100, 10000};
inline constexpr SpinRange kTestDelayTimeRange{0, 10000};

// Section COM: list positions in the port dialog (COM1, 2400 baud, no parity by default).
struct PortSettings {
    int port = 0;
    int rate = 2;
    int verify = 2;

    bool operator==(const PortSettings&) const = default;
};

// Section SN: the fields of the factory serial number.
struct SerialNoFields {
    int model = 0;
    std::string year;
    std::string month;
    std::string no;

    bool operator==(const SerialNoFields&) const = default;
};

// Section Ver, which the tool never writes.
struct VerValues {
    std::string VariantType;
    std::string VerModel;
    std::string LangCode = "CN";
    int ModelListVariant = 0;

    bool operator==(const VerValues&) const = default;
};

// Section Option; TestDelayTime is read but never written, sessionLog is written when the
// operator switches the log.
struct OptionValues {
    bool frameDelay = false;
    int delayTime = 333;
    int rxTimer = 30;
    int rxTxConversion = 20;
    bool searchBeforeRw = true;
    int TestDelayTime = 1500;
    bool sessionLog = false;

    bool operator==(const OptionValues&) const = default;
};

// Section Option, keys Resend and Resend time: whether the answer-driven pair test sends its
// frame again after that many ms without an answer. Off by default, so the test waits for
// every answer unless asked not to.
struct ResendOption {
    bool on = false;
    int ms = 1000;

    bool operator==(const ResendOption&) const = default;
};

struct ConfigValues {
    SerialNoFields sn;
    VerValues ver;
    OptionValues option;

    bool operator==(const ConfigValues&) const = default;
};

// The file in `startDir`: "Config.ini", or a file of that name in other letter case when only
// such a one is there (a file copied from Windows, where names ignore case).
std::filesystem::path ConfigPath(const std::filesystem::path& startDir);

// Sections SN, Ver and Option; a missing file or key gives the defaults above.
ConfigValues LoadConfig(const std::filesystem::path& file);
PortSettings LoadPortSettings(const std::filesystem::path& file);
ResendOption LoadResendOption(const std::filesystem::path& file);
// Section Ports, keys COM1 to COM36: the device each port number stands for. Keys that are
// missing or empty are left out.
std::map<int, std::string> LoadPortMap(const std::filesystem::path& file);

// The saves report whether every key was written, for tests; the window ignores the result
// and goes on. Each writes its keys in one replace of the file, so a failure or a kill leaves
// all of them old or all new; a value that cannot be written (a line break typed into a field)
// is left out and the others are written.
bool SaveOptions(const std::filesystem::path& file, const OptionValues& options);
bool SaveSerialNoFields(const std::filesystem::path& file, const SerialNoFields& fields);
bool SavePortSettings(const std::filesystem::path& file, const PortSettings& settings);
// Option's key "Session log", alone, the moment the operator switches the log.
bool SaveSessionLog(const std::filesystem::path& file, bool on);
bool SaveResendOption(const std::filesystem::path& file, const ResendOption& option);

} // namespace config
