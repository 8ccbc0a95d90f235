#include "host_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

speed_t SpeedCode(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    default:
        return B9600;
    }
}

} // namespace

bool HostPort::Open(const std::string& path, int baud, Parity parity) {
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0)
        return false;
    if (ioctl(fd_, TIOCEXCL) != 0 || !SetLine(baud, parity)) {
        Close();
        return false;
    }
    return true;
}

void HostPort::Close() {
    if (fd_ < 0)
        return;
    ioctl(fd_, TIOCNXCL);
    close(fd_);
    fd_ = -1;
}

bool HostPort::SetLine(int baud, Parity parity) {
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD);
    if (parity != Parity::kNone)
        settings.c_cflag |= PARENB;
    if (parity == Parity::kOdd)
        settings.c_cflag |= PARODD;
    cfsetispeed(&settings, SpeedCode(baud));
    cfsetospeed(&settings, SpeedCode(baud));
    return tcsetattr(fd_, TCSANOW, &settings) == 0;
}

bool HostPort::Write(const core::Bytes& bytes) {
    return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

core::Bytes HostPort::Read(std::size_t count, std::chrono::milliseconds bound) {
    core::Bytes got;
    const auto end = Clock::now() + bound;
    while (got.size() < count && Clock::now() < end) {
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, 20) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0)
            got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

core::Bytes HostPort::ReadUntilQuiet(std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds bound) {
    core::Bytes got;
    const auto end = Clock::now() + bound;
    auto last = Clock::now();
    while (Clock::now() < end && Clock::now() - last < quiet) {
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, 10) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
            last = Clock::now();
        }
    }
    return got;
}

bool HostPort::Drained(std::chrono::milliseconds bound) {
    const auto end = Clock::now() + bound;
    while (Clock::now() < end) {
        int queued = 0;
        if (ioctl(fd_, TIOCOUTQ, &queued) != 0)
            return false;
        if (queued == 0)
            return true;
        poll(nullptr, 0, 5);
    }
    return false;
}

core::Bytes HostPort::Ask(const core::Bytes& request, std::size_t answer_size) {
    if (!Write(request))
        return {};
    return Read(answer_size);
}
