// --verbose logging on standard error: time of day, module, direction, hex and what it is.
#pragma once

#include "core/catalogue.h"
#include "core/hex.h"

#include <string>
#include <string_view>

namespace sim {

class Log {
public:
    explicit Log(bool verbose) : verbose_(verbose) {}

    bool verbose() const { return verbose_; }
    // "12:00:01.250 module 0 in  5A5A...0D0A  8003 write air rate 05"
    void Frame(int module, std::string_view direction, const core::Bytes& bytes,
               const std::string& meaning) const;
    void Event(int module, const std::string& text) const;
    // Problems are reported whether or not the log is verbose.
    static void Problem(const std::string& text);

private:
    bool verbose_;
};

// "8003 write air rate 05": the command's name and the payload bytes of a frame.
std::string DescribeFrame(core::Framing framing, const core::Bytes& frame);

} // namespace sim
