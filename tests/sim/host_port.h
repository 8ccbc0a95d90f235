// The host's side of a qxsim device, driven with termios as a serial layer would drive it.
#pragma once

#include "core/hex.h"

#include <chrono>
#include <string>

class HostPort {
public:
    enum class Parity { kNone, kEven, kOdd };

    HostPort() = default;
    HostPort(const HostPort&) = delete;
    HostPort& operator=(const HostPort&) = delete;
    ~HostPort() { Close(); }

    // Opens for exclusive use (TIOCEXCL) and sets raw 8-bit mode at the rate and parity.
    bool Open(const std::string& path, int baud = 9600, Parity parity = Parity::kNone);
    // Gives up exclusive use and closes.
    void Close();
    bool SetLine(int baud, Parity parity);
    bool Write(const core::Bytes& bytes);

    // Reads until `count` bytes have come, at most `bound`.
    core::Bytes Read(std::size_t count, std::chrono::milliseconds bound = std::chrono::seconds(5));
    // Reads until nothing has come for `quiet`, at most `bound`.
    core::Bytes ReadUntilQuiet(std::chrono::milliseconds quiet,
                               std::chrono::milliseconds bound = std::chrono::seconds(5));
    // Waits until the module has taken everything written (nothing left in the output queue).
    bool Drained(std::chrono::milliseconds bound = std::chrono::seconds(5));
    // Writes a request and reads an answer of `answer_size` bytes.
    core::Bytes Ask(const core::Bytes& request, std::size_t answer_size);

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};
