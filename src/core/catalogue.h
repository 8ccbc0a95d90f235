// The commands the tool sends, their codes in each framing, and how the operator's
// values become payload hex. Payloads are upper-case hex text, two digits per byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace core {

enum class Framing { k5A5A, kEDED, k4040 };

// Command numbers; the 5A5A request code is 0x80 followed by the number.
namespace cmd {
inline constexpr std::uint8_t kSearch = 0x00;
inline constexpr std::uint8_t kWriteSerial = 0x01;
inline constexpr std::uint8_t kReadSerial = 0x02;
inline constexpr std::uint8_t kWriteAirRate = 0x03;
inline constexpr std::uint8_t kReadAirRate = 0x04;
inline constexpr std::uint8_t kWriteChannel = 0x05;
inline constexpr std::uint8_t kReadChannel = 0x06;
inline constexpr std::uint8_t kStartTxTest = 0x07;
inline constexpr std::uint8_t kEndTxTest = 0x08;
inline constexpr std::uint8_t kWriteProtocol = 0x09;
inline constexpr std::uint8_t kWriteSerialNumber = 0x0A;
inline constexpr std::uint8_t kReadSerialNumber = 0x0B;
inline constexpr std::uint8_t kWriteId = 0x0C;
inline constexpr std::uint8_t kReadId = 0x0D;
inline constexpr std::uint8_t kWriteAll = 0x0E;
inline constexpr std::uint8_t kWritePowerSave = 0x0F;
inline constexpr std::uint8_t kReadPowerSave = 0x10;
inline constexpr std::uint8_t kSerialWakeUp = 0x11;
inline constexpr std::uint8_t kReadFieldStrength = 0x12;
inline constexpr std::uint8_t kSetPowerLevel = 0x13;
inline constexpr std::uint8_t kReadProtocol = 0x14;
inline constexpr std::uint8_t kReadAll = 0x15;
inline constexpr std::uint8_t kSetDutyCycle = 0x16;
inline constexpr std::uint8_t kSetOutputPower = 0x17;
inline constexpr std::uint8_t kAdjustCapacitance = 0x19;
// The IO commands travel in the 4040 framing and reuse the numbers 12 and 13.
inline constexpr std::uint8_t kIoWrite = 0x12;
inline constexpr std::uint8_t kIoRead = 0x13;
} // namespace cmd

// How a request's payload is made from the operator's values.
enum class PayloadKind {
    kRead,           // "0000" / "00"
    kByte,           // one value byte, filler "00" in 5A5A / the byte alone in EDED
    kSerialSettings, // rate code + parity code / rate code alone
    kWord,           // two bytes big-endian (module ID)
    kWriteAll,       // channel, air rate, serial rate, parity
    kSerialNumber,   // model, year, month, running number (serial_number.h builds it)
    kDutyCycle,      // on time in ms, sleep time in ms, two bytes each
    kIoLine,         // line number + level
};

struct Command {
    std::uint8_t code;
    bool io; // sent in the 4040 framing with the target ID in the header
    bool has_eded;
    PayloadKind payload;
    const char* name; // short English name for logs, e.g. "write air rate"
};

// Every command, ordered by code, the two IO commands last.
std::span<const Command> Commands();
// The command with this number; nullptr for unknown numbers (18 among them).
const Command* FindCommand(std::uint8_t code, bool io = false);
// The command of one of the catalogue's own codes (`cmd::k...`), which is always there.
const Command& CommandAt(std::uint8_t code);

// The framing a sender uses under a variant: 4040 for the IO commands, EDED for the commands
// that have an EDED form when the variant is "MORVANTELIS", 5A5A otherwise. The RF test's timed
// sequence sends 07/08 in 5A5A whatever the variant and so does not ask here.
Framing FramingFor(const Command& command, std::string_view variant_type);

// Request code as the frame carries it: "8003" (5A5A, 4040) or "03" (EDED).
std::string RequestCode(std::uint8_t code, Framing framing);
// Answer code the module returns: "0003" (5A5A, 4040) or "03" (EDED).
std::string AnswerCode(std::uint8_t code, Framing framing);
// The text kept to accept the answer: "8003", or "40408013" for the IO commands.
std::string LastCommandText(const Command& command);
// "8003 write air rate"; "40408013 read IO lines"; "8018 unknown command".
std::string CommandLogName(std::uint8_t code, bool io = false);

// Bytes a well-formed request payload of this command carries in a framing.
std::size_t RequestPayloadSize(const Command& command, Framing framing);

// Payload builders. Values are bytes 0..255 unless stated.
std::string ReadPayload(Framing framing);
std::string BytePayload(int value, Framing framing);
std::string SerialSettingsPayload(int rate_code, int parity_code, Framing framing);
std::string WordPayload(std::uint16_t value);
std::string WriteAllPayload(int channel, int air_rate_code, int serial_rate_code, int parity_code);
// on_ms 1..65535, sleep_s 1..65 (sent as ms); nullopt outside those ranges.
std::optional<std::string> DutyCyclePayload(int on_ms, int sleep_s);
std::string IoWritePayload(int line, int level);
// The capacitance value the operator typed, decimal 0..127, as its byte and the 5A5A filler;
// nullopt for an empty text, other characters or 128 and more however many digits.
std::optional<std::string> CapacitancePayload(std::string_view typed);

// Value codes of the main window's lists.
// Rate lists start at "1200": position + 2. Code 1 (600) only occurs in answers.
int RateCodeFromPosition(int position);
// Position for a rate code 2..8; -1 otherwise (the list then ends with no selection).
int RatePositionFromCode(int code);
// Baud of a rate code 1..8 (600 .. 57600); 0 for other codes.
int BaudFromRateCode(int code);
// Parity list "偶校验", "奇校验", "无校验": even 01, odd 02, none 00; -1 without a selection.
int ParityCodeFromPosition(int position);
int ParityPositionFromCode(int code); // -1 for codes other than 0, 1, 2
// Channel list "1", "2", ...: the channel number is position + 1.
int ChannelFromPosition(int position);
int ChannelPositionFromNumber(int channel);

// A few answer fields (IO input levels of 0013, serial rate and parity of 000E, parity of 0015)
// are read "as decimal". The module sends binary bytes, so the pair is read as the byte's value:
// for 00..09 both readings agree, and a pair such as "0A" gives 10, which no list or port
// setting accepts, instead of an unreadable text.
int DecimalReadField(std::string_view pair);

} // namespace core
