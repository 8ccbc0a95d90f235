#include "ser2net_process.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Local(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// Whether something listens on 127.0.0.1:`port`, read from /proc so that no connection is made:
// ser2net opens the device for every connection, and a probe would hold it for a moment.
bool Listens(int port) {
    std::ifstream in("/proc/net/tcp");
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted && state == "0A")
            return true;
    }
    return false;
}

} // namespace

int FreeLocalPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = Local(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(fd);
    return port;
}

Ser2netProcess::~Ser2netProcess() {
    Stop();
    if (!dir_.empty())
        std::filesystem::remove_all(dir_);
}

bool Ser2netProcess::Start(const std::string& device) {
    if (dir_.empty()) {
        std::string pattern = "/tmp/qxser2netXXXXXX";
        if (!mkdtemp(pattern.data())) {
            error_ = "no temporary directory";
            return false;
        }
        dir_ = pattern;
        rfc_port_ = FreeLocalPort();
        raw_port_ = FreeLocalPort();
    }
    const std::string config = dir_ + "/ser2net.yaml";
    {
        std::ofstream out(config);
        for (const auto& [accepter, port] :
             {std::pair{"telnet(rfc2217),tcp(nodelay)", rfc_port_},
              std::pair{"tcp(nodelay)", raw_port_}})
            out << "connection: &port" << port << "\n"
                << "  accepter: " << accepter << ",127.0.0.1," << port << "\n"
                << "  connector: serialdev," << device << ",9600n81,local\n"
                << "  options:\n    kickolduser: true\n    chardelay: false\n";
    }
    pid_ = fork();
    if (pid_ == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        // -n: stays in the foreground, so its pid is ours; -u: no UUCP lock files
        execlp("ser2net", "ser2net", "-n", "-u", "-c", config.c_str(), "-P",
               (dir_ + "/pid").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid_ < 0) {
        error_ = "cannot fork";
        return false;
    }
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
        if (Listens(rfc_port_) && Listens(raw_port_))
            return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "ser2net ended at its start (is it installed?)";
            return false;
        }
        poll(nullptr, 0, 20);
    }
    error_ = "ser2net did not listen within 10 s";
    Stop();
    return false;
}

void Ser2netProcess::Stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    const auto end = Clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > end) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        poll(nullptr, 0, 10);
    }
    pid_ = -1;
}
