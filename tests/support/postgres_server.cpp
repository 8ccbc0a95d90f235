#include "postgres_server.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

constexpr const char* kBin = "/usr/lib/postgresql/15/bin/";
// Only names the socket file: the server listens on no TCP port.
constexpr const char* kPort = "5432";

// The account initdb and the server run as when the test runs as root.
struct passwd* ServerAccount() {
    if (struct passwd* account = getpwnam("postgres"))
        return account;
    if (std::system("useradd --system --no-create-home --shell /usr/sbin/nologin qxtest-pg") != 0)
        return nullptr;
    return getpwnam("qxtest-pg");
}

// Runs `args` with output to `log`, as `account` when given; the pid, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::string& log,
            const struct passwd* account, const std::string& dir) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
    }
    if (account != nullptr && (setgroups(0, nullptr) != 0 || setgid(account->pw_gid) != 0 ||
                               setuid(account->pw_uid) != 0))
        _exit(126);
    if (chdir(dir.c_str()) != 0)
        _exit(126);
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

int ExitOf(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Tail(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    return all.size() > 2000 ? all.substr(all.size() - 2000) : all;
}

} // namespace

bool PostgresServer::Fail(const std::string& what) {
    m_error = what + "\n" + Tail(m_dir + "/server.log");
    return false;
}

bool PostgresServer::Start() {
    std::string dir = "/tmp/qxpg-XXXXXX";
    if (mkdtemp(dir.data()) == nullptr)
        return Fail("cannot make a temporary directory");
    m_dir = dir;
    const struct passwd* account = getuid() == 0 ? ServerAccount() : nullptr;
    if (getuid() == 0 && account == nullptr)
        return Fail("running as root, and no account for the server (postgres or qxtest-pg)");
    const std::string log = m_dir + "/server.log";
    // mkdtemp made it 0700: only the server's account reaches the cluster and the socket
    if (account != nullptr && chown(m_dir.c_str(), account->pw_uid, account->pw_gid) != 0)
        return Fail("cannot hand " + m_dir + " to the server's account");
    const pid_t init = Spawn({std::string(kBin) + "initdb", "-D", m_dir + "/data", "-U", "qx",
                              "--auth=trust", "--no-sync", "-E", "UTF8", "--locale=C"},
                             log, account, m_dir);
    if (init < 0 || ExitOf(init) != 0)
        return Fail("initdb failed");
    m_pid = Spawn({std::string(kBin) + "postgres", "-D", m_dir + "/data", "-k", m_dir, "-h", "",
                   "-p", kPort, "-c", "fsync=off"},
                  log, account, m_dir);
    if (m_pid < 0)
        return Fail("cannot start postgres");
    for (int i = 0; i < 300; ++i) {
        const pid_t ready =
            Spawn({std::string(kBin) + "pg_isready", "-q", "-h", m_dir, "-p", kPort}, "/dev/null",
                  nullptr, "/");
        if (ExitOf(ready) == 0)
            return true;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return Fail("postgres ended at its start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return Fail("postgres does not take connections after 30 s");
}

std::string PostgresServer::Url() const {
    return "postgresql:///postgres?host=" + m_dir + "&port=" + kPort + "&user=qx";
}

PostgresServer::~PostgresServer() {
    if (m_pid > 0) {
        kill(m_pid, SIGINT); // fast shutdown: ends the sessions, then the server
        int status = 0;
        bool ended = false;
        for (int i = 0; i < 1000 && !ended; ++i) {
            ended = waitpid(m_pid, &status, WNOHANG) != 0;
            if (!ended)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
        }
    }
    if (!m_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}
