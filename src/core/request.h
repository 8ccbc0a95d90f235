// A request ready for the wire: every sender of the tool builds its frame here, so the framing
// rules and the text kept to accept the answer live in one place.
#pragma once

#include "catalogue.h"
#include "hex.h"

#include <string>
#include <string_view>

namespace core {

struct Request {
    Bytes bytes;
    // The text the answer is accepted against: "8003", or "40408013" for the IO commands.
    std::string pendingCommand;
};

// `command` in `framing` with `payload` (hex text already in that framing); `id` is the 4040
// target ID (four hex digits), unused by the other framings.
Request BuildRequest(const Command& command, Framing framing, std::string_view payload,
                     std::string_view id = {});

} // namespace core
