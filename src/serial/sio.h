// The six calls of the serial library the tool was built around, keyed by port number 1 to 36.
// Everything above this seam sees only these result codes; a platform implementation sits
// behind it and tests swap in a fake.
#pragma once

#include <array>
#include <string>

namespace serial {

constexpr int kPortCount = 36;

// Results besides byte counts (which are 0 or more).
constexpr int kSioOk = 0;
constexpr int kSioBadPort = -1;       // no such port, or the port is not open
constexpr int kSioNoReadiness = -2;   // the library cannot tell when bytes wait: poll it
constexpr int kSioOpenFail = -5;      // the device does not exist or is in use
constexpr int kSioBadParam = -7;      // a parameter is out of range
constexpr int kSioSystemFail = -8;    // an operating-system call failed
constexpr int kSioAbortWrite = -11;   // the write was aborted
constexpr int kSioWriteTimeout = -12; // the device took not all bytes in time

// Line-setting codes: the baud code goes alone, the other three are ORed into one mode.
struct BaudCode {
    int code;
    int rate;
};
constexpr std::array<BaudCode, 8> kBaudCodes{{{6, 600},
                                              {7, 1200},
                                              {9, 2400},
                                              {10, 4800},
                                              {12, 9600},
                                              {13, 19200},
                                              {14, 38400},
                                              {15, 57600}}};
constexpr int kData5 = 0x00, kData6 = 0x01, kData7 = 0x02, kData8 = 0x03;
constexpr int kDataMask = 0x03;
constexpr int kStop1 = 0x00, kStop2 = 0x04;
constexpr int kStopMask = 0x04;
constexpr int kParityNone = 0x00, kParityOdd = 0x08, kParityEven = 0x18, kParityMark = 0x28,
              kParitySpace = 0x38;
constexpr int kParityMask = 0x38;

// The rate of a baud code; 0 for a code outside the table.
constexpr int RateOfBaudCode(int code) {
    for (const auto& b : kBaudCodes) {
        if (b.code == code)
            return b.rate;
    }
    return 0;
}

// Whether a mode holds data bits, stop bits and one of the five parities, and nothing else.
constexpr bool ValidMode(int mode) {
    const int parity = mode & kParityMask;
    return (mode & ~(kDataMask | kStopMask | kParityMask)) == 0 &&
           (parity == kParityNone || parity == kParityOdd || parity == kParityEven ||
            parity == kParityMark || parity == kParitySpace);
}

class Sio {
public:
    virtual ~Sio() = default;

    virtual int sio_open(int port) = 0;
    virtual int sio_ioctl(int port, int baud, int mode) = 0;
    virtual int sio_close(int port) = 0;
    // Bytes taken by the device, or a negative code.
    virtual int sio_write(int port, const char* data, int length) = 0;
    // Bytes waiting to be read, or a negative code.
    virtual int sio_iqueue(int port) = 0;
    // Reads at most `length` waiting bytes without waiting for more.
    virtual int sio_read(int port, char* buffer, int length) = 0;
    // A descriptor of open `port` that polls readable when bytes wait or the device vanished,
    // so a caller sleeps until then; kSioNoReadiness, or kSioBadPort when the port is not open.
    virtual int sio_readiness(int port) = 0;

    // Why the last open of `port` failed, in words the operator can act on; empty when it did not.
    virtual std::string LastOpenError(int port) const = 0;
    // Why the last write to `port` failed, where the result code does not tell; empty when it
    // did not.
    virtual std::string LastWriteError(int port) const = 0;
    // Why the last line setting of `port` failed, where the result code does not tell; empty
    // when it did not.
    virtual std::string LastLineError(int port) const = 0;
    // The line the far end of open `port` acknowledged, as traces write it ("600 8O1"), where
    // the device answers the line asked with the line it holds (a network server); empty
    // otherwise, and before any line was asked.
    virtual std::string AcknowledgedLine(int port) const = 0;
    // Once after the device of an open port vanished: why; empty otherwise.
    // The port counts as closed from that moment.
    virtual std::string TakeLostReason(int port) = 0;
};

} // namespace serial
