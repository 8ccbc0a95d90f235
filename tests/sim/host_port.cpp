#include "host_port.h"

#include "serial/posix_sio.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The serial layer's code for a rate; 9600 for one it does not offer.
int BaudCodeOf(int baud) {
    for (const auto& b : serial::kBaudCodes) {
        if (b.rate == baud)
            return b.code;
    }
    return 12;
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
    const int mode = serial::kData8 | (parity == Parity::kOdd    ? serial::kParityOdd
                                       : parity == Parity::kEven ? serial::kParityEven
                                                                 : serial::kParityNone);
    return serial::ApplyLineCodes(settings, BaudCodeOf(baud), mode) != 0 &&
           tcsetattr(fd_, TCSANOW, &settings) == 0;
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
