// A scripted serial library: every call answers `result` (a write its length, unless `result`
// is negative). Bytes put in `incoming` wait on the port until a read takes them.
#pragma once

#include "serial/sio.h"

#include <algorithm>
#include <string>
#include <utility>

class FakeSio : public serial::Sio {
public:
    int result = serial::kSioOk;
    int baud = -1, mode = -1, writes = 0;
    std::string lostReason;
    std::string lineError;
    std::string incoming;
    int readiness = serial::kSioNoReadiness;

    int sio_open(int) override { return result; }
    int sio_ioctl(int, int b, int m) override {
        baud = b;
        mode = m;
        return result;
    }
    int sio_close(int) override { return result; }
    int sio_write(int, const char*, int length) override {
        ++writes;
        return result < 0 ? result : length;
    }
    int sio_iqueue(int) override {
        return result < 0 || incoming.empty() ? result : static_cast<int>(incoming.size());
    }
    int sio_read(int, char* buffer, int length) override {
        if (result < 0 || incoming.empty())
            return result;
        const int count = std::min(length, static_cast<int>(incoming.size()));
        std::copy_n(incoming.begin(), count, buffer);
        incoming.erase(0, static_cast<std::size_t>(count));
        return count;
    }
    int sio_readiness(int) override { return readiness; }
    std::string LastOpenError(int) const override { return {}; }
    std::string LastWriteError(int) const override { return {}; }
    std::string LastLineError(int) const override { return lineError; }
    std::string AcknowledgedLine(int) const override { return {}; }
    std::string TakeLostReason(int) override { return std::exchange(lostReason, {}); }
};
