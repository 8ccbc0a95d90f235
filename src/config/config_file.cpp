#include "config_file.h"

#include "profile.h"
#include "profile_text.h"

#include <algorithm>
#include <cctype>

namespace config {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFileName = "Config.ini";
constexpr int kPortCount = 36;
constexpr const char* kSessionLogKey = "Session log";

// A duration of section Option, in ms, and the range it is bounded to.
struct Duration {
    const char* key;
    SpinRange range;
};
constexpr Duration kDelayTime{"Delay time", kDelayTimeRange};
constexpr Duration kRxTimer{"RX timer", kRxTimerRange};
constexpr Duration kRxTxConversion{"RX/TX conversion", kRxTxConversionRange};
constexpr Duration kResendTime{"Resend time", kResendTimeRange};
constexpr Duration kTestDelayTime{"Test Delay Time", kTestDelayTimeRange};

int ReadDuration(const Profile& ini, const Duration& duration, int fallback) {
    return std::clamp(ini.ReadInteger("Option", duration.key, fallback), duration.range.min,
                      duration.range.max);
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

} // namespace

fs::path ConfigPath(const fs::path& startDir) {
    const fs::path exact = startDir / kFileName;
    std::error_code error;
    if (fs::exists(exact, error)) {
        return exact;
    }
    for (fs::directory_iterator it(startDir, error), end; !error && it != end;
         it.increment(error)) {
        if (SameNameIgnoringCase(it->path().filename().string(), kFileName)) {
            return it->path();
        }
    }
    return exact;
}

ConfigValues LoadConfig(const fs::path& file) {
    const Profile ini(file);
    const ConfigValues defaults;
    ConfigValues values;
    values.sn.model = ini.ReadInteger("SN", "Model", defaults.sn.model);
    values.sn.year = ini.ReadString("SN", "Year", defaults.sn.year);
    values.sn.month = ini.ReadString("SN", "Month", defaults.sn.month);
    values.sn.no = ini.ReadString("SN", "NO", defaults.sn.no);
    values.ver.VariantType = ini.ReadString("Ver", "type", defaults.ver.VariantType);
    values.ver.VerModel = ini.ReadString("Ver", "Model", defaults.ver.VerModel);
    values.ver.LangCode = ini.ReadString("Ver", "CEO", defaults.ver.LangCode);
    values.ver.ModelListVariant = ini.ReadInteger("Ver", "QX", defaults.ver.ModelListVariant);
    OptionValues& option = values.option;
    option.frameDelay = ini.ReadBool("Option", "Frame delay", defaults.option.frameDelay);
    option.delayTime = ReadDuration(ini, kDelayTime, defaults.option.delayTime);
    option.rxTimer = ReadDuration(ini, kRxTimer, defaults.option.rxTimer);
    option.rxTxConversion = ReadDuration(ini, kRxTxConversion, defaults.option.rxTxConversion);
    option.searchBeforeRw =
        ini.ReadBool("Option", "Search before R/W", defaults.option.searchBeforeRw);
    option.TestDelayTime = ReadDuration(ini, kTestDelayTime, defaults.option.TestDelayTime);
    option.sessionLog = ini.ReadBool("Option", kSessionLogKey, defaults.option.sessionLog);
    return values;
}

PortSettings LoadPortSettings(const fs::path& file) {
    const Profile ini(file);
    const PortSettings defaults;
    return {ini.ReadInteger("COM", "Port", defaults.port),
            ini.ReadInteger("COM", "Rate", defaults.rate),
            ini.ReadInteger("COM", "Verify", defaults.verify)};
}

ResendOption LoadResendOption(const fs::path& file) {
    const Profile ini(file);
    const ResendOption defaults;
    return {ini.ReadBool("Option", "Resend", defaults.on),
            ReadDuration(ini, kResendTime, defaults.ms)};
}

std::map<int, std::string> LoadPortMap(const fs::path& file) {
    const Profile ini(file);
    std::map<int, std::string> devices;
    for (int port = 1; port <= kPortCount; ++port) {
        std::string device = ini.ReadString("Ports", "COM" + std::to_string(port), "");
        if (!device.empty()) {
            devices.emplace(port, std::move(device));
        }
    }
    return devices;
}

bool SaveOptions(const fs::path& file, const OptionValues& options) {
    return Profile(file).Write({
        {"Option", "Delay time", ProfileIntegerText(options.delayTime)},
        {"Option", "RX timer", ProfileIntegerText(options.rxTimer)},
        {"Option", "RX/TX conversion", ProfileIntegerText(options.rxTxConversion)},
        {"Option", "Frame delay", ProfileBoolText(options.frameDelay)},
        {"Option", "Search before R/W", ProfileBoolText(options.searchBeforeRw)},
    });
}

bool SaveSessionLog(const fs::path& file, bool on) {
    return Profile(file).Write({{"Option", kSessionLogKey, ProfileBoolText(on)}});
}

bool SaveResendOption(const fs::path& file, const ResendOption& option) {
    return Profile(file).Write({
        {"Option", "Resend", ProfileBoolText(option.on)},
        {"Option", "Resend time", ProfileIntegerText(option.ms)},
    });
}

bool SaveSerialNoFields(const fs::path& file, const SerialNoFields& fields) {
    return Profile(file).Write({
        {"SN", "Model", ProfileIntegerText(fields.model)},
        {"SN", "Year", fields.year},
        {"SN", "Month", fields.month},
        {"SN", "NO", fields.no},
    });
}

bool SavePortSettings(const fs::path& file, const PortSettings& settings) {
    return Profile(file).Write({
        {"COM", "Port", ProfileIntegerText(settings.port)},
        {"COM", "Rate", ProfileIntegerText(settings.rate)},
        {"COM", "Verify", ProfileIntegerText(settings.verify)},
    });
}

} // namespace config
