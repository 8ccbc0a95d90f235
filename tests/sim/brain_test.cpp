#include "core/frame.h"
#include "core/module/module_brain.h"

#include <gtest/gtest.h>

using namespace core;

namespace {

using Kind = ModuleReply::Kind;

ModuleReply Ask5A5A(const ModuleState& state, const char* code, const char* payload) {
    return Respond(state, Framing::k5A5A, BuildFrame5A5A("0000", code, payload));
}

ModuleReply AskEDED(const ModuleState& state, const char* code, const char* payload) {
    return Respond(state, Framing::kEDED, BuildFrameEDED(code, payload));
}

ModuleReply Ask4040(const ModuleState& state, const char* id, const char* code,
                    const char* payload) {
    return Respond(state, Framing::k4040, BuildFrame4040(id, "A6", code, payload));
}

// Payload hex of a 5A5A answer, after checking its frame.
std::string AnswerPayload(const ModuleReply& reply, const char* code) {
    const std::string text = BytesToHex(reply.answer);
    EXPECT_TRUE(Is5A5AAnswer(text)) << text;
    EXPECT_TRUE(TrailerChecksumOk(text)) << text;
    EXPECT_EQ(Field(text, 11, 4), code) << text;
    return std::string(Field(text, 17, text.size() - 16 - 6));
}

} // namespace

TEST(ModuleBrain, WhatTheToolReadsFromTheDefaultModule) {
    const ModuleState module;
    // search: family 20 (86X), firmware 12 (V1.2), base frequency 02 (433 MHz)
    EXPECT_EQ(BytesToHex(Ask5A5A(module, "8000", "0000").answer), "5A5A00005A000003201202"
                                                                  "45"
                                                                  "0D0A");
    // serial settings: 05 (9600), 00 (no parity)
    EXPECT_EQ(AnswerPayload(Ask5A5A(module, "8002", "0000"), "0002"), "0500");
    // read all: channel 01, air rate 05, serial rate 05, parity 00
    EXPECT_EQ(AnswerPayload(Ask5A5A(module, "8015", "0000"), "0015"), "01050500");
    // ID 0001
    EXPECT_EQ(AnswerPayload(Ask5A5A(module, "800D", "0000"), "000D"), "0001");
    // serial number: model 21 (QX861), year 24, month 1, number 1
    EXPECT_EQ(AnswerPayload(Ask5A5A(module, "800B", "0000"), "000B"), "2118010001");
}

// Every write, then the read that the tool uses to show the value again.
TEST(ModuleBrain, EveryWriteIsReadBack) {
    struct Row {
        const char* write;
        const char* payload;
        const char* echo;    // payload of the write's answer
        const char* read;    // nullptr where the module has no read for it
        const char* readout; // payload of the read's answer
    };
    const Row rows[] = {
        {"8001", "0602", "0602", "8002", "0602"},                   // 19200, odd
        {"8003", "0300", "0300", "8004", "0300"},                   // air 2400
        {"8005", "0C00", "0C00", "8006", "0C00"},                   // channel 12
        {"8009", "0100", "0100", "8014", "0100"},                   // compatible protocol
        {"800A", "110C050102", "110C050102", "800B", "110C050102"}, // QX230A, 2012-05, 258
        {"800C", "012C", "012C", "800D", "012C"},                   // ID 300
        {"800E", "03050600", "03050600", "8015", "03050600"},       // ch 3, 9600, 19200, none
        {"800F", "0200", "0200", "8010", "0200"},                   // serial wake-up mode
        {"8007", "0000", "0000", nullptr, nullptr},
        {"8008", "0000", "0000", nullptr, nullptr},
        {"8011", "0000", "0000", nullptr, nullptr},
        {"8013", "0700", "0700", nullptr, nullptr},         // power level 7
        {"8016", "01F407D0", "01F407D0", nullptr, nullptr}, // 500 ms on, 2000 ms asleep
        {"8017", "0100", "0100", nullptr, nullptr},         // 2 W
        {"8019", "2A00", "2A00", nullptr, nullptr},         // capacitance 42
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.write);
        const ModuleReply written = Ask5A5A(ModuleState{}, row.write, row.payload);
        ASSERT_EQ(written.kind, Kind::kAnswer);
        const std::string answer_code = std::string("00") + (row.write + 2);
        EXPECT_EQ(AnswerPayload(written, answer_code.c_str()), row.echo);
        if (row.read == nullptr)
            continue;
        const std::string read_code = std::string("00") + (row.read + 2);
        EXPECT_EQ(AnswerPayload(Ask5A5A(written.state, row.read, "0000"), read_code.c_str()),
                  row.readout);
    }
}

TEST(ModuleBrain, WritesWithoutAReadChangeTheState) {
    ModuleState module;
    module = Ask5A5A(module, "8007", "0000").state;
    EXPECT_EQ(module.tx_test, 1);
    module = Ask5A5A(module, "8013", "0700").state;
    EXPECT_EQ(module.power_level, 7);
    module = Ask5A5A(module, "8016", "01F407D0").state;
    EXPECT_EQ(module.wake_ms, 500);
    EXPECT_EQ(module.sleep_ms, 2000);
    module = Ask5A5A(module, "8017", "0100").state;
    EXPECT_EQ(module.output_power, 1);
    module = Ask5A5A(module, "8019", "2A00").state;
    EXPECT_EQ(module.capacitance, 42);
    module = Ask5A5A(module, "8008", "0000").state;
    EXPECT_EQ(module.tx_test, 0);
}

TEST(ModuleBrain, SerialSettingsChangeAfterTheAnswer) {
    const ModuleState module;
    for (const char* code : {"8001", "800E"}) {
        SCOPED_TRACE(code);
        const ModuleReply reply =
            Ask5A5A(module, code, std::string(code) == "8001" ? "0602" : "01050602");
        EXPECT_TRUE(reply.serial_switch);
        EXPECT_EQ(reply.state.serial_rate, 6);
        EXPECT_EQ(reply.state.parity, 2);
    }
    EXPECT_FALSE(Ask5A5A(module, "8002", "0000").serial_switch);
    EXPECT_FALSE(Ask5A5A(module, "8005", "0200").serial_switch);
}

TEST(ModuleBrain, ValuesTheModuleCannotTakeAreNotAnswered) {
    ModuleState module;
    module.parity = 2;
    struct Row {
        const char* code;
        const char* payload;
    };
    const Row rows[] = {
        {"8001", "0900"},   // no rate code 9
        {"8001", "0503"},   // no parity code 3
        {"8001", "05"},     // parity missing
        {"800E", "010509"}, // parity missing
        {"8003", "0000"},   // air rate code 0
        {"8005", "0000"},   // no channel 0
        {"800C", "01"},     // ID needs two bytes
        {"8013", "1000"},   // power levels end at 15
        {"8019", "8000"},   // capacitance ends at 127
        {"8005", ""},       // no payload at all
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.code) + " " + row.payload);
        const ModuleReply reply = Ask5A5A(module, row.code, row.payload);
        EXPECT_EQ(reply.kind, Kind::kSilent);
        EXPECT_TRUE(reply.answer.empty());
        EXPECT_EQ(reply.state, module);
        EXPECT_FALSE(reply.serial_switch);
    }
}

TEST(ModuleBrain, UnknownCodesAreNotAnswered) {
    const ModuleState module;
    for (const char* code : {"8018", "801A", "80FF"})
        EXPECT_EQ(Ask5A5A(module, code, "0000").kind, Kind::kSilent) << code;
    // 4040 knows only the IO commands
    EXPECT_EQ(Ask4040(module, "0001", "8003", "0000").kind, Kind::kSilent);
    // the short framing exists only for 00..08, 12 and 13
    EXPECT_EQ(AskEDED(module, "09", "01").kind, Kind::kSilent);
    EXPECT_EQ(AskEDED(module, "15", "00").kind, Kind::kSilent);
}

TEST(ModuleBrain, AnswerEchoesTheRequestAddress) {
    ModuleState module;
    module.model = 0x21;
    module.year = 12;
    module.month = 5;
    module.number = 258;
    // 5A5A 1234 5A 000B 05 21 0C 05 0102, sum 99
    EXPECT_EQ(
        BytesToHex(Respond(module, Framing::k5A5A, BuildFrame5A5A("1234", "800B", "0000")).answer),
        "5A5A12345A000B05210C050102"
        "99"
        "0D0A");
}

TEST(ModuleBrain, ShortFramingAnswers) {
    const ModuleState module;
    // air-rate write 05 comes back as ED ED 03 05 E2, the same five bytes
    EXPECT_EQ(BytesToHex(AskEDED(module, "03", "05").answer), "EDED0305E2");
    // air-rate read: ED ED 04 05 E3
    EXPECT_EQ(BytesToHex(AskEDED(module, "04", "00").answer), "EDED0405E3");
    // the serial write carries the rate alone, and the module keeps its parity: ED ED 01 06 E1
    ModuleState odd;
    odd.parity = 2;
    const ModuleReply serial = AskEDED(odd, "01", "06");
    EXPECT_EQ(BytesToHex(serial.answer), "EDED0106E1");
    EXPECT_EQ(serial.state.serial_rate, 6);
    EXPECT_EQ(serial.state.parity, 2);
    EXPECT_TRUE(serial.serial_switch);
    EXPECT_EQ(serial.answer_framing, Framing::kEDED);
    // the search answer needs the 5A5A layout for its three fields
    const ModuleReply search = AskEDED(module, "00", "00");
    EXPECT_EQ(search.answer_framing, Framing::k5A5A);
    EXPECT_EQ(AnswerPayload(search, "0000"), "201202");
    // field strength and power level each carry their one byte
    EXPECT_EQ(BytesToHex(AskEDED(module, "12", "00").answer), "EDED1250" + HexChecksum("EDED1250"));
    EXPECT_EQ(AskEDED(module, "13", "03").state.power_level, 3);
}

TEST(ModuleBrain, IoCommandsOnlyForTheOwnId) {
    ModuleState module;
    module.id = 1;
    module.input2 = 1;
    // write output 2 high: 4040 A6 0001 07 0012 0201, sum 43
    const ModuleReply written = Ask4040(module, "0001", "8012", "0201");
    EXPECT_EQ(BytesToHex(written.answer), "4040A600010700120201"
                                          "43"
                                          "0D0A");
    EXPECT_EQ(written.state.output2, 1);
    EXPECT_EQ(written.state.output1, 0);
    // read inputs: 00 low, 01 high, sum 42
    EXPECT_EQ(BytesToHex(Ask4040(module, "0001", "8013", "0000").answer), "4040A600010700130001"
                                                                          "42"
                                                                          "0D0A");
    // another ID: not a request for this module, so the bytes go over the air
    const ModuleReply other = Ask4040(module, "012C", "8013", "0000");
    EXPECT_EQ(other.kind, Kind::kNotForMe);
    EXPECT_TRUE(other.answer.empty());
    // line 3 does not exist, level 2 neither
    EXPECT_EQ(Ask4040(module, "0001", "8012", "0301").kind, Kind::kSilent);
    EXPECT_EQ(Ask4040(module, "0001", "8012", "0102").kind, Kind::kSilent);
}
