#include "catalogue.h"

#include "decimal_entry.h"
#include "hex.h"

#include <array>

namespace core {

namespace {

using enum PayloadKind;

constexpr std::array kCommands{
    Command{cmd::kSearch, false, true, kRead, "search"},
    Command{cmd::kWriteSerial, false, true, kSerialSettings, "write serial settings"},
    Command{cmd::kReadSerial, false, true, kRead, "read serial settings"},
    Command{cmd::kWriteAirRate, false, true, kByte, "write air rate"},
    Command{cmd::kReadAirRate, false, true, kRead, "read air rate"},
    Command{cmd::kWriteChannel, false, true, kByte, "write channel"},
    Command{cmd::kReadChannel, false, true, kRead, "read channel"},
    Command{cmd::kStartTxTest, false, true, kRead, "start TX test"},
    Command{cmd::kEndTxTest, false, true, kRead, "end TX test"},
    Command{cmd::kWriteProtocol, false, false, kByte, "write air protocol"},
    Command{cmd::kWriteSerialNumber, false, false, kSerialNumber, "write serial number"},
    Command{cmd::kReadSerialNumber, false, false, kRead, "read serial number"},
    Command{cmd::kWriteId, false, false, kWord, "write module ID"},
    Command{cmd::kReadId, false, false, kRead, "read module ID"},
    Command{cmd::kWriteAll, false, false, kWriteAll, "write all parameters"},
    Command{cmd::kWritePowerSave, false, false, kByte, "write power-saving mode"},
    Command{cmd::kReadPowerSave, false, false, kRead, "read power-saving mode"},
    Command{cmd::kSerialWakeUp, false, false, kRead, "serial wake-up"},
    Command{cmd::kReadFieldStrength, false, true, kRead, "read field strength"},
    Command{cmd::kSetPowerLevel, false, true, kByte, "set power level"},
    Command{cmd::kReadProtocol, false, false, kRead, "read air protocol"},
    Command{cmd::kReadAll, false, false, kRead, "read all parameters"},
    Command{cmd::kSetDutyCycle, false, false, kDutyCycle, "set sleep duty cycle"},
    Command{cmd::kSetOutputPower, false, false, kByte, "set output power"},
    Command{cmd::kAdjustCapacitance, false, false, kByte, "adjust capacitance frequency"},
    Command{cmd::kIoWrite, true, false, kIoLine, "write IO line"},
    Command{cmd::kIoRead, true, false, kRead, "read IO lines"},
};

std::string Byte(int value) {
    return ToHex(static_cast<std::uint32_t>(value), 2);
}

} // namespace

std::span<const Command> Commands() {
    return kCommands;
}

const Command* FindCommand(std::uint8_t code, bool io) {
    for (const Command& c : kCommands)
        if (c.code == code && c.io == io)
            return &c;
    return nullptr;
}

const Command& CommandAt(std::uint8_t code) {
    return *FindCommand(code);
}

Framing FramingFor(const Command& command, std::string_view variant_type) {
    if (command.io)
        return Framing::k4040;
    if (command.has_eded && variant_type == "MORVANTELIS")
        return Framing::kEDED;
    return Framing::k5A5A;
}

std::string RequestCode(std::uint8_t code, Framing framing) {
    return (framing == Framing::kEDED ? "" : "80") + Byte(code);
}

std::string AnswerCode(std::uint8_t code, Framing framing) {
    return (framing == Framing::kEDED ? "" : "00") + Byte(code);
}

std::string LastCommandText(const Command& command) {
    return (command.io ? "4040" : "") + RequestCode(command.code, Framing::k5A5A);
}

std::string CommandLogName(std::uint8_t code, bool io) {
    const Command* command = FindCommand(code, io);
    if (command == nullptr)
        return (io ? "4040" : "") + RequestCode(code, Framing::k5A5A) + " unknown command";
    return LastCommandText(*command) + " " + command->name;
}

std::size_t RequestPayloadSize(const Command& command, Framing framing) {
    switch (command.payload) {
    case kRead:
    case kByte:
    case kSerialSettings:
        // the short framing drops the second byte: filler, or the parity
        return framing == Framing::kEDED ? 1 : 2;
    case kWord:
    case kIoLine:
        return 2;
    case kWriteAll:
    case kDutyCycle:
        return 4;
    case kSerialNumber:
        return 5;
    }
    return 0;
}

std::string ReadPayload(Framing framing) {
    return framing == Framing::kEDED ? "00" : "0000";
}

std::string BytePayload(int value, Framing framing) {
    return Byte(value) + (framing == Framing::kEDED ? "" : "00");
}

std::string SerialSettingsPayload(int rate_code, int parity_code, Framing framing) {
    // The short framing has no room for the parity: those modules run without one.
    return Byte(rate_code) + (framing == Framing::kEDED ? "" : Byte(parity_code));
}

std::string WordPayload(std::uint16_t value) {
    return ToHex(value, 4);
}

std::string WriteAllPayload(int channel, int air_rate_code, int serial_rate_code, int parity_code) {
    return Byte(channel) + Byte(air_rate_code) + Byte(serial_rate_code) + Byte(parity_code);
}

std::optional<std::string> DutyCyclePayload(int on_ms, int sleep_s) {
    // The sleep time travels in ms in two bytes, so 65 s is the most that fits.
    if (on_ms < 1 || on_ms > 0xFFFF || sleep_s < 1 || sleep_s > 65)
        return std::nullopt;
    return ToHex(static_cast<std::uint32_t>(on_ms), 4) +
           ToHex(static_cast<std::uint32_t>(sleep_s * 1000), 4);
}

std::string IoWritePayload(int line, int level) {
    return Byte(line) + Byte(level);
}

std::optional<std::string> CapacitancePayload(std::string_view typed) {
    // The module takes seven bits.
    const std::optional<std::uint32_t> value = DecimalInRange(typed, 0, 127);
    if (!value)
        return std::nullopt;
    return BytePayload(static_cast<int>(*value), Framing::k5A5A);
}

int RateCodeFromPosition(int position) {
    return position + 2;
}

int RatePositionFromCode(int code) {
    return code >= 2 && code <= 8 ? code - 2 : -1;
}

int BaudFromRateCode(int code) {
    static constexpr std::array kBauds{600, 1200, 2400, 4800, 9600, 19200, 38400, 57600};
    return code >= 1 && code <= 8 ? kBauds[static_cast<std::size_t>(code - 1)] : 0;
}

int ParityCodeFromPosition(int position) {
    static constexpr std::array kCodes{1, 2, 0}; // even, odd, none
    return position >= 0 && position <= 2 ? kCodes[static_cast<std::size_t>(position)] : -1;
}

int ParityPositionFromCode(int code) {
    static constexpr std::array kPositions{2, 0, 1}; // none, even, odd
    return code >= 0 && code <= 2 ? kPositions[static_cast<std::size_t>(code)] : -1;
}

int ChannelFromPosition(int position) {
    return position + 1;
}

int ChannelPositionFromNumber(int channel) {
    return channel - 1;
}

int DecimalReadField(std::string_view pair) {
    return HexByteValue(pair);
}

} // namespace core
