// A PostgreSQL server of its own for a test: Debian's initdb makes a cluster in a temporary
// directory, and the server listens only on a socket in that directory (no TCP), started and
// stopped by its pid. initdb and the server refuse to run as root, so as root they run as the
// `postgres` account the postgresql package makes (or `qxtest-pg`, added with useradd when
// that is missing), with the directory handed to it.
#pragma once

#include <string>
#include <sys/types.h>

class PostgresServer {
public:
    PostgresServer() = default;
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;
    ~PostgresServer(); // stops the server and removes its directory

    // initdb, start, and wait (at most 30 s) until it takes connections. False with error().
    bool Start();
    // The URL a client connects with: superuser `qx`, database `postgres`, over the socket.
    std::string Url() const;
    pid_t pid() const { return m_pid; }
    const std::string& error() const { return m_error; }

private:
    bool Fail(const std::string& what);

    std::string m_dir;
    pid_t m_pid = -1;
    std::string m_error;
};
