#include "module_brain.h"

#include "core/frame.h"

#include <array>
#include <vector>

namespace core {

namespace {

struct Field {
    int ModuleState::*member = nullptr;
    int width = 1; // bytes on the wire, big-endian
};

// A command that reads or writes a fixed list of settings; its answer carries their values.
struct Exchange {
    std::uint8_t command;
    bool write;
    std::array<Field, 4> fields;
    bool serial_switch = false;
};

using S = ModuleState;

constexpr std::array kExchanges{
    Exchange{0x00, false, {{{&S::family}, {&S::firmware}, {&S::base_frequency}}}},
    Exchange{0x01, true, {{{&S::serial_rate}, {&S::parity}}}, true},
    Exchange{0x02, false, {{{&S::serial_rate}, {&S::parity}}}},
    Exchange{0x03, true, {{{&S::air_rate}}}},
    Exchange{0x04, false, {{{&S::air_rate}}}},
    Exchange{0x05, true, {{{&S::channel}}}},
    Exchange{0x06, false, {{{&S::channel}}}},
    Exchange{0x09, true, {{{&S::air_protocol}}}},
    Exchange{0x0A, true, {{{&S::model}, {&S::year}, {&S::month}, {&S::number, 2}}}},
    Exchange{0x0B, false, {{{&S::model}, {&S::year}, {&S::month}, {&S::number, 2}}}},
    Exchange{0x0C, true, {{{&S::id, 2}}}},
    Exchange{0x0D, false, {{{&S::id, 2}}}},
    Exchange{0x0E, true, {{{&S::channel}, {&S::air_rate}, {&S::serial_rate}, {&S::parity}}}, true},
    Exchange{0x0F, true, {{{&S::power_save}}}},
    Exchange{0x10, false, {{{&S::power_save}}}},
    Exchange{0x12, false, {{{&S::field_strength}}}},
    Exchange{0x13, true, {{{&S::power_level}}}},
    Exchange{0x14, false, {{{&S::air_protocol}}}},
    Exchange{0x15, false, {{{&S::channel}, {&S::air_rate}, {&S::serial_rate}, {&S::parity}}}},
    Exchange{0x16, true, {{{&S::wake_ms, 2}, {&S::sleep_ms, 2}}}},
    Exchange{0x17, true, {{{&S::output_power}}}},
    Exchange{0x19, true, {{{&S::capacitance}}}},
};

// Commands whose whole effect is a fixed one: the transmit test's start and end, the wake-up.
struct Action {
    std::uint8_t command;
    int ModuleState::*member;
    int value;
};
constexpr std::array kActions{
    Action{0x07, &S::tx_test, 1},
    Action{0x08, &S::tx_test, 0},
    Action{0x11, nullptr, 0},
};

// The commands that have an EDED form.
bool HasEded(std::uint8_t command) {
    return command <= 0x08 || command == 0x12 || command == 0x13;
}

unsigned At(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

const Exchange* FindExchange(std::uint8_t command) {
    for (const Exchange& exchange : kExchanges)
        if (exchange.command == command)
            return &exchange;
    return nullptr;
}

// Reads big-endian fields from the payload into the state; false (state untouched) when the
// payload is too short or a value is one the module cannot take.
bool ApplyWrite(const Exchange& exchange, std::string_view payload, ModuleState& state) {
    ModuleState next = state;
    std::size_t at = 0;
    for (const Field& field : exchange.fields) {
        if (field.member == nullptr)
            break;
        if (at + static_cast<std::size_t>(field.width) > payload.size())
            return false;
        int value = 0;
        for (int i = 0; i < field.width; ++i)
            value = value << 8 | static_cast<int>(At(payload, at++));
        if (!StoreSetting(next, field.member, value))
            return false;
    }
    state = next;
    return true;
}

std::string FieldsHex(const Exchange& exchange, const ModuleState& state) {
    std::string hex;
    for (const Field& field : exchange.fields)
        if (field.member != nullptr)
            hex += ToHex(static_cast<std::uint32_t>(state.*(field.member)), field.width * 2);
    return hex;
}

ModuleReply Answer(ModuleReply reply, Framing framing, std::string_view address,
                   std::string payload) {
    reply.kind = ModuleReply::Kind::kAnswer;
    reply.answer_framing = framing;
    if (framing == Framing::kEDED) {
        reply.answer = BuildFrameEDED(ToHex(reply.command, 2), payload);
        return reply;
    }
    // Short answers carry a filler byte, as the requests do.
    while (payload.size() < 4)
        payload += "00";
    reply.answer = BuildFrame5A5A(address, "00" + ToHex(reply.command, 2), payload);
    return reply;
}

ModuleReply RespondIo(ModuleReply reply, std::string_view frame) {
    const int id = static_cast<int>(At(frame, 3) << 8 | At(frame, 4));
    if (id != reply.state.id) {
        reply.kind = ModuleReply::Kind::kNotForMe;
        return reply;
    }
    const std::string_view payload = frame.substr(8, At(frame, 5) - 5u);
    std::string data;
    if (reply.command == 0x12) {
        if (payload.size() < 2)
            return reply;
        const int line = static_cast<int>(At(payload, 0));
        const int level = static_cast<int>(At(payload, 1));
        if ((line != 1 && line != 2) ||
            !StoreSetting(reply.state, line == 1 ? &S::output1 : &S::output2, level))
            return reply;
        data = ToHex(static_cast<std::uint32_t>(line), 2) +
               ToHex(static_cast<std::uint32_t>(level), 2);
    } else if (reply.command == 0x13) {
        data = ToHex(static_cast<std::uint32_t>(reply.state.input1), 2) +
               ToHex(static_cast<std::uint32_t>(reply.state.input2), 2);
    } else {
        return reply;
    }
    reply.kind = ModuleReply::Kind::kAnswer;
    reply.answer_framing = Framing::k4040;
    reply.answer = BuildFrame4040(ToHex(static_cast<std::uint32_t>(id), 4), ToHex(At(frame, 2), 2),
                                  "00" + ToHex(reply.command, 2), data);
    return reply;
}

} // namespace

ModuleReply Respond(const ModuleState& state, Framing framing, std::string_view frame) {
    ModuleReply reply;
    reply.state = state;
    if (framing == Framing::k4040) {
        reply.command = static_cast<std::uint8_t>(At(frame, 7));
        return RespondIo(reply, frame);
    }
    const bool eded = framing == Framing::kEDED;
    reply.command = static_cast<std::uint8_t>(At(frame, eded ? 2 : 6));
    if (eded && !HasEded(reply.command))
        return reply;
    const std::string_view payload = eded ? frame.substr(3, 1) : frame.substr(8, At(frame, 7));
    const std::string address = eded ? "0000" : BytesToHex(frame.substr(2, 2));

    for (const Action& action : kActions) {
        if (action.command != reply.command)
            continue;
        if (action.member != nullptr)
            reply.state.*(action.member) = action.value;
        return Answer(reply, framing, address, eded ? "00" : "0000");
    }
    const Exchange* exchange = FindExchange(reply.command);
    if (exchange == nullptr)
        return reply;
    if (exchange->write) {
        // The EDED serial-settings write carries the rate alone; the module keeps its parity.
        const std::string eded_serial =
            eded && reply.command == 0x01
                ? std::string(payload) + static_cast<char>(reply.state.parity)
                : std::string(payload);
        if (!ApplyWrite(*exchange, eded_serial, reply.state))
            return reply;
        reply.serial_switch = exchange->serial_switch;
    }
    std::string data = FieldsHex(*exchange, reply.state);
    if (reply.command == 0x00)
        return Answer(reply, Framing::k5A5A, address, data);
    if (eded)
        data.resize(2); // the EDED answers carry their first field only
    return Answer(reply, framing, address, data);
}

} // namespace core
