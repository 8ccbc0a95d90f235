#include "net_socket.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace serial {

std::string StartSockets() {
    return {};
}

Socket OpenSocket(const addrinfo& a) {
    return ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
}

int StartConnect(Socket s, const addrinfo& a) {
    return ::connect(s, a.ai_addr, a.ai_addrlen) == 0 ? 0 : errno;
}

int ConnectError(Socket s) {
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0 ? error : errno;
}

void CloseSocket(Socket s) {
    ::close(s);
}

void SendAtOnce(Socket s) {
    const int on = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

long SendSome(Socket s, const char* bytes, std::size_t length) {
    // a server that went away is an error to report, not a signal that ends the program
    return ::send(s, bytes, length, MSG_NOSIGNAL);
}

long ReceiveSome(Socket s, char* buffer, std::size_t length) {
    return ::recv(s, buffer, length, MSG_DONTWAIT);
}

bool WaitFor(Socket s, SocketEvent event, int ms) {
    pollfd pfd{s, static_cast<short>(event == SocketEvent::kReadable ? POLLIN : POLLOUT), 0};
    return ::poll(&pfd, 1, ms) > 0;
}

int LastSocketError() {
    return errno;
}

bool ConnectPending(int error) {
    return error == EINPROGRESS;
}

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

bool Interrupted(int error) {
    return error == EINTR;
}

std::string SocketErrorText(int error) {
    return std::strerror(error);
}

std::string LookupErrorText(int result) {
    return ::gai_strerror(result);
}

int ReadinessOf(Socket s) {
    return s;
}

} // namespace serial
