// A device server whose serial port runs at one baud rate only, as some do: over RFC 2217 it
// agrees to BINARY and COM-PORT-OPTION, acknowledges data size, parity and stop size as asked
// but every baud rate with its own, and drops the port's data. One session at a time, served on
// a thread of its own on a free local port.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class FixedBaudServer {
public:
    explicit FixedBaudServer(std::uint32_t baud);
    ~FixedBaudServer();
    FixedBaudServer(const FixedBaudServer&) = delete;
    FixedBaudServer& operator=(const FixedBaudServer&) = delete;

    bool Ok() const { return listener_ >= 0; }
    std::string Url() const { return "rfc2217://127.0.0.1:" + std::to_string(port_); }

private:
    void Serve();
    // Answers the session on `fd` until the client leaves or the server stops.
    void Session(int fd);
    // Acknowledges the COM-PORT-OPTION command in sub-negotiation `sub`.
    void Answer(int fd, const std::string& sub) const;

    const std::uint32_t baud_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};
