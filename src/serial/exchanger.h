// One request at a time to a module, its reply handed to a callback: the blocking port calls it
// before its Submit returns, the window's once the reply has come while its thread went on. What
// asks a module through it (the profile's steps) is written once for both front ends.
#pragma once

#include "core/catalogue.h"
#include "core/exchange_engine.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace serial {

class Exchanger {
public:
    using Done = std::function<void(core::ExchangeReply reply)>;

    // Sends `command` in the framing this port uses for it and hands the engine's reply to
    // `done`, once: the answer, no answer, refused, or kPortLost with its cause. `wait` bounds
    // the silence before the answer and inside it.
    virtual void Submit(const core::Command& command, std::string_view payload,
                        std::chrono::milliseconds wait, std::string_view id, Done done) = 0;
    // The module answered at its old line and moves now: the port follows it to `baud` and
    // `parity` (0 none, 1 even, 2 odd) and waits `settle` there before its next request. Why it
    // could not; empty when it did.
    virtual std::string FollowLine(int baud, int parity, std::chrono::milliseconds settle) = 0;

    virtual core::Framing FramingOf(const core::Command& command) const = 0;
    virtual const std::string& Name() const = 0;
    // The model variant the port talks to: the long framing's name, else empty.
    virtual const std::string& Variant() const = 0;
    virtual int Parity() const = 0;
    // Added to a refusal's message: where to look for the answer that was refused.
    virtual const std::string& RefusalHint() const = 0;

protected:
    ~Exchanger() = default;
};

} // namespace serial
