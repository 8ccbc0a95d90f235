// A pseudo-terminal pair for tests: the code under test opens the slave path as its serial
// device, the test plays the far end on the master.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class PtyPair {
public:
    // Opens a master in raw mode; Ok() tells whether that worked.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return m_master >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }
    int MasterFd() const { return m_master; }

    // Writes all of `bytes` to the master; false when that fails or stalls for `timeoutMs`.
    bool Write(std::string_view bytes, int timeoutMs = 5000);
    // What the slave side sent: returns once `count` bytes arrived or `timeoutMs` passed.
    std::string Read(std::size_t count, int timeoutMs = 5000);
    // The far end goes away, as when a USB adapter is pulled out.
    void CloseMaster();

private:
    int m_master = -1;
    std::string m_slavePath;
};

// Calls `condition` until it holds or `timeoutMs` passed; returns its last answer.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
