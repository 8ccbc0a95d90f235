// The PC port's line settings as one value: which port, and the serial library's codes for its
// baud rate, parity, data bits and stop bits. The port dialog edits it; everything else reads it.
#pragma once

#include <string>

namespace core {

struct LineSettings {
    int CurrentPort = 1;      // COM1 .. COM36 as 1 .. 36
    int PortBaudCode = 9;     // 600:6, 1200:7, 2400:9, 4800:10, 9600:12, 19200:13, ...
    int BaudRate = 2400;      // the rate of PortBaudCode, for arithmetic on bit times
    int PortParityCode = 0;   // none 0x00, odd 0x08, even 0x18, mark 0x28, space 0x38
    int PortDataBitsCode = 3; // 8 bits
    int PortStopBitsCode = 0; // 1 stop bit
};

// "9600 8E1": baud rate, data bits, parity letter, stop bits, as traces and logs show them.
std::string LineSettingText(const LineSettings& line);

// The line's parity as the modules code it: 1 even, 2 odd, 0 for none (and for mark and space,
// which the modules do not offer).
int ModuleParityCode(const LineSettings& line);

} // namespace core
