#include "net_socket.h"

#include "sio.h"
#include "win32_sio.h"

#include <climits>
#include <type_traits>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace serial {

static_assert(std::is_same_v<Socket, SOCKET> && kNoSocket == INVALID_SOCKET);

std::string StartSockets() {
    // once per process, never cleaned up: the sockets are the program's until it ends
    static const int started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data);
    }();
    return started == 0 ? std::string()
                        : "cannot use the network (" + SystemErrorText(started) + ")";
}

Socket OpenSocket(const addrinfo& a) {
    const Socket s = ::WSASocketW(a.ai_family, a.ai_socktype, a.ai_protocol, nullptr, 0,
                                  WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    u_long on = 1;
    if (s != INVALID_SOCKET && ::ioctlsocket(s, FIONBIO, &on) != 0) {
        const int error = ::WSAGetLastError();
        ::closesocket(s);
        ::WSASetLastError(error);
        return INVALID_SOCKET;
    }
    return s;
}

int StartConnect(Socket s, const addrinfo& a) {
    return ::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) == 0 ? 0 : ::WSAGetLastError();
}

int ConnectError(Socket s) {
    int error = 0;
    int length = sizeof error;
    return ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0
               ? error
               : ::WSAGetLastError();
}

void CloseSocket(Socket s) {
    ::closesocket(s);
}

void SendAtOnce(Socket s) {
    const BOOL on = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

long SendSome(Socket s, const char* bytes, std::size_t length) {
    return ::send(s, bytes, static_cast<int>(length < INT_MAX ? length : INT_MAX), 0);
}

long ReceiveSome(Socket s, char* buffer, std::size_t length) {
    return ::recv(s, buffer, static_cast<int>(length < INT_MAX ? length : INT_MAX), 0);
}

bool WaitFor(Socket s, SocketEvent event, int ms) {
    WSAPOLLFD pfd{s, static_cast<SHORT>(event == SocketEvent::kReadable ? POLLIN : POLLOUT), 0};
    return ::WSAPoll(&pfd, 1, ms) > 0;
}

int LastSocketError() {
    return ::WSAGetLastError();
}

bool ConnectPending(int error) {
    return error == WSAEWOULDBLOCK;
}

bool WouldBlock(int error) {
    return error == WSAEWOULDBLOCK;
}

bool Interrupted(int error) {
    return error == WSAEINTR;
}

std::string SocketErrorText(int error) {
    return SystemErrorText(static_cast<unsigned long>(error));
}

std::string LookupErrorText(int result) {
    // getaddrinfo's results are Winsock errors
    return SystemErrorText(static_cast<unsigned long>(result));
}

int ReadinessOf(Socket) {
    return kSioNoReadiness;
}

} // namespace serial
