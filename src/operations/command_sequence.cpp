#include "command_sequence.h"

#include "app/context.h"

CommandSequence::CommandSequence(Context& ctx) : m_ctx(ctx) {}

bool CommandSequence::PairTestGuard() {
    return true;
}
