#include "net_sio.h"

#include "net_socket.h"
#include "ports.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

// getaddrinfo and its flags
#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <netdb.h>
#endif

namespace serial {

namespace {

using Clock = std::chrono::steady_clock;
namespace rfc = core::rfc2217;

// Each wait the network adds: about a local port's write wait, so the window stalls no longer.
constexpr int kLookupMs = 1000;
constexpr int kConnectMs = 1000;
constexpr int kNegotiationMs = 1000;
constexpr int kLineMs = 1000;
constexpr int kWriteMs = 1000;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

std::string Where(const NetDevice& d) {
    return d.host + " port " + d.service;
}

// A lookup shared by the open that waits for it and the thread that makes it, so either may
// end first: the one that ends last frees it.
struct Lookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false; // the open stopped waiting: the thread frees what it finds
    int rc = 0;
    addrinfo* found = nullptr;
};

// The addresses of `d` into `found`: a numeric host at once, a name by `resolve` on a thread of
// its own awaited for at most kLookupMs (a resolver may hang far longer than a port may stall).
// False with the reason in `error`.
bool LookUp(const NetDevice& d, const Resolver& resolve, addrinfo*& found, std::string& error) {
    if (const std::string why = StartSockets(); !why.empty()) {
        error = why;
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    int rc = ::getaddrinfo(d.host.c_str(), d.service.c_str(), &hints, &found);
    if (rc == EAI_NONAME) {
        hints.ai_flags = AI_NUMERICSERV;
        const auto lookup = std::make_shared<Lookup>();
        try {
            std::thread([lookup, resolve, host = d.host, service = d.service, hints] {
                addrinfo* got = nullptr;
                const int result = resolve(host, service, hints, &got);
                const std::lock_guard lock(lookup->mutex);
                if (lookup->abandoned) {
                    if (result == 0)
                        ::freeaddrinfo(got);
                    return;
                }
                lookup->rc = result;
                lookup->found = got;
                lookup->done = true;
                lookup->finished.notify_one();
            }).detach();
        } catch (const std::system_error& e) {
            error = "cannot look up " + Where(d) + " (" + e.what() + ")";
            return false;
        }
        std::unique_lock lock(lookup->mutex);
        if (!lookup->finished.wait_for(lock, std::chrono::milliseconds(kLookupMs),
                                       [&lookup] { return lookup->done; })) {
            lookup->abandoned = true;
            error = "the lookup of " + Where(d) + " took longer than " + std::to_string(kLookupMs) +
                    " ms";
            return false;
        }
        rc = lookup->rc;
        found = lookup->found;
    }
    if (rc != 0) {
        error = "cannot find host " + d.host + " (" + LookupErrorText(rc) + ")";
        return false;
    }
    return true;
}

// Connects to `d` within kConnectMs of its lookup: the socket, or kNoSocket with the reason in
// `error`.
Socket Connect(const NetDevice& d, const Resolver& resolve, std::string& error) {
    addrinfo* found = nullptr;
    if (!LookUp(d, resolve, found, error))
        return kNoSocket;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kConnectMs);
    Socket s = kNoSocket;
    error = "no address for " + Where(d);
    for (const addrinfo* a = found; a && s == kNoSocket; a = a->ai_next) {
        s = OpenSocket(*a);
        if (s == kNoSocket) {
            error = "cannot make a socket (" + SocketErrorText(LastSocketError()) + ")";
            continue;
        }
        int err = StartConnect(s, *a);
        bool timedOut = false;
        if (ConnectPending(err)) {
            timedOut = !WaitFor(s, SocketEvent::kWritable, MsLeft(deadline));
            if (!timedOut)
                err = ConnectError(s);
        }
        if (!timedOut && err == 0)
            break;
        error = timedOut ? Where(d) + " did not answer within " + std::to_string(kConnectMs) + " ms"
                         : "no server at " + Where(d) + " (" + SocketErrorText(err) + ")";
        CloseSocket(s);
        s = kNoSocket;
    }
    ::freeaddrinfo(found);
    // requests are short and answers awaited: no batching of small writes
    if (s != kNoSocket)
        SendAtOnce(s);
    return s;
}

std::uint8_t ParityOf(int mode) {
    switch (mode & kParityMask) {
    case kParityOdd:
        return rfc::kParityOdd;
    case kParityEven:
        return rfc::kParityEven;
    case kParityMark:
        return rfc::kParityMark;
    case kParitySpace:
        return rfc::kParitySpace;
    default:
        return rfc::kParityNone;
    }
}

std::optional<rfc::Line> LineOf(int baud, int mode) {
    const int rate = RateOfBaudCode(baud);
    if (rate == 0 || !ValidMode(mode))
        return std::nullopt;
    return rfc::Line{static_cast<std::uint32_t>(rate),
                     static_cast<std::uint8_t>(5 + (mode & kDataMask)), ParityOf(mode),
                     static_cast<std::uint8_t>(mode & kStop2 ? 2 : 1)};
}

// "600 8O1", as the frame trace writes a line.
std::string LineText(const rfc::Line& line) {
    const char* const parities = "?NOEMS";
    return std::to_string(line.baud) + " " + std::to_string(line.dataSize) +
           (line.parity <= rfc::kParitySpace ? parities[line.parity] : '?') +
           std::to_string(line.stopSize);
}

} // namespace

int SystemResolver(const std::string& host, const std::string& service, const addrinfo& hints,
                   addrinfo** found) {
    return ::getaddrinfo(host.c_str(), service.c_str(), &hints, found);
}

NetSio::NetSio(DeviceOf deviceOf, Resolver resolve)
    : SioPorts(std::move(deviceOf)), m_resolve(std::move(resolve)) {}

NetSio::~NetSio() {
    for (int port = 1; port <= kPortCount; ++port)
        sio_close(port);
}

int NetSio::FailOpen(Port& p, std::string reason) {
    if (p.socket != kNoSocket)
        CloseSocket(p.socket);
    p.fd = -1;
    p.socket = kNoSocket;
    p.openError = p.device + ": " + std::move(reason);
    return kSioOpenFail;
}

void NetSio::Lose(Port& p, const std::string& why) {
    CloseSocket(p.socket);
    p.fd = -1;
    p.socket = kNoSocket;
    p.lost = true;
    p.lostReason = p.device + ": " + why;
}

int NetSio::OpenDevice(int, Port& p) {
    const auto net = ParseNetDevice(p.device);
    if (!net)
        return FailOpen(p, "not a network port: write rfc2217://host:port or socket://host:port");
    p.net = *net;
    std::string error;
    p.socket = Connect(p.net, m_resolve, error);
    if (p.socket == kNoSocket)
        return FailOpen(p, error);
    p.fd = 0;
    p.telnet = {};
    p.data.clear();
    p.ended = false;
    p.lost = false;
    p.lostReason.clear();
    if (!p.net.rfc2217)
        return kSioOk;
    if (!SendAll(p, rfc::Client::Greeting()))
        return FailOpen(p, p.writeError);
    const bool settled = PumpUntil(p, kNegotiationMs, [&p] {
        return p.ended || p.telnet.ComPortRefused() ||
               (p.telnet.ComPortAgreed() && p.telnet.BinaryBothWays());
    });
    if (p.ended)
        return FailOpen(p, "the server at " + Where(p.net) + " closed the connection");
    if (p.telnet.ComPortRefused())
        return FailOpen(p, "the server at " + Where(p.net) +
                               " refuses COM port control (for raw TCP write socket://)");
    if (!settled)
        return FailOpen(p, "the server at " + Where(p.net) +
                               " did not agree to binary COM port control within " +
                               std::to_string(kNegotiationMs) +
                               " ms (for raw TCP write socket://)");
    // What the far port received before this session belongs to no request of it.
    if (!SendAll(p, rfc::ComPortCommand(rfc::kPurgeData, std::string(1, char(rfc::kPurgeBoth)))))
        return FailOpen(p, p.writeError);
    return kSioOk;
}

int NetSio::sio_ioctl(int port, int baud, int mode) {
    Port* p = OpenAt(port);
    if (!p)
        return kSioBadPort;
    const auto line = LineOf(baud, mode);
    if (!line)
        return kSioBadParam;
    p->lineError.clear();
    if (!p->net.rfc2217)
        return kSioOk; // the server's line stands; nothing here can change it
    if (!SendAll(*p, p->telnet.AskLine(*line))) {
        p->lineError = p->writeError;
        return p->fd < 0 ? kSioBadPort : kSioSystemFail;
    }
    PumpUntil(*p, kLineMs,
              [p] { return p->ended || p->telnet.LineAnswered() != rfc::LineAnswer::kWaiting; });
    switch (p->telnet.LineAnswered()) {
    case rfc::LineAnswer::kHeld:
        return kSioOk;
    case rfc::LineAnswer::kRefused:
        p->lineError = p->device + ": the server acknowledged " +
                       LineText(p->telnet.Acknowledged()) + " where " + LineText(*line) +
                       " was asked";
        return kSioSystemFail;
    case rfc::LineAnswer::kWaiting:
        break;
    }
    if (p->fd < 0) // lost while it waited
        return kSioBadPort;
    if (p->ended) {
        Lose(*p, "the server closed the connection");
        return kSioBadPort;
    }
    p->lineError = p->device + ": the server did not acknowledge " + LineText(*line) + " within " +
                   std::to_string(kLineMs) + " ms";
    return kSioSystemFail;
}

std::string NetSio::AcknowledgedLine(int port) const {
    const Port* p = OpenAt(port);
    if (!p || !p->net.rfc2217 || p->telnet.Acknowledged().baud == 0)
        return {};
    return LineText(p->telnet.Acknowledged());
}

int NetSio::sio_close(int port) {
    if (!Valid(port))
        return kSioBadPort;
    Port& p = At(port);
    if (p.fd < 0)
        return CloseClosed(p);
    CloseSocket(p.socket);
    p.fd = -1;
    p.socket = kNoSocket;
    return kSioOk;
}

int NetSio::sio_readiness(int port) {
    const Port* p = OpenAt(port);
    return p ? ReadinessOf(p->socket) : kSioBadPort;
}

bool NetSio::SendAll(Port& p, const std::string& bytes) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteMs);
    p.writeError.clear();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const long n = SendSome(p.socket, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        const int err = n < 0 ? LastSocketError() : 0;
        if (n < 0 && Interrupted(err))
            continue;
        if (n < 0 && !WouldBlock(err)) {
            const std::string why = SocketErrorText(err);
            p.writeError = p.device + ": " + why;
            Lose(p, "the connection broke (" + why + ")");
            return false;
        }
        const int left = MsLeft(deadline);
        if (left == 0) {
            p.writeError = p.device + ": the server took " + std::to_string(sent) + " of " +
                           std::to_string(bytes.size()) + " bytes in " + std::to_string(kWriteMs) +
                           " ms";
            return false;
        }
        WaitFor(p.socket, SocketEvent::kWritable, left);
    }
    return true;
}

bool NetSio::Pump(Port& p) {
    char buffer[4096];
    for (;;) {
        const long n = ReceiveSome(p.socket, buffer, sizeof buffer);
        if (n > 0) {
            const std::string_view got(buffer, static_cast<std::size_t>(n));
            if (!p.net.rfc2217) {
                p.data.append(got);
                continue;
            }
            const std::string answer = p.telnet.Take(got, p.data);
            if (!answer.empty() && !SendAll(p, answer))
                return false;
            continue;
        }
        const int err = n < 0 ? LastSocketError() : 0;
        if (n < 0 && Interrupted(err))
            continue;
        if (n < 0 && WouldBlock(err))
            return true;
        p.ended = true; // 0: closed by the server; else reset
        return false;
    }
}

bool NetSio::PumpUntil(Port& p, int ms, const std::function<bool()>& done) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (p.fd < 0)
            return false;
        Pump(p);
        if (done())
            return true;
        const int left = MsLeft(deadline);
        if (left == 0 || p.fd < 0)
            return false;
        WaitFor(p.socket, SocketEvent::kReadable, left);
    }
}

int NetSio::sio_write(int port, const char* data, int length) {
    Port* p = nullptr;
    if (const int bad = BufferCall(port, data, length, p))
        return bad;
    const std::string_view bytes(data, static_cast<std::size_t>(length));
    if (!SendAll(*p, p->net.rfc2217 ? rfc::Escape(bytes) : std::string(bytes)))
        return p->fd < 0 ? kSioBadPort : kSioWriteTimeout;
    return length;
}

int NetSio::sio_iqueue(int port) {
    Port* p = OpenAt(port);
    if (!p)
        return kSioBadPort;
    if (!p->ended)
        Pump(*p);
    if (p->fd < 0)
        return kSioBadPort;
    if (!p->data.empty())
        return static_cast<int>(p->data.size());
    // the last bytes the server sent are read before the port counts as lost
    if (p->ended) {
        Lose(*p, "the server closed the connection");
        return kSioBadPort;
    }
    return 0;
}

int NetSio::sio_read(int port, char* buffer, int length) {
    Port* p = nullptr;
    if (const int bad = BufferCall(port, buffer, length, p))
        return bad;
    if (!p->ended)
        Pump(*p);
    if (p->fd < 0)
        return kSioBadPort;
    const auto count = std::min(p->data.size(), static_cast<std::size_t>(length));
    std::memcpy(buffer, p->data.data(), count);
    p->data.erase(0, count);
    return static_cast<int>(count);
}

} // namespace serial
