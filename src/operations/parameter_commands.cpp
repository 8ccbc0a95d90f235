#include "parameter_commands.h"

#include "app/context.h"

ParameterCommands::ParameterCommands(Context& ctx) : m_ctx(ctx) {}
