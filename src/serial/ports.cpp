#include "ports.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <tuple>

namespace serial {

namespace {

bool IsAdapter(const std::string& path) {
    const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
    return name.starts_with("ttyUSB") || name.starts_with("ttyACM");
}

// Splits a name at its trailing number so "ttyUSB10" sorts after "ttyUSB9".
std::tuple<std::string_view, long> NaturalKey(std::string_view name) {
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    long number = -1;
    std::from_chars(name.data() + digits, name.data() + name.size(), number);
    return {name.substr(0, digits), number};
}

} // namespace

std::string PortName(int port) {
    return "COM" + std::to_string(port);
}

int PortOfKey(const std::string& key) {
    if (key.size() < 4 || key.size() > 5)
        return 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(key[i])) != "COM"[i])
            return 0;
    }
    int port = 0;
    const auto [end, ec] = std::from_chars(key.data() + 3, key.data() + key.size(), port);
    if (ec != std::errc() || end != key.data() + key.size() || key[3] == '0')
        return 0;
    return port >= 1 && port <= kPortCount ? port : 0;
}

std::vector<std::string> OrderSerialDevices(std::vector<SystemDevice> devices) {
    auto shown = [](const SystemDevice& d) { return d.byId.empty() ? d.path : d.byId; };
    std::stable_sort(devices.begin(), devices.end(),
                     [&](const SystemDevice& a, const SystemDevice& b) {
                         const std::string sa = shown(a), sb = shown(b);
                         return std::tuple(!IsAdapter(a.path), NaturalKey(sa)) <
                                std::tuple(!IsAdapter(b.path), NaturalKey(sb));
                     });
    std::vector<std::string> names;
    for (const auto& d : devices)
        names.push_back(shown(d));
    return names;
}

std::vector<std::string> ComPortsByNumber(const std::vector<std::string>& names) {
    std::vector<std::string> ports;
    for (const std::string& name : names) {
        const int port = PortOfKey(name);
        if (port == 0)
            continue;
        if (ports.size() < static_cast<std::size_t>(port))
            ports.resize(static_cast<std::size_t>(port));
        ports[static_cast<std::size_t>(port - 1)] = PortName(port);
    }
    return ports;
}

std::string DeviceForPort(int port, const PortOverrides& overrides,
                          const std::vector<std::string>& systemDevices) {
    if (port < 1 || port > kPortCount)
        return {};
    for (const auto& [key, device] : overrides) {
        if (PortOfKey(key) == port && !device.empty())
            return device;
    }
    const auto index = static_cast<std::size_t>(port - 1);
    return index < systemDevices.size() ? systemDevices[index] : std::string();
}

std::array<std::string, kPortCount> PortDevices(const PortOverrides& overrides,
                                                const std::vector<std::string>& systemDevices) {
    std::array<std::string, kPortCount> devices;
    for (int port = 1; port <= kPortCount; ++port)
        devices[static_cast<std::size_t>(port - 1)] = DeviceForPort(port, overrides, systemDevices);
    return devices;
}

} // namespace serial
