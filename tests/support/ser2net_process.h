// ser2net as a child of a test: one device exposed over RFC 2217 and over raw TCP on free local
// ports, its configuration generated in a temporary directory, started and stopped by pid.
#pragma once

#include <string>
#include <sys/types.h>

class Ser2netProcess {
public:
    Ser2netProcess() = default;
    Ser2netProcess(const Ser2netProcess&) = delete;
    Ser2netProcess& operator=(const Ser2netProcess&) = delete;
    ~Ser2netProcess();

    // Serves `device`, on new free ports the first time and on the same ones after a Stop;
    // waits, at most 10 s, until both accept connections. False (with error()) otherwise.
    bool Start(const std::string& device);
    // SIGTERM, then waits for the exit (SIGKILL after 10 s).
    void Stop();

    pid_t pid() const { return pid_; }
    std::string Rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(rfc_port_); }
    std::string SocketUrl() const { return "socket://127.0.0.1:" + std::to_string(raw_port_); }
    const std::string& error() const { return error_; }

private:
    pid_t pid_ = -1;
    int rfc_port_ = 0;
    int raw_port_ = 0;
    std::string dir_;
    std::string error_;
};

// A TCP port on 127.0.0.1 that nothing listens on now.
int FreeLocalPort();
