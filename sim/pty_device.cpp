#include "pty_device.h"

#include "core/catalogue.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

struct Speed {
    int baud;
    speed_t code;
};
constexpr Speed kSpeeds[] = {{600, B600},     {1200, B1200},   {2400, B2400},
                             {4800, B4800},   {9600, B9600},   {19200, B19200},
                             {38400, B38400}, {57600, B57600}, {115200, B115200}};

std::string Failed(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

std::optional<PtyDevice> OpenPty(int rate_code, int parity, std::string& error) {
    PtyDevice device;
    device.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (device.master < 0) {
        error = Failed("posix_openpt");
        return std::nullopt;
    }
    const char* name = nullptr;
    if (grantpt(device.master) != 0 || unlockpt(device.master) != 0 ||
        (name = ptsname(device.master)) == nullptr) {
        error = Failed("preparing the pseudo-terminal");
        ClosePty(device);
        return std::nullopt;
    }
    device.path = name;
    device.held_slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    if (device.held_slave < 0 || tcgetattr(device.held_slave, &settings) != 0) {
        error = Failed(device.path.c_str());
        ClosePty(device);
        return std::nullopt;
    }
    // Raw from the start: with the default echo, the module would hear its own output.
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    if (parity == 2)
        settings.c_cflag |= PARENB | PARODD;
    else if (parity == 1)
        settings.c_cflag |= PARENB;
    const int baud = core::BaudFromRateCode(rate_code);
    for (const Speed& speed : kSpeeds)
        if (speed.baud == baud) {
            cfsetispeed(&settings, speed.code);
            cfsetospeed(&settings, speed.code);
        }
    if (tcsetattr(device.held_slave, TCSANOW, &settings) != 0) {
        error = Failed(device.path.c_str());
        ClosePty(device);
        return std::nullopt;
    }
    return device;
}

void ClosePty(PtyDevice& device) {
    for (int* fd : {&device.held_slave, &device.master})
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
}

std::optional<HostLine> ReadHostLine(int master) {
    termios settings{};
    if (tcgetattr(master, &settings) != 0)
        return std::nullopt;
    HostLine line;
    const speed_t code = cfgetospeed(&settings);
    for (const Speed& speed : kSpeeds)
        if (speed.code == code)
            line.baud = speed.baud;
    line.odd = (settings.c_cflag & PARODD) != 0;
    return line;
}

bool LineMatches(const HostLine& line, int rate_code, int parity) {
    return line.baud == core::BaudFromRateCode(rate_code) && line.odd == (parity == 2);
}

} // namespace sim
