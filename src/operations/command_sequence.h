// The sequence every operator command runs: guard, record, frame, send, report.
#pragma once

struct Context;

class CommandSequence {
public:
    explicit CommandSequence(Context& ctx);

    // False, after the warning, while a pair transfer test runs.
    bool PairTestGuard();

private:
    Context& m_ctx;
};
