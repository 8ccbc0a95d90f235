// The device list comes from Qt's enumeration; the by-id links from the file system.
#include "ports.h"

#include <QSerialPortInfo>

#include <filesystem>
#include <system_error>

namespace serial {

namespace {

// Kernel path -> /dev/serial/by-id link; empty where udev made none.
std::map<std::string, std::string> ByIdLinks() {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> links;
    std::error_code ec;
    for (fs::directory_iterator it("/dev/serial/by-id", ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path target = fs::canonical(it->path(), ec);
        if (!ec)
            links[target.string()] = it->path().string();
        ec.clear();
    }
    return links;
}

} // namespace

std::vector<std::string> SystemSerialDevices() {
    const auto links = ByIdLinks();
    std::vector<SystemDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string path = info.systemLocation().toStdString();
        const auto link = links.find(path);
        devices.push_back({path, link == links.end() ? std::string() : link->second});
    }
    return OrderSerialDevices(std::move(devices));
}

std::vector<DeviceDetails> SystemDeviceDetails() {
    const auto links = ByIdLinks();
    std::vector<DeviceDetails> details;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        DeviceDetails d{info.systemLocation().toStdString(), {}, {}};
        if (const auto link = links.find(d.path); link != links.end())
            d.byId = link->second;
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            d.usb = QString::asprintf("usb %04x:%04x", info.vendorIdentifier(),
                                      info.productIdentifier())
                        .toStdString();
        if (!info.serialNumber().isEmpty())
            d.usb += (d.usb.empty() ? "serial " : " serial ") + info.serialNumber().toStdString();
        details.push_back(std::move(d));
    }
    return details;
}

std::string UnlistedDevice(int) {
    return {};
}

} // namespace serial
