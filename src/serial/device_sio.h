// The serial calls for any device name a port stands for: a network URL (rfc2217://, socket://)
// goes to the network implementation, everything else to the local terminal one. Which one a
// port uses is settled at its open. The local one is Windows' COM ports or POSIX terminals.
#pragma once

#include "net_sio.h"
#ifdef _WIN32
#include "win32_sio.h"
#else
#include "posix_sio.h"
#endif

#include <array>
#include <functional>
#include <string>

namespace serial {

class DeviceSio : public Sio {
public:
    using DeviceOf = std::function<std::string(int port)>;

    explicit DeviceSio(DeviceOf deviceOf);

    int sio_open(int port) override;
    int sio_ioctl(int port, int baud, int mode) override {
        return Of(port).sio_ioctl(port, baud, mode);
    }
    int sio_close(int port) override { return Of(port).sio_close(port); }
    int sio_write(int port, const char* data, int length) override {
        return Of(port).sio_write(port, data, length);
    }
    int sio_iqueue(int port) override { return Of(port).sio_iqueue(port); }
    int sio_read(int port, char* buffer, int length) override {
        return Of(port).sio_read(port, buffer, length);
    }
    int sio_readiness(int port) override { return Of(port).sio_readiness(port); }
    std::string LastOpenError(int port) const override { return Of(port).LastOpenError(port); }
    std::string LastWriteError(int port) const override { return Of(port).LastWriteError(port); }
    std::string LastLineError(int port) const override { return Of(port).LastLineError(port); }
    std::string AcknowledgedLine(int port) const override {
        return Of(port).AcknowledgedLine(port);
    }
    std::string TakeLostReason(int port) override { return Of(port).TakeLostReason(port); }

private:
#ifdef _WIN32
    using LocalSio = Win32Sio;
#else
    using LocalSio = PosixSio;
#endif
    bool Net(int port) const;
    Sio& Of(int port) {
        return Net(port) ? static_cast<Sio&>(m_network) : m_local;
    }
    const Sio& Of(int port) const {
        return Net(port) ? static_cast<const Sio&>(m_network) : m_local;
    }

    // What the implementations open: the device each port's last open named.
    DeviceOf Opened() {
        return [this](int port) { return m_devices[static_cast<std::size_t>(port - 1)]; };
    }

    DeviceOf m_deviceOf;
    // the device each port's last open named, so the name is read once per open
    std::array<std::string, kPortCount> m_devices;
    LocalSio m_local{Opened()};
    std::array<bool, kPortCount> m_net{};
    NetSio m_network{Opened()};
};

} // namespace serial
