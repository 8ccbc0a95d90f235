#include "config_file.h"

#include "profile.h"

#include <algorithm>
#include <cctype>

namespace config {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFileName = "Config.ini";
constexpr int kPortCount = 36;

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
    option.delayTime = ini.ReadInteger("Option", "Delay time", defaults.option.delayTime);
    option.rxTimer = ini.ReadInteger("Option", "RX timer", defaults.option.rxTimer);
    option.rxTxConversion =
        ini.ReadInteger("Option", "RX/TX conversion", defaults.option.rxTxConversion);
    option.searchBeforeRw =
        ini.ReadBool("Option", "Search before R/W", defaults.option.searchBeforeRw);
    option.TestDelayTime =
        ini.ReadInteger("Option", "Test Delay Time", defaults.option.TestDelayTime);
    return values;
}

PortSettings LoadPortSettings(const fs::path& file) {
    const Profile ini(file);
    const PortSettings defaults;
    return {ini.ReadInteger("COM", "Port", defaults.port),
            ini.ReadInteger("COM", "Rate", defaults.rate),
            ini.ReadInteger("COM", "Verify", defaults.verify)};
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

// Every key is tried even after one failed, so that one bad key does not cost the others.
bool SaveOptions(const fs::path& file, const OptionValues& options) {
    const Profile ini(file);
    bool ok = ini.WriteInteger("Option", "Delay time", options.delayTime);
    ok = ini.WriteInteger("Option", "RX timer", options.rxTimer) && ok;
    ok = ini.WriteInteger("Option", "RX/TX conversion", options.rxTxConversion) && ok;
    ok = ini.WriteBool("Option", "Frame delay", options.frameDelay) && ok;
    ok = ini.WriteBool("Option", "Search before R/W", options.searchBeforeRw) && ok;
    return ok;
}

bool SaveSerialNoFields(const fs::path& file, const SerialNoFields& fields) {
    const Profile ini(file);
    bool ok = ini.WriteInteger("SN", "Model", fields.model);
    ok = ini.WriteString("SN", "Year", fields.year) && ok;
    ok = ini.WriteString("SN", "Month", fields.month) && ok;
    ok = ini.WriteString("SN", "NO", fields.no) && ok;
    return ok;
}

bool SavePortSettings(const fs::path& file, const PortSettings& settings) {
    const Profile ini(file);
    bool ok = ini.WriteInteger("COM", "Port", settings.port);
    ok = ini.WriteInteger("COM", "Rate", settings.rate) && ok;
    ok = ini.WriteInteger("COM", "Verify", settings.verify) && ok;
    return ok;
}

} // namespace config
