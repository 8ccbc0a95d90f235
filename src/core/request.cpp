#include "request.h"

#include "frame.h"

namespace core {

namespace {

// Every 5A5A request carries the address 0000, every 4040 request the attribute A6.
constexpr std::string_view kAddress = "0000";
constexpr std::string_view kAttribute = "A6";

Bytes Frame(const Command& command, Framing framing, std::string_view payload,
            std::string_view id) {
    const std::string code = RequestCode(command.code, framing);
    switch (framing) {
    case Framing::kEDED:
        return BuildFrameEDED(code, payload);
    case Framing::k4040:
        return BuildFrame4040(id, kAttribute, code, payload);
    case Framing::k5A5A:
        break;
    }
    return BuildFrame5A5A(kAddress, code, payload);
}

} // namespace

Request BuildRequest(const Command& command, Framing framing, std::string_view payload,
                     std::string_view id) {
    return {Frame(command, framing, payload, id), LastCommandText(command)};
}

} // namespace core
