// The 20 ms receive poll: collects what the port delivers and hands it on after a quiet gap.
#pragma once

struct Context;

class ReceiveLoop {
public:
    explicit ReceiveLoop(Context& ctx);

    void Timer1Timer();

private:
    Context& m_ctx;
};
