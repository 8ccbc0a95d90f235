// The serial calls on a port that a server on the network exposes: rfc2217://host:port (Telnet
// with the COM port control option: the line settings reach the far port) or socket://host:port
// (raw TCP: the far port keeps the server's line). Every wait is short and bounded, so the
// window stalls no longer than on a local port.
#pragma once

#include "core/rfc2217.h"
#include "net_device.h"
#include "net_socket.h"
#include "sio_ports.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace serial {

struct NetPort : PortRecord {
    // `fd` is 0 while the port is open, -1 otherwise; the socket is kept here.
    Socket socket = kNoSocket;
    NetDevice net;
    core::rfc2217::Client telnet;
    std::string data;   // the far port's bytes taken from the socket, not yet read
    bool ended = false; // the server closed the connection; lost once `data` is read
};

// Looks a host name up as ::getaddrinfo does (the list it gives is freed by ::freeaddrinfo).
// It may run on a thread of its own and outlive the open that asked.
using Resolver = std::function<int(const std::string& host, const std::string& service,
                                   const addrinfo& hints, addrinfo** found)>;
int SystemResolver(const std::string& host, const std::string& service, const addrinfo& hints,
                   addrinfo** found);

class NetSio : public SioPorts<NetPort> {
public:
    explicit NetSio(DeviceOf deviceOf, Resolver resolve = SystemResolver);
    ~NetSio() override;
    NetSio(const NetSio&) = delete;
    NetSio& operator=(const NetSio&) = delete;

    // rfc2217: sends the line and waits, bounded, for the server to acknowledge each part.
    // socket: the line cannot be set; it is taken without effect (the server's line stands).
    int sio_ioctl(int port, int baud, int mode) override;
    int sio_close(int port) override;
    int sio_write(int port, const char* data, int length) override;
    int sio_iqueue(int port) override;
    int sio_read(int port, char* buffer, int length) override;
    // rfc2217: what the server last acknowledged, refused lines included.
    std::string AcknowledgedLine(int port) const override;
    // The socket to watch on POSIX; on Windows none (ReadinessOf), so callers poll.
    int sio_readiness(int port) override;

private:
    using Port = NetPort;

    int OpenDevice(int port, Port& p) override;

    int FailOpen(Port& p, std::string reason);
    void Lose(Port& p, const std::string& why);
    // Sends all of `bytes` within the write wait; false (with writeError) when it could not.
    bool SendAll(Port& p, const std::string& bytes);
    // Takes what the socket holds into `data`, answering the server's negotiation; false when
    // the connection ended (the port is then lost once `data` is read).
    bool Pump(Port& p);
    // Pumps until `done` holds or `ms` have passed; whether it held.
    bool PumpUntil(Port& p, int ms, const std::function<bool()>& done);

    Resolver m_resolve;
};

} // namespace serial
