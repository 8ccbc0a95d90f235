#include "rfc2217.h"

namespace core::rfc2217 {

namespace {

std::string Command(std::uint8_t verb, std::uint8_t option) {
    return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

std::uint8_t Byte(char c) {
    return static_cast<std::uint8_t>(c);
}

int Bit(std::uint8_t command) {
    return 1 << command;
}

} // namespace

std::string Escape(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (Byte(c) == kIac)
            out += c;
    }
    return out;
}

std::string ComPortCommand(std::uint8_t command, std::string_view value) {
    return Command(kSb, kComPort) + static_cast<char>(command) + Escape(value) +
           static_cast<char>(kIac) + static_cast<char>(kSe);
}

std::string Client::Greeting() {
    return Command(kWill, kBinary) + Command(kDo, kBinary) + Command(kWill, kComPort);
}

bool Client::BinaryBothWays() const {
    return m_binaryIn == Option::kOn && m_binaryOut == Option::kOn;
}

std::string Client::Take(std::string_view received, std::string& data) {
    std::string reply;
    for (const char c : received) {
        const std::uint8_t b = Byte(c);
        switch (m_state) {
        case State::kData:
            if (b == kIac)
                m_state = State::kCommand;
            else
                data += c;
            break;
        case State::kCommand:
            if (b == kIac) {
                data += c;
                m_state = State::kData;
            } else if (b == kSb) {
                m_sub.clear();
                m_state = State::kSub;
            } else if (b >= kWill) {
                m_verb = b;
                m_state = State::kVerb;
            } else {
                m_state = State::kData; // NOP, GA and the like carry nothing for a serial port
            }
            break;
        case State::kVerb:
            reply += Negotiate(m_verb, b);
            m_state = State::kData;
            break;
        case State::kSub:
            if (b == kIac)
                m_state = State::kSubIac;
            else if (m_sub.size() < 64) // no answer of COM-PORT-OPTION is longer
                m_sub += c;
            break;
        case State::kSubIac:
            if (b == kIac) {
                if (m_sub.size() < 64)
                    m_sub += c;
                m_state = State::kSub;
            } else {
                // IAC SE ends it; anything else after IAC is a broken sub-negotiation, ended too
                SubNegotiation(m_sub);
                m_state = State::kData;
            }
            break;
        }
    }
    return reply;
}

std::string Client::Negotiate(std::uint8_t verb, std::uint8_t option) {
    // Our side (WILL): BINARY and COM-PORT-OPTION; their side (DO): BINARY. An answer goes
    // only where the state changes and we had not asked, so no negotiation loops.
    const bool ours = verb == kDo || verb == kDont;
    Option* state = nullptr;
    if (ours && (option == kBinary || option == kComPort))
        state = option == kBinary ? &m_binaryOut : &m_comPort;
    else if (!ours && option == kBinary)
        state = &m_binaryIn;
    const bool enable = verb == kDo || verb == kWill;
    if (!state) {
        // everything else stays off: refuse a request to turn it on
        if (!enable)
            return {};
        return Command(ours ? kWont : kDont, option);
    }
    const Option was = *state;
    *state = enable ? Option::kOn : Option::kOff;
    if (was == Option::kAsked || was == *state)
        return {};
    if (ours)
        return Command(enable ? kWill : kWont, option);
    return Command(enable ? kDo : kDont, option);
}

void Client::SubNegotiation(std::string_view sub) {
    if (sub.size() < 2 || Byte(sub[0]) != kComPort || Byte(sub[1]) <= kServerOffset)
        return;
    const int command = Byte(sub[1]) - kServerOffset;
    const std::string_view value = sub.substr(2);
    if (command < kSetBaudrate || command > kSetStopsize || !(m_pending & Bit(command)))
        return; // NOTIFY-LINESTATE, NOTIFY-MODEMSTATE, PURGE-DATA and the rest: nothing to check
    if (value.size() != (command == kSetBaudrate ? 4u : 1u))
        return;
    m_pending &= ~Bit(command);
    bool held = true;
    switch (command) {
    case kSetBaudrate: {
        std::uint32_t baud = 0;
        for (const char c : value)
            baud = baud << 8 | Byte(c);
        m_acknowledged.baud = baud;
        held = baud == m_asked.baud;
        break;
    }
    case kSetDatasize:
        m_acknowledged.dataSize = Byte(value[0]);
        held = m_acknowledged.dataSize == m_asked.dataSize;
        break;
    case kSetParity:
        m_acknowledged.parity = Byte(value[0]);
        held = m_acknowledged.parity == m_asked.parity;
        break;
    default:
        m_acknowledged.stopSize = Byte(value[0]);
        held = m_acknowledged.stopSize == m_asked.stopSize;
        break;
    }
    if (!held)
        m_refused = true;
}

std::string Client::AskLine(const Line& line) {
    m_asked = line;
    m_acknowledged = line;
    m_refused = false;
    m_pending = Bit(kSetBaudrate) | Bit(kSetDatasize) | Bit(kSetParity) | Bit(kSetStopsize);
    const std::string baud{static_cast<char>(line.baud >> 24), static_cast<char>(line.baud >> 16),
                           static_cast<char>(line.baud >> 8), static_cast<char>(line.baud)};
    return ComPortCommand(kSetBaudrate, baud) +
           ComPortCommand(kSetDatasize, std::string(1, static_cast<char>(line.dataSize))) +
           ComPortCommand(kSetParity, std::string(1, static_cast<char>(line.parity))) +
           ComPortCommand(kSetStopsize, std::string(1, static_cast<char>(line.stopSize)));
}

LineAnswer Client::LineAnswered() const {
    if (m_refused)
        return LineAnswer::kRefused;
    return m_pending ? LineAnswer::kWaiting : LineAnswer::kHeld;
}

} // namespace core::rfc2217
