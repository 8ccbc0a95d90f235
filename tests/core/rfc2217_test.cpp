#include "core/hex.h"
#include "core/rfc2217.h"

#include <gtest/gtest.h>

using namespace core;
using namespace core::rfc2217;

namespace {

Bytes H(std::string_view hex) {
    return HexToBytes(hex);
}

std::string Hex(std::string_view bytes) {
    return BytesToHex(bytes, true);
}

// The server's answer to a line command: IAC SB 44 (command + 100) value IAC SE.
Bytes Ack(std::uint8_t command, std::string_view valueHex) {
    return H("FFFA2C") + static_cast<char>(command + kServerOffset) + H(valueHex) + H("FFF0");
}

// A client the server agreed with: DO BINARY, WILL BINARY, DO COM-PORT-OPTION.
Client Agreed() {
    Client c;
    std::string data;
    EXPECT_EQ(c.Take(H("FFFD00FFFB00FFFD2C"), data), "");
    EXPECT_TRUE(c.ComPortAgreed());
    EXPECT_TRUE(c.BinaryBothWays());
    return c;
}

} // namespace

TEST(Rfc2217, IacIsDoubledInDataAndInCommandValues) {
    EXPECT_EQ(Hex(Escape(H("5A FF 00 FF FF 0D"))), "5A FF FF 00 FF FF FF FF 0D ");
    EXPECT_EQ(Escape(""), "");
    EXPECT_EQ(Hex(Client::Greeting()), "FF FB 00 FF FD 00 FF FB 2C ");
    EXPECT_EQ(Hex(ComPortCommand(kPurgeData, H("03"))), "FF FA 2C 0C 03 FF F0 ");
    // 65535 baud carries two 0xFF bytes in its value
    Client c;
    EXPECT_EQ(Hex(c.AskLine({65535, 8, kParityNone, 1})),
              "FF FA 2C 01 00 00 FF FF FF FF FF F0 FF FA 2C 02 08 FF F0 FF FA 2C 03 01 FF F0 "
              "FF FA 2C 04 01 FF F0 ");
    EXPECT_EQ(Hex(c.AskLine({600, 7, kParityEven, 2})),
              "FF FA 2C 01 00 00 02 58 FF F0 FF FA 2C 02 07 FF F0 FF FA 2C 03 03 FF F0 "
              "FF FA 2C 04 02 FF F0 ");
}

TEST(Rfc2217, DataIsSeparatedFromCommandsEvenWhenCutBetweenReads) {
    struct Case {
        std::vector<std::string> chunks; // hex, as the reads bring them
        std::string data;                // the port's bytes, hex
    };
    const Case cases[] = {
        {{"5A 5A 00"}, "5A 5A 00 "},
        {{"01 FF FF 02"}, "01 FF 02 "},
        {{"01 FF", "FF 02"}, "01 FF 02 "},                // IAC IAC cut in two
        {{"01 FF F1 02"}, "01 02 "},                      // NOP is dropped
        {{"01 FF F9 02"}, "01 02 "},                      // so is GA
        {{"01 FF FA 2C 6A 00 FF F0 02"}, "01 02 "},       // NOTIFY-LINESTATE
        {{"01 FF FA 2C 6B", "B0 FF", "F0 02"}, "01 02 "}, // NOTIFY-MODEMSTATE, cut thrice
        {{"FF FA 2C 6A FF FF FF F0 FF FF"}, "FF "},       // a doubled IAC inside a command
        {{"0D 00 0D 0A"}, "0D 00 0D 0A "},                // binary: CR NUL stays as it is
    };
    for (const Case& k : cases) {
        Client c = Agreed();
        std::string data;
        for (const auto& chunk : k.chunks)
            c.Take(H(chunk), data);
        EXPECT_EQ(Hex(data), k.data) << k.chunks.front();
    }
}

TEST(Rfc2217, NegotiationAgreesToBinaryAndComPortAndRefusesTheRest) {
    struct Case {
        std::string received; // hex
        std::string reply;    // hex
        bool comPort;
        bool binary;
    };
    const Case cases[] = {
        // the answers to what the greeting asked: nothing goes back
        {"FFFD00 FFFB00 FFFD2C", "", true, true},
        // a server that asks first is agreed with; it is not asked again
        {"FFFD00 FFFB00 FFFD2C FFFD00", "", true, true},
        // echo, go-ahead suppression, terminal type: refused, once each
        {"FFFB01 FFFB03 FFFD18", "FF FE 01 FF FE 03 FF FC 18 ", false, false},
        // their refusal of something off needs no answer
        {"FFFC01 FFFE18", "", false, false},
        // a plain Telnet server refuses COM port control
        {"FFFE2C", "", false, false},
        // BINARY turned off after it was on is answered
        {"FFFD00 FFFB00 FFFD2C FFFC00", "FF FE 00 ", true, false},
        {"FFFD00 FFFB00 FFFD2C FFFE00", "FF FC 00 ", true, false},
        // the verb and its option cut between two reads
        {"FFFB", "", false, false},
    };
    for (const Case& k : cases) {
        Client c;
        std::string data;
        EXPECT_EQ(Hex(c.Take(H(k.received), data)), k.reply) << k.received;
        EXPECT_EQ(c.ComPortAgreed(), k.comPort) << k.received;
        EXPECT_EQ(c.BinaryBothWays(), k.binary) << k.received;
        EXPECT_EQ(data, "") << k.received;
    }
    Client c;
    std::string data;
    c.Take(H("FFFE2C"), data);
    EXPECT_TRUE(c.ComPortRefused());
    // a re-sent DO after the answer turns nothing on twice
    Client twice;
    EXPECT_EQ(Hex(twice.Take(H("FFFC00"), data)), "");
    EXPECT_EQ(Hex(twice.Take(H("FFFB00"), data)), "FF FD 00 ");
}

TEST(Rfc2217, TheLineHoldsOnlyWhenEveryPartIsAcknowledgedAsAsked) {
    struct Case {
        const char* name;
        std::vector<Bytes> answers;
        LineAnswer answer;
        Line acknowledged;
    };
    const Line asked{600, 8, kParityOdd, 1};
    const Bytes baud = Ack(kSetBaudrate, "00000258"), size = Ack(kSetDatasize, "08"),
                parity = Ack(kSetParity, "02"), stop = Ack(kSetStopsize, "01");
    const Case cases[] = {
        {"all four", {baud, size, parity, stop}, LineAnswer::kHeld, asked},
        {"any order", {stop, parity, baud, size}, LineAnswer::kHeld, asked},
        {"three of four", {baud, size, parity}, LineAnswer::kWaiting, asked},
        {"none", {}, LineAnswer::kWaiting, asked},
        {"notifications and purge count for nothing",
         {Ack(6, "60"), Ack(7, "30"), Ack(kPurgeData, "03")},
         LineAnswer::kWaiting,
         asked},
        {"another baud rate",
         {Ack(kSetBaudrate, "00002580"), size, parity, stop},
         LineAnswer::kRefused,
         {9600, 8, kParityOdd, 1}},
        {"another parity",
         {baud, size, Ack(kSetParity, "01")},
         LineAnswer::kRefused,
         {600, 8, kParityNone, 1}},
        {"a short value is no answer",
         {Ack(kSetBaudrate, "0258"), size, parity, stop},
         LineAnswer::kWaiting,
         asked},
        {"an answer cut between reads",
         {baud, size, parity, stop.substr(0, 3), stop.substr(3)},
         LineAnswer::kHeld,
         asked},
    };
    for (const Case& k : cases) {
        Client c = Agreed();
        c.AskLine(asked);
        std::string data;
        for (const Bytes& a : k.answers)
            c.Take(a, data);
        EXPECT_EQ(c.LineAnswered(), k.answer) << k.name;
        EXPECT_EQ(c.Acknowledged(), k.acknowledged) << k.name;
        EXPECT_EQ(data, "") << k.name;
    }
    // an answer to an earlier line that comes late is no acknowledgement of the next one
    Client c = Agreed();
    c.AskLine(asked);
    std::string data;
    c.Take(baud + size + parity + stop, data);
    c.AskLine({1200, 8, kParityNone, 1});
    EXPECT_EQ(c.LineAnswered(), LineAnswer::kWaiting);
    c.Take(Ack(kSetBaudrate, "00000258"), data);
    EXPECT_EQ(c.LineAnswered(), LineAnswer::kRefused);
}
