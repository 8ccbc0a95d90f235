// The serial calls on the Win32 communications functions: a COM port opened exclusively, reads
// that take only what waits (no read time-out), writes bounded by a total time-out from the line
// rate, the waiting count from ClearCommError.
#pragma once

#include "sio_ports.h"

#include <functional>
#include <string>

namespace serial {

// What a failed Win32 call of the port means.
struct Win32Outcome {
    int code;           // the result code the call gives
    std::string reason; // for the operator: the device, then why
};

// UTF-8 of the system's wide text.
std::string Utf8(const std::wstring& text);
// The system's text for a Win32 error, "The system cannot find the file specified. (error 2)".
std::string SystemErrorText(unsigned long error);
// Whether `error` of a call on an open port says the device is gone (unplugged, or its far end
// closed).
bool DeviceGone(unsigned long error);
// A failed open of `device` with `error`: in use, not there, or why else.
Win32Outcome OpenFailure(const std::string& device, unsigned long error);
// The name CreateFile takes for `device`: "COM10" becomes "\\.\COM10" (COM1 to COM9 would open
// without the prefix, the rest not); other names as they are.
std::wstring Win32DeviceName(const std::string& device);

// Whether a line setting that the system refused with ERROR_INVALID_PARAMETER still holds what
// counts: a pseudo-terminal under Wine takes the setting but cannot keep parity, and the C library
// beneath reports the dropped flag so. Speed, data bits and stop bits must be as asked.
bool LineTaken(unsigned long askedRate, int askedBits, int askedStop, unsigned long heldRate,
               int heldBits, int heldStop);

struct Win32Port : PortRecord {
    // `fd` is 0 while the port is open, -1 otherwise; the handle is kept here.
    void* handle = nullptr;
    int rate = 9600;     // for how long a write may wait
    unsigned queued = 0; // what the last look at the input queue found
};

class Win32Sio : public SioPorts<Win32Port> {
public:
    explicit Win32Sio(DeviceOf deviceOf);
    ~Win32Sio() override;
    Win32Sio(const Win32Sio&) = delete;
    Win32Sio& operator=(const Win32Sio&) = delete;

    int sio_ioctl(int port, int baud, int mode) override;
    int sio_close(int port) override;
    int sio_write(int port, const char* data, int length) override;
    int sio_iqueue(int port) override;
    int sio_read(int port, char* buffer, int length) override;
    // A COM port takes the line as asked or fails the call: nothing to tell apart.
    std::string AcknowledgedLine(int) const override { return {}; }
    // Windows has no descriptor to sleep on: callers poll.
    int sio_readiness(int port) override;

private:
    using Port = Win32Port;

    int OpenDevice(int port, Port& p) override;

    int FailOpen(Port& p, Win32Outcome outcome);
    // The device is gone: close it so nothing polls a dead handle.
    void Lose(Port& p, unsigned long error);
    // Turns a failed call's error into a result: a vanished device closes the port.
    int Fail(Port& p, unsigned long error);
    // The write time-outs for the port's rate.
    bool SetTimeouts(Port& p);
};

} // namespace serial
