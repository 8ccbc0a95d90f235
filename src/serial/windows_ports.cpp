// The COM ports Windows lists under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: each value names a
// port's driver device ("\Device\Serial0") and holds its name ("COM1"). Windows grants a port to
// any user and does not tell who holds one, so those two questions have no answer here.
#include "port_holder.h"
#include "ports.h"
#include "serial_permission_check.h"
#include "win32_sio.h"

#include <windows.h>

namespace serial {

namespace {

std::vector<std::string> ListedPorts() {
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        wchar_t data[256];
        DWORD nameChars = 256;
        DWORD dataBytes = sizeof data;
        DWORD type = 0;
        const LONG rc = ::RegEnumValueW(key, index, name, &nameChars, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataBytes);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            continue;
        DWORD dataChars = dataBytes / sizeof(wchar_t);
        while (dataChars > 0 && data[dataChars - 1] == L'\0')
            --dataChars;
        ports.push_back(Utf8(std::wstring(data, dataChars)));
    }
    ::RegCloseKey(key);
    return ports;
}

} // namespace

std::vector<std::string> SystemSerialDevices() {
    return ComPortsByNumber(ListedPorts());
}

std::vector<DeviceDetails> SystemDeviceDetails() {
    std::vector<DeviceDetails> details;
    for (const std::string& port : ListedPorts())
        details.push_back({port, {}, {}});
    return details;
}

std::string UnlistedDevice(int port) {
    return PortName(port);
}

std::string PortHolder(const std::string&) {
    return {};
}

std::string SerialPermissionProblem() {
    return {};
}

} // namespace serial
