// Where the records of an exchange over a link another owner keeps go (the window's frame
// monitor and session log): the engine judged each frame itself, so the owner shows its records
// and verdicts and leaves the link's traffic in between alone rather than judging it again.
#pragma once

#include "core/frame_trace.h"

#include <chrono>

namespace serial {

class RecordSink {
public:
    // What passes the link between the two is the exchange's, and traced by it.
    virtual void ExchangeBegins() = 0;
    virtual void ExchangeEnds() = 0;
    // One of the exchange's records, with its port and line; `at` is when it happened.
    virtual void Record(core::FrameTraceRecord record,
                        std::chrono::steady_clock::time_point at) = 0;

protected:
    ~RecordSink() = default;
};

} // namespace serial
