#include "receive_loop.h"

#include "app/context.h"

ReceiveLoop::ReceiveLoop(Context& ctx) : m_ctx(ctx) {}

void ReceiveLoop::Timer1Timer() {}
