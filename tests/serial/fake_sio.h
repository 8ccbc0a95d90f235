// A scripted serial library: every call answers `result` (a write its length, unless `result`
// is negative).
#pragma once

#include "serial/sio.h"

#include <string>
#include <utility>

class FakeSio : public serial::Sio {
public:
    int result = serial::kSioOk;
    int baud = -1, mode = -1, writes = 0;
    std::string lostReason;

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
    int sio_iqueue(int) override { return result; }
    int sio_read(int, char*, int) override { return result; }
    std::string LastOpenError(int) const override { return {}; }
    std::string TakeLostReason(int) override { return std::exchange(lostReason, {}); }
};
