// The simulated module's firmware: one complete request frame and the module's state in,
// the answer bytes and the new state out. No device, no clock.
#pragma once

#include "core/catalogue.h"
#include "core/hex.h"
#include "module_state.h"

#include <cstdint>
#include <string_view>

namespace core {

struct ModuleReply {
    enum class Kind {
        kAnswer,   // `answer` goes back to the host
        kSilent,   // a request for this module that it does not answer (unknown code, bad value)
        kNotForMe, // a 4040 frame for another ID: raw data to send over the air
    };
    Kind kind = Kind::kSilent;
    Bytes answer;
    Framing answer_framing = Framing::k5A5A;
    ModuleState state;
    std::uint8_t command = 0; // the request's command number (03 for 8003)
    // The module moves to `state`'s serial rate and parity once the answer has left.
    bool serial_switch = false;
};

// `frame` is a complete request as ScanRequest found it. EDED requests get EDED answers, except
// the search, whose three fields only the 5A5A answer carries; 5A5A and 4040 requests are
// answered in their own framing.
ModuleReply Respond(const ModuleState& state, Framing framing, std::string_view frame);

} // namespace core
