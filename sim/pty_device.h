// A module's pseudo-terminal: the master the simulator serves and the slave path the host opens.
#pragma once

#include <optional>
#include <string>

namespace sim {

struct PtyDevice {
    int master = -1;
    // A slave descriptor held open by the simulator, so that the host may close and reopen its
    // side (the tool does to follow new serial settings) without the pair hanging up.
    int held_slave = -1;
    std::string path;
};

// Opens a pair whose slave starts raw at the given serial rate code and parity code, so that a
// host opening it with those settings is heard at once. `error` explains a failure.
std::optional<PtyDevice> OpenPty(int rate_code, int parity, std::string& error);
void ClosePty(PtyDevice& device);

struct HostLine {
    int baud = 0;
    bool odd = false; // the parity-enable flag does not survive on a pseudo-terminal
};

// The settings the host has given its side, read through the master.
std::optional<HostLine> ReadHostLine(int master);
// Whether a host at `line` hears a module running at the rate and parity codes.
bool LineMatches(const HostLine& line, int rate_code, int parity);

} // namespace sim
