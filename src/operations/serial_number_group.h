// The factory serial number group: read, write, the running number and the parameter lock.
#pragma once

struct Context;

class SerialNumberGroup {
public:
    explicit SerialNumberGroup(Context& ctx);

    void SpeedButton24Click();
    void SpeedButton25Click();

private:
    Context& m_ctx;
};
