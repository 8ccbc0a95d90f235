// The window's name for the core session, and its state values unqualified as the handlers
// use them.
#pragma once

#include "core/session.h"

using Globals = core::Session;
using enum core::AppStateValue;

// The language rule's inputs as the session holds them, for the subsystems that show texts: read
// at each use, so a changed code takes effect with the next text.
struct SessionLanguage {
    const std::string& LangCode;
    const std::string& VariantType;

    core::TextRule Texts() const { return {LangCode, VariantType}; }
    const char* Message(core::TextId id) const { return Texts().Message(id); }
    bool Morvantelis() const { return core::IsMorvantelis(VariantType); }
};
