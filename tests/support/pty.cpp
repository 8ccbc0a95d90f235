#include "pty.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

PtyPair::PtyPair() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0)
        return;
    const char* name = ::ptsname(m_master);
    termios tio{};
    // Raw from the start, so nothing the master writes is echoed or translated before the
    // code under test sets the line up.
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || !name ||
        ::tcgetattr(m_master, &tio) != 0) {
        CloseMaster();
        return;
    }
    m_slavePath = name;
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);
}

PtyPair::~PtyPair() {
    CloseMaster();
}

bool PtyPair::Write(std::string_view bytes, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!bytes.empty() && m_master >= 0) {
        const ssize_t n = ::write(m_master, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd pfd{m_master, POLLOUT, 0};
        if (::poll(&pfd, 1, MsLeft(deadline)) == 0)
            return false;
    }
    return bytes.empty();
}

std::string PtyPair::Read(std::size_t count, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string got;
    char buffer[4096];
    while (got.size() < count && m_master >= 0) {
        const ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        // EIO: no slave is open (yet or any more); wait in small steps rather than spin.
        if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO)
            break;
        const int left = MsLeft(deadline);
        if (left == 0)
            break;
        pollfd pfd{m_master, POLLIN, 0};
        if (::poll(&pfd, 1, std::min(left, 10)) > 0 && (pfd.revents & POLLHUP))
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 10)));
    }
    return got;
}

void PtyPair::CloseMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (Clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
