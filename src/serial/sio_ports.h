// What every implementation of the serial calls keeps for each port: its descriptor while open,
// the device it named, and the reasons of its last failures until they are asked for.
#pragma once

#include "ports.h"
#include "sio.h"

#include <array>
#include <functional>
#include <string>
#include <utility>

namespace serial {

struct PortRecord {
    int fd = -1;
    std::string device;
    std::string openError;
    std::string writeError;
    std::string lineError;
    bool lost = false;      // the device vanished while open; closing it still succeeds
    std::string lostReason; // why it vanished, until reported
};

// Why a port was lost: its device and the system's word for it.
inline std::string DisconnectedReason(const std::string& device, const std::string& why) {
    return device + ": the device was disconnected (" + why + ")";
}

// Why a write stalled after `written` of `length` bytes in `ms`.
inline std::string WriteStalledReason(const std::string& device, int written, int length,
                                      long long ms) {
    return device + ": took " + std::to_string(written) + " of " + std::to_string(length) +
           " bytes in " + std::to_string(ms) +
           " ms (a stalled adapter, or flow control holding the line)";
}

// `Port` is a PortRecord with what the implementation adds.
template <class Port> class SioPorts : public Sio {
public:
    // Gives the device a port number stands for, empty when it has none.
    using DeviceOf = std::function<std::string(int port)>;

    explicit SioPorts(DeviceOf deviceOf) : m_deviceOf(std::move(deviceOf)) {}

    // Every open starts alike: a bad number fails, an open port stays as it is, and any other
    // forgets its last open error and names its device afresh before the implementation opens it.
    int sio_open(int port) final {
        if (!Valid(port))
            return kSioOpenFail;
        Port& p = At(port);
        if (p.fd >= 0)
            return kSioOk;
        p.openError.clear();
        p.device = m_deviceOf(port);
        return OpenDevice(port, p);
    }
    int sio_readiness(int port) override {
        const Port* p = OpenAt(port);
        return p ? p->fd : kSioBadPort;
    }
    std::string LastOpenError(int port) const override {
        if (!Valid(port))
            return PortName(port) + " is not a port number (COM1 to COM36)";
        return At(port).openError;
    }
    std::string LastWriteError(int port) const override {
        return Valid(port) ? At(port).writeError : std::string();
    }
    std::string LastLineError(int port) const override {
        return Valid(port) ? At(port).lineError : std::string();
    }
    std::string TakeLostReason(int port) override {
        if (!Valid(port))
            return {};
        std::string reason;
        reason.swap(At(port).lostReason);
        return reason;
    }

protected:
    // Opens `p.device` for port number `port`.
    virtual int OpenDevice(int port, Port& p) = 0;
    static bool Valid(int port) { return port >= 1 && port <= kPortCount; }
    Port& At(int port) { return m_ports[static_cast<std::size_t>(port - 1)]; }
    const Port& At(int port) const { return m_ports[static_cast<std::size_t>(port - 1)]; }
    // The port when its number is valid and it is open, else nullptr.
    Port* OpenAt(int port) { return Valid(port) && At(port).fd >= 0 ? &At(port) : nullptr; }
    const Port* OpenAt(int port) const {
        return Valid(port) && At(port).fd >= 0 ? &At(port) : nullptr;
    }
    // A read or write of `length` bytes at `bytes`: 0 with its open port in `p`, else what the
    // call returns (kSioBadPort for a port that is not open, kSioBadParam for a bad buffer).
    int BufferCall(int port, const void* bytes, int length, Port*& p) {
        p = OpenAt(port);
        if (!p)
            return kSioBadPort;
        return length < 0 || (bytes == nullptr && length > 0) ? kSioBadParam : 0;
    }
    // The close of a port that is not open: one whose device vanished closes cleanly, so it can
    // be opened again later.
    static int CloseClosed(Port& p) {
        const bool wasLost = p.lost;
        p.lost = false;
        p.lostReason.clear();
        return wasLost ? kSioOk : kSioBadPort;
    }

private:
    DeviceOf m_deviceOf;
    std::array<Port, kPortCount> m_ports;
};

} // namespace serial
