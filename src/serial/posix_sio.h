// The serial calls on the POSIX terminal interface: raw mode, non-blocking reads and writes,
// the waiting count from FIONREAD.
#pragma once

#include "sio_ports.h"

#include <array>
#include <functional>
#include <string>
#include <termios.h>

namespace serial {

// The operator's reason for a failed open of `device` with `error` (an errno value).
std::string OpenFailureReason(const std::string& device, int error);

// Puts a baud code and a mode (data bits | stop bits | parity) into `tio`; returns the baud
// rate, or 0 for a code outside the tables, leaving `tio` as it was.
int ApplyLineCodes(termios& tio, int baud, int mode);

// Whether the device holds the line `asked` for, read back as `held`: speed, data bits, stop
// bits and parity. A pseudo-terminal has no line: it always drops the parity-enable flag and
// runs 8 data bits, so those two are not asked of it.
bool LineHeld(const termios& asked, const termios& held, bool pseudoTerminal);

struct PosixPort : PortRecord {
    int rate = 9600; // for how long a write may wait
    bool pseudoTerminal = false;
};

class PosixSio : public SioPorts<PosixPort> {
public:
    explicit PosixSio(DeviceOf deviceOf);
    ~PosixSio() override;
    PosixSio(const PosixSio&) = delete;
    PosixSio& operator=(const PosixSio&) = delete;

    int sio_ioctl(int port, int baud, int mode) override;
    int sio_close(int port) override;
    int sio_write(int port, const char* data, int length) override;
    int sio_iqueue(int port) override;
    int sio_read(int port, char* buffer, int length) override;
    // A terminal takes the line as asked or fails the call: nothing to tell apart.
    std::string AcknowledgedLine(int) const override { return {}; }

private:
    using Port = PosixPort;

    int OpenDevice(int port, Port& p) override;

    int FailOpen(Port& p, int code, std::string reason);
    // The device is gone: close it so nothing polls a dead descriptor.
    void Lose(Port& p, int error);
    // Turns a failed call's errno into a result: a vanished device closes the port.
    int Fail(Port& p, int error);
};

} // namespace serial
