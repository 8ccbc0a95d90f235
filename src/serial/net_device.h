// The names of ports that a server on the network exposes: rfc2217://host:port and
// socket://host:port. Known to every build, whether or not it can open them.
#pragma once

#include <optional>
#include <string>

namespace serial {

struct NetDevice {
    bool rfc2217 = false; // else raw TCP
    std::string host;
    std::string service; // the TCP port, as written
};

// The network device a device name stands for; nothing for a local device path.
std::optional<NetDevice> ParseNetDevice(const std::string& name);
// Whether a device name is a network URL (one that may be malformed).
bool IsNetName(const std::string& name);
// Whether the line of a device cannot be set from here: a raw socket:// port.
bool FixedLine(const std::string& device);

} // namespace serial
