// The 20 ms receive poll: collects what the port delivers and hands it on after a quiet gap,
// to the answer handler, the pair test or the terminal, by the application state.
#pragma once

#include "core/hex.h"

#include <chrono>

struct Context;
namespace serial {
class Link;
}

class ReceiveLoop {
public:
    // Each poll takes what waits on the current port from `link`.
    ReceiveLoop(Context& ctx, serial::Link& link);

    void Timer1Timer();

    // The pair test's handling of one received frame. The pair test is not built yet, so the
    // frame ends here; it gets the bytes, the stop flag and the state the poll found.
    void ProcessTestReceipt(const core::Bytes& received, bool stopFlag, int state);

private:
    void UpdateFrameDelay();
    void HandOn(core::Bytes received);
    void ShowInTerminal(const core::Bytes& received);

    Context& m_ctx;
    serial::Link& m_link;
};
