#include "fixed_baud_server.h"

#include "core/rfc2217.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

namespace rfc = core::rfc2217;

// How often the thread looks whether it is to stop.
constexpr int kLookMs = 20;

bool Readable(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, kLookMs) > 0;
}

void Send(int fd, const std::string& bytes) {
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

} // namespace

FixedBaudServer::FixedBaudServer(std::uint32_t baud) : baud_(baud) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

FixedBaudServer::~FixedBaudServer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        ::close(listener_);
}

void FixedBaudServer::Serve() {
    while (!stop_) {
        if (!Readable(listener_))
            continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        Session(fd);
        ::close(fd);
    }
}

void FixedBaudServer::Answer(int fd, const std::string& sub) const {
    if (sub.size() < 2 || static_cast<std::uint8_t>(sub[0]) != rfc::kComPort)
        return;
    const auto command = static_cast<std::uint8_t>(sub[1]);
    std::string value = sub.substr(2);
    if (command == rfc::kSetBaudrate)
        value = {char(baud_ >> 24), char(baud_ >> 16), char(baud_ >> 8), char(baud_)};
    Send(fd, rfc::ComPortCommand(static_cast<std::uint8_t>(command + rfc::kServerOffset), value));
}

void FixedBaudServer::Session(int fd) {
    // what the client's greeting asks for, agreed before it is read
    Send(fd, std::string{char(rfc::kIac), char(rfc::kDo), char(rfc::kBinary), char(rfc::kIac),
                         char(rfc::kWill), char(rfc::kBinary), char(rfc::kIac), char(rfc::kDo),
                         char(rfc::kComPort)});
    enum class State { kData, kCommand, kVerb, kSub, kSubIac } state = State::kData;
    std::string sub;
    while (!stop_) {
        if (!Readable(fd))
            continue;
        char buffer[512];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        for (ssize_t i = 0; i < got; ++i) {
            const auto b = static_cast<std::uint8_t>(buffer[i]);
            switch (state) {
            case State::kData:
                if (b == rfc::kIac)
                    state = State::kCommand;
                break;
            case State::kCommand:
                sub.clear();
                state = b == rfc::kSb ? State::kSub : b >= rfc::kWill ? State::kVerb : State::kData;
                break;
            case State::kVerb:
                state = State::kData;
                break;
            case State::kSub:
                if (b == rfc::kIac)
                    state = State::kSubIac;
                else
                    sub += buffer[i];
                break;
            case State::kSubIac:
                if (b == rfc::kIac) {
                    sub += buffer[i];
                    state = State::kSub;
                    break;
                }
                state = State::kData;
                Answer(fd, sub);
                break;
            }
        }
    }
}
