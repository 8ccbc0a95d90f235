// The read and write buttons of the parameter groups on the first tab.
#pragma once

struct Context;

class ParameterCommands {
public:
    explicit ParameterCommands(Context& ctx);

private:
    Context& m_ctx;
};
