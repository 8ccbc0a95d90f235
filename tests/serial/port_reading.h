// What the serial tests read back: the bytes a port receives, and the line a pseudo-terminal
// was set to.
#pragma once

#include "serial/commfunction.h"
#include "support/pty.h"

#include <gtest/gtest.h>

#include <string>
#include <termios.h>

// Polls as the receive loop does until `count` bytes came on `port` or the wait runs out.
inline std::string Collect(TCommFun& comm, int port, std::size_t count) {
    std::string got;
    WaitUntil([&] {
        core::Bytes chunk;
        comm.ReceiveData(port, chunk);
        got += chunk;
        return got.size() >= count;
    });
    return got;
}

inline termios LineOf(const PtyPair& pty) {
    termios tio{};
    EXPECT_EQ(::tcgetattr(pty.MasterFd(), &tio), 0);
    return tio;
}
