// The window's name for the core session, and its state values unqualified as the handlers
// use them.
#pragma once

#include "core/session.h"

using Globals = core::Session;
using enum core::AppStateValue;
