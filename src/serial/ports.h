// Which device a port number COMn stands for on this machine.
#pragma once

#include "sio.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace serial {

// Keys and values of Config.ini section [Ports] as they stand, e.g. "COM1" -> "/dev/ttyUSB0".
using PortOverrides = std::map<std::string, std::string>;

// "COM1" for 1.
std::string PortName(int port);

// The port number a key such as "COM7" names (case-insensitive, as profile keys are);
// 0 for any other key.
int PortOfKey(const std::string& key);

// One serial device the system reports: its kernel path and, where udev made one, its
// /dev/serial/by-id link.
struct SystemDevice {
    std::string path;
    std::string byId;
};

// The order ports are handed out in: USB and ACM adapters first, then the rest, each group by
// the name shown (the by-id link where there is one, so numbering does not follow plug order).
// Returns the names shown.
std::vector<std::string> OrderSerialDevices(std::vector<SystemDevice> devices);

// The device of `port`: the override for its key, else the port-th entry of `systemDevices`;
// empty when there is neither.
std::string DeviceForPort(int port, const PortOverrides& overrides,
                          const std::vector<std::string>& systemDevices);

// The devices of COM1 to COM36 in turn, for showing beside the port list.
std::array<std::string, kPortCount> PortDevices(const PortOverrides& overrides,
                                                const std::vector<std::string>& systemDevices);

// Windows' COM port names ("COM3", as its registry lists them) at the index of their number, so
// COMn stands for port n; names past COM36 and other names are left out.
std::vector<std::string> ComPortsByNumber(const std::vector<std::string>& names);

// The serial devices present now: on Linux ordered as above, pseudo-terminals never among them;
// on Windows the COM ports the system lists, each at its own number.
std::vector<std::string> SystemSerialDevices();

// The device of a port that neither [Ports] nor the system's list names: on Windows the port's
// own name (a COM port may open although the registry does not list it); none elsewhere.
std::string UnlistedDevice(int port);

// What the system tells of a serial device present now besides its names: "usb 0403:6001
// serial A10K3TQ1", parts it does not know left out; empty for a device it tells nothing of.
// On Windows nothing besides the COM name.
struct DeviceDetails {
    std::string path;
    std::string byId;
    std::string usb;
};
std::vector<DeviceDetails> SystemDeviceDetails();

} // namespace serial
