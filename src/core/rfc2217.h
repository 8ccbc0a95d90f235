// The client side of a serial port reached over Telnet with the COM port control option
// (RFC 2217): BINARY both ways, the line settings asked for and their acknowledgements checked,
// IAC doubled in data both ways. Only what that needs of Telnet: every other option is refused,
// every other command skipped. Bytes in, bytes out; the socket belongs to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core::rfc2217 {

constexpr std::uint8_t kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250,
                       kSe = 240;
constexpr std::uint8_t kBinary = 0, kSuppressGoAhead = 3, kComPort = 44;
// COM-PORT-OPTION commands a client sends; the server answers each with its number + 100.
constexpr std::uint8_t kSetBaudrate = 1, kSetDatasize = 2, kSetParity = 3, kSetStopsize = 4,
                       kPurgeData = 12, kServerOffset = 100;
// Their values: parity 1 none, 2 odd, 3 even, 4 mark, 5 space; stop size 1, 2 (3 is 1.5);
// purge 3 clears both buffers.
constexpr std::uint8_t kParityNone = 1, kParityOdd = 2, kParityEven = 3, kParityMark = 4,
                       kParitySpace = 5, kPurgeBoth = 3;

// A line as RFC 2217 codes it.
struct Line {
    std::uint32_t baud = 0;
    std::uint8_t dataSize = 8;
    std::uint8_t parity = kParityNone;
    std::uint8_t stopSize = 1;
    friend bool operator==(const Line&, const Line&) = default;
};

// `data` with each IAC doubled, as it must go to the server.
std::string Escape(std::string_view data);
// IAC SB COM-PORT-OPTION `command` `value` IAC SE, IAC in the value doubled.
std::string ComPortCommand(std::uint8_t command, std::string_view value);

// What the server acknowledged of the line last asked for.
enum class LineAnswer { kWaiting, kHeld, kRefused };

class Client {
public:
    // The negotiation that opens a session: BINARY both ways and COM-PORT-OPTION.
    static std::string Greeting();

    // Takes bytes from the server: the port's data in them (IAC IAC undone) is appended to
    // `data`; returns what must go back (answers to the server's negotiation). A command cut
    // between two calls is taken whole at the second.
    std::string Take(std::string_view received, std::string& data);

    // Whether the server agreed to COM-PORT-OPTION (it said DO), so commands may go.
    bool ComPortAgreed() const { return m_comPort == Option::kOn; }
    // Whether the server refused it (DONT): it is a plain Telnet server, no serial port.
    bool ComPortRefused() const { return m_comPort == Option::kOff; }
    // Whether BINARY is on both ways: bytes with the top bit set and CR pass unchanged.
    bool BinaryBothWays() const;

    // The four line commands; the answers to them are checked from now on.
    std::string AskLine(const Line& line);
    LineAnswer LineAnswered() const;
    // The line as far as the server acknowledged it (the asked values until then).
    const Line& Acknowledged() const { return m_acknowledged; }

private:
    enum class Option : std::uint8_t { kAsked, kOn, kOff };
    enum class State : std::uint8_t { kData, kCommand, kVerb, kSub, kSubIac };

    // The answer to a negotiation verb about `option`, updating what stands; empty for none.
    std::string Negotiate(std::uint8_t verb, std::uint8_t option);
    void SubNegotiation(std::string_view sub);

    State m_state = State::kData;
    std::uint8_t m_verb = 0;
    std::string m_sub;
    Option m_comPort = Option::kAsked;   // we WILL
    Option m_binaryOut = Option::kAsked; // we WILL
    Option m_binaryIn = Option::kAsked;  // we DO
    Line m_asked;
    Line m_acknowledged;
    int m_pending = 0; // bits 1..4: the line commands not yet answered
    bool m_refused = false;
};

} // namespace core::rfc2217
