// The few socket calls the network ports make, alike on POSIX sockets and Winsock: what differs
// between the two (the socket's type, how it is made non-blocking and closed, where the last
// error is kept and its words, the poll) stays behind these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct addrinfo;

namespace serial {

// A descriptor on POSIX; Winsock's SOCKET, a handle-sized number, on Windows.
#ifdef _WIN32
using Socket = std::uintptr_t;
#else
using Socket = int;
#endif
// -1 on POSIX; Winsock's INVALID_SOCKET, all bits set.
inline constexpr Socket kNoSocket = static_cast<Socket>(-1);

enum class SocketEvent { kReadable, kWritable };

// Readies the system's sockets once per process (Winsock asks for it before any call): empty,
// else why not.
std::string StartSockets();
// A stream socket for address `a`, non-blocking and not inherited by child processes;
// kNoSocket (with LastSocketError()) when none was made.
Socket OpenSocket(const addrinfo& a);
// Starts connecting `s` to `a`: 0 when connected at once, else the error (ConnectPending()
// while the connection is under way).
int StartConnect(Socket s, const addrinfo& a);
// How a connection that was under way ended, once `s` is writable: 0 or the error.
int ConnectError(Socket s);
void CloseSocket(Socket s);
// Small writes leave at once rather than waiting to be batched.
void SendAtOnce(Socket s);
// A send or receive that does not wait: the count (0 from a receive: the far end closed), or -1
// with LastSocketError().
long SendSome(Socket s, const char* bytes, std::size_t length);
long ReceiveSome(Socket s, char* buffer, std::size_t length);
// Waits at most `ms` for `event` on `s`: whether it came (or an error did).
bool WaitFor(Socket s, SocketEvent event, int ms);

// The error of the last socket call on this thread, and what kind it is.
int LastSocketError();
bool ConnectPending(int error);
bool WouldBlock(int error);
bool Interrupted(int error);
// The system's words for a socket error, and for a failed getaddrinfo's result.
std::string SocketErrorText(int error);
std::string LookupErrorText(int result);

// What tells that bytes wait on `s` (Sio::sio_readiness): a POSIX socket is a descriptor to
// watch; a Winsock socket is none, so callers poll there.
int ReadinessOf(Socket s);

} // namespace serial
