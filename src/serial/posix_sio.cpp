#include "posix_sio.h"

#include "ports.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace serial {

namespace {

// How long a write may wait beyond the line time of its bytes for the device to take them.
constexpr int kWriteGraceMs = 1000;

bool DeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

speed_t SpeedOf(int rate) {
    switch (rate) {
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    default:
        return B57600;
    }
}

int RateOf(speed_t speed) {
    for (const auto& b : kBaudCodes) {
        if (SpeedOf(b.rate) == speed)
            return b.rate;
    }
    return 9600;
}

tcflag_t SizeOf(int dataBits) {
    static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    return sizes[dataBits];
}

tcflag_t ParityFlags(int parity) {
    switch (parity) {
    case kParityOdd:
        return PARENB | PARODD;
    case kParityEven:
        return PARENB;
    case kParityMark:
        return PARENB | CMSPAR | PARODD;
    case kParitySpace:
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

// Unix98 pseudo-terminal slaves: character devices with majors 136 to 143.
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned int m = major(st.st_rdev);
    return m >= 136 && m <= 143;
}

} // namespace

bool LineHeld(const termios& asked, const termios& held, bool pseudoTerminal) {
    tcflag_t checked = CSIZE | CSTOPB | PARENB | PARODD | CMSPAR;
    if (pseudoTerminal)
        checked &= ~(CSIZE | PARENB);
    return ::cfgetospeed(&asked) == ::cfgetospeed(&held) &&
           (asked.c_cflag & checked) == (held.c_cflag & checked);
}

std::string OpenFailureReason(const std::string& device, int error) {
    std::string reason = device + ": " + std::strerror(error);
    switch (error) {
    case EACCES:
    case EPERM:
        return reason + " (add your user to the dialout group: sudo usermod -aG dialout $USER, "
                        "then log in again)";
    case EBUSY:
    case EWOULDBLOCK:
        return device + ": in use by another program";
    case ENOTTY:
        return device + ": not a serial device";
    default:
        return reason;
    }
}

int ApplyLineCodes(termios& tio, int baud, int mode) {
    const int rate = RateOfBaudCode(baud);
    const int parity = mode & kParityMask;
    if (rate == 0 || !ValidMode(mode))
        return 0;
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
    tio.c_cflag |= SizeOf(mode & kDataMask) | ParityFlags(parity);
    if (mode & kStop2)
        tio.c_cflag |= CSTOPB;
    ::cfsetispeed(&tio, SpeedOf(rate));
    ::cfsetospeed(&tio, SpeedOf(rate));
    return rate;
}

PosixSio::PosixSio(DeviceOf deviceOf) : SioPorts(std::move(deviceOf)) {}

PosixSio::~PosixSio() {
    for (int port = 1; port <= kPortCount; ++port)
        sio_close(port);
}

int PosixSio::FailOpen(Port& p, int code, std::string reason) {
    if (p.fd >= 0)
        ::close(p.fd);
    p.fd = -1;
    p.openError = std::move(reason);
    return code;
}

void PosixSio::Lose(Port& p, int error) {
    ::close(p.fd);
    p.fd = -1;
    p.lost = true;
    p.lostReason = DisconnectedReason(p.device, std::strerror(error));
}

int PosixSio::Fail(Port& p, int error) {
    if (DeviceGone(error)) {
        Lose(p, error);
        return kSioBadPort;
    }
    return kSioSystemFail;
}

int PosixSio::OpenDevice(int port, Port& p) {
    if (p.device.empty()) {
        return FailOpen(p, kSioOpenFail,
                        "No device for " + PortName(port) + ": name one as " + PortName(port) +
                            "=/dev/... in section [Ports] of Config.ini");
    }
    p.fd = ::open(p.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (p.fd < 0) {
        const int error = errno;
        const bool system = error == EMFILE || error == ENFILE || error == ENOMEM || error == EINTR;
        return FailOpen(p, system ? kSioSystemFail : kSioOpenFail,
                        OpenFailureReason(p.device, error));
    }
    // The lock keeps out programs that lock too (another instance of this tool among them);
    // exclusive mode keeps out the rest.
    if (::flock(p.fd, LOCK_EX | LOCK_NB) != 0)
        return FailOpen(p, kSioOpenFail, OpenFailureReason(p.device, EBUSY));
    termios tio{};
    if (::tcgetattr(p.fd, &tio) != 0) {
        const int error = errno;
        return FailOpen(p, error == ENOTTY ? kSioOpenFail : kSioSystemFail,
                        OpenFailureReason(p.device, error));
    }
    ::ioctl(p.fd, TIOCEXCL);
    // Raw bytes both ways; modem lines ignored so a missing carrier does not hang up the port.
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~CRTSCTS;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(p.fd, TCSANOW, &tio) != 0)
        return FailOpen(p, kSioSystemFail, OpenFailureReason(p.device, errno));
    p.rate = RateOf(::cfgetospeed(&tio));
    p.pseudoTerminal = IsPseudoTerminal(p.fd);
    p.lost = false;
    p.lostReason.clear();
    return kSioOk;
}

int PosixSio::sio_ioctl(int port, int baud, int mode) {
    Port* p = OpenAt(port);
    if (!p)
        return kSioBadPort;
    termios tio{};
    if (::tcgetattr(p->fd, &tio) != 0)
        return Fail(*p, errno);
    const int rate = ApplyLineCodes(tio, baud, mode);
    if (rate == 0)
        return kSioBadParam;
    // Applied at once: waiting for the output to drain could block on a stuck device. A C
    // library may answer EINVAL when the driver quietly dropped a flag, whatever else it took;
    // what the device holds afterwards decides.
    if (::tcsetattr(p->fd, TCSANOW, &tio) != 0 && errno != EINVAL)
        return Fail(*p, errno);
    termios held{};
    if (::tcgetattr(p->fd, &held) != 0)
        return Fail(*p, errno);
    if (!LineHeld(tio, held, p->pseudoTerminal))
        return kSioSystemFail;
    p->rate = rate;
    return kSioOk;
}

int PosixSio::sio_close(int port) {
    if (!Valid(port))
        return kSioBadPort;
    Port& p = At(port);
    if (p.fd < 0)
        return CloseClosed(p);
    ::ioctl(p.fd, TIOCNXCL);
    ::close(p.fd);
    p.fd = -1;
    return kSioOk;
}

int PosixSio::sio_write(int port, const char* data, int length) {
    Port* p = nullptr;
    if (const int bad = BufferCall(port, data, length, p))
        return bad;
    using Clock = std::chrono::steady_clock;
    const auto lineTime = std::chrono::milliseconds(10LL * 1000 * length / p->rate);
    const auto allowed = lineTime + std::chrono::milliseconds(kWriteGraceMs);
    const auto deadline = Clock::now() + allowed;
    p->writeError.clear();
    int written = 0;
    while (written < length) {
        const ssize_t n = ::write(p->fd, data + written, static_cast<size_t>(length - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            p->writeError = p->device + ": " + std::strerror(errno);
            return Fail(*p, errno);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            p->writeError = WriteStalledReason(p->device, written, length, allowed.count());
            return kSioWriteTimeout;
        }
        pollfd pfd{p->fd, POLLOUT, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            p->writeError = p->device + ": " + std::strerror(errno);
            return kSioSystemFail;
        }
        if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            Lose(*p, EIO);
            return kSioBadPort;
        }
    }
    return written;
}

int PosixSio::sio_iqueue(int port) {
    Port* p = OpenAt(port);
    if (!p)
        return kSioBadPort;
    int waiting = 0;
    if (::ioctl(p->fd, FIONREAD, &waiting) != 0)
        return Fail(*p, errno);
    if (waiting > 0)
        return waiting;
    // Whatever was waiting has been read; only now does a hang-up close the port, so the
    // last bytes a vanishing device sent are not lost.
    pollfd pfd{p->fd, POLLIN, 0};
    if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        Lose(*p, EIO);
        return kSioBadPort;
    }
    return 0;
}

int PosixSio::sio_read(int port, char* buffer, int length) {
    Port* p = nullptr;
    if (const int bad = BufferCall(port, buffer, length, p))
        return bad;
    if (length == 0)
        return 0;
    for (;;) {
        const ssize_t n = ::read(p->fd, buffer, static_cast<size_t>(length));
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EAGAIN)
            return 0;
        if (errno != EINTR)
            return Fail(*p, errno);
    }
}

} // namespace serial
