#include "core/answer.h"
#include "core/frame.h"
#include "core/setting_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace core;
using namespace core::answer;
using enum TextId;

namespace {

std::string Long(const char* code, const char* payload) {
    return FrameText5A5A("0000", code, payload);
}
std::string Short(const char* code, const char* payload) {
    return FrameTextEDED(code, payload);
}
// IO answers from module 012C (300)
std::string Io(const char* code, const char* payload) {
    return FrameText4040("012C", "A6", code, payload);
}

// No command is 8018, so every row but the search refuses its answer under it.
constexpr const char* kNothingAwaited = "8018";

struct Row {
    const char* why;
    Framing handler;
    const char* awaited;
    std::string frame;
    AnswerEvent accepted;
    std::optional<TextId> acceptText;
    bool textAfter;
    std::optional<TextId> refuseText;
    bool chineseOnly = false;
};

void CheckRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        const AnswerResult yes = AcceptAnswer(row.frame, row.handler, row.awaited);
        EXPECT_EQ(yes.event, row.accepted);
        EXPECT_EQ(yes.text, row.acceptText);
        EXPECT_EQ(yes.textAfter, row.textAfter);
        EXPECT_EQ(yes.chineseOnly, row.chineseOnly);
        const AnswerResult no = AcceptAnswer(row.frame, row.handler, kNothingAwaited);
        EXPECT_TRUE(std::holds_alternative<Refused>(no.event));
        EXPECT_EQ(no.text, row.refuseText);
        EXPECT_FALSE(no.textAfter);
        EXPECT_EQ(no.chineseOnly, row.chineseOnly);
    }
}

} // namespace

TEST(Answer, LongAndIoRowsAcceptedAndRefused) {
    constexpr Framing L = Framing::k5A5A;
    // clang-format off
    CheckRows({
        // rate 07 (38400), parity 02 (odd)
        {"serial written", L, "8001", Long("0001", "0702"), SerialSettingsWritten{7, 2},
         kSerialWritten, true, kSerialWriteRefused},
        {"serial read", L, "8002", Long("0002", "0702"), SerialSettingsRead{7, 2}, kSerialRead,
         true, kSerialReadRefused},
        {"air rate written", L, "8003", Long("0003", ""), Acknowledged{}, kAirRateWritten, false,
         kAirRateWriteRefused},
        {"air rate 05", L, "8004", Long("0004", "0500"), SettingRead{Setting::kAirRate, 5}, kAirRateRead, false,
         kAirRateReadRefused},
        {"channel written", L, "8005", Long("0005", ""), Acknowledged{}, kChannelWritten, false,
         kChannelWriteRefused},
        {"channel 0x10", L, "8006", Long("0006", "1000"), SettingRead{Setting::kChannel, 16}, kChannelRead, true,
         kChannelReadRefused},
        {"tx test started", L, "8007", Long("0007", ""), Acknowledged{}, kTxTestStarted, false,
         kTxTestStartRefused},
        {"tx test ended", L, "8008", Long("0008", ""), Acknowledged{}, kTxTestEnded, false,
         kTxTestEndRefused},
        {"protocol written", L, "8009", Long("0009", ""), Acknowledged{}, kProtocolWritten, false,
         kProtocolWriteRefused},
        {"sn written", L, "800A", Long("000A", ""), SerialNumberWritten{}, kSerialNumberWritten,
         false, kSerialNumberWriteRefused},
        // model 45, year 0x0C, month 0x05, number 0x0102; the text depends on who asked
        {"sn read", L, "800B", Long("000B", "450C050102"),
         SerialNumber{"45", "2012", "05", "00258"}, std::nullopt, false,
         kSerialNumberReadRefused},
        {"id written", L, "800C", Long("000C", ""), Acknowledged{}, kIdWritten, false,
         kIdWriteRefused},
        {"id 012C", L, "800D", Long("000D", "012C"), SettingRead{Setting::kId, 300}, kIdRead, true, kIdReadRefused},
        // channel, air rate, then serial rate and parity "as decimal": the byte's value, so
        // 0A is 10, which no list or port setting takes
        {"all written", L, "800E", Long("000E", "03050A01"), AllWritten{10, 1}, kAllWritten,
         false, kAllWriteRefused},
        {"power save written", L, "800F", Long("000F", ""), Acknowledged{}, kPowerSaveWritten,
         false, kPowerSaveWriteRefused},
        {"power save 2", L, "8010", Long("0010", "0200"), SettingRead{Setting::kPowerSaving, 2}, kPowerSaveRead, false,
         kPowerSaveReadRefused},
        {"woken up", L, "8011", Long("0011", ""), Acknowledged{}, kWokenUp, false,
         kWakeUpRefused},
        {"field strength 5A", L, "8012", Long("0012", "5A00"), FieldStrength{"5A", 90},
         kFieldStrengthRead, false, std::nullopt},
        {"power level 0C", L, "8013", Long("0013", "0C00"), PowerLevelSet{12}, kPowerLevelSet,
         false, std::nullopt},
        {"protocol 1", L, "8014", Long("0014", "0100"), SettingRead{Setting::kAirProtocol, 1}, kProtocolRead, false,
         kProtocolReadRefused},
        // channel 0x11, air 05, serial 06, parity 01
        {"all read", L, "8015", Long("0015", "11050601"), AllRead{17, 5, 6, 1}, kAllRead, false,
         kAllReadRefused},
        {"duty cycle set", L, "8016", Long("0016", ""), Acknowledged{}, kDutyCycleSet, false,
         kDutyCycleRefused},
        {"output power set", L, "8017", Long("0017", ""), Acknowledged{}, kOutputPowerSet, false,
         std::nullopt},
        {"capacitance", L, "8019", Long("0019", ""), Acknowledged{}, kCapacitanceAdjusted, false,
         std::nullopt},
        // line 2 to "01" is high; any other level text is low
        {"io line 2 high", L, "40408012", Io("0012", "0201"), IoLineWritten{2, true},
         kIoLineWritten, false, kIoWriteRefused},
        {"io line 1 low", L, "40408012", Io("0012", "0111"), IoLineWritten{1, false},
         kIoLineWritten, false, kIoWriteRefused},
        // levels read as decimal: 01 and 00
        {"io levels", L, "40408013", Io("0013", "0100"), IoLinesRead{300, 1, 0}, kIoLinesRead,
         false, kIoReadRefused},
        // the power-level command's answer awaited: an IO read answer is not it
        {"io read under 8013", L, "8013", Io("0013", "0100"), Refused{0x13}, kIoReadRefused, false,
         kIoReadRefused},
    });
    // clang-format on
}

TEST(Answer, ShortRowsAcceptedAndRefused) {
    constexpr Framing S = Framing::kEDED;
    // clang-format off
    CheckRows({
        // the rate alone counts, whatever follows it: the answer tells no parity
        {"serial written", S, "8001", Short("01", "0702"),
         SerialSettingsWritten{7, kParityNotCarried}, kSerialWritten, true, kSerialWriteRefused,
         true},
        {"serial read", S, "8002", Short("02", "0702"), SerialSettingsRead{7, kParityNotCarried},
         kSerialRead, true, kSerialReadRefused, true},
        {"air rate written", S, "8003", Short("03", ""), Acknowledged{}, kAirRateWritten, false,
         kAirRateWriteRefused, true},
        {"air rate 08", S, "8004", Short("04", "08"), SettingRead{Setting::kAirRate, 8}, kAirRateRead, false,
         kAirRateReadRefused, true},
        {"channel written", S, "8005", Short("05", ""), Acknowledged{}, kChannelWritten, false,
         kChannelWriteRefused, true},
        {"channel 3", S, "8006", Short("06", "03"), SettingRead{Setting::kChannel, 3}, kChannelRead, true,
         kChannelReadRefused, true},
        {"tx test started", S, "8007", Short("07", ""), Acknowledged{}, kTxTestStarted, false,
         kTxTestStartRefused, true},
        {"tx test ended", S, "8008", Short("08", ""), Acknowledged{}, kTxTestEnded, false,
         kTxTestEndRefused, true},
        // from here on the texts follow the language
        {"protocol written", S, "8009", Short("09", ""), Acknowledged{}, kProtocolWritten, false,
         kProtocolWriteRefused},
        {"sn written", S, "800A", Short("0A", ""), SerialNumberWritten{}, kSerialNumberWritten,
         false, kSerialNumberWriteRefused},
        // every short answer carries its data right after the code
        {"sn read", S, "800B", Short("0B", "450C050102"),
         SerialNumber{"45", "2012", "05", "00258"}, std::nullopt, false,
         kSerialNumberReadRefused},
        {"id written", S, "800C", Short("0C", ""), Acknowledged{}, kIdWritten, false,
         kIdWriteRefused},
        {"id 012C", S, "800D", Short("0D", "012C"), SettingRead{Setting::kId, 300}, kIdRead, true, kIdReadRefused},
        {"all written", S, "800E", Short("0E", "03050500"), AllWritten{5, 0}, kAllWritten, false,
         kAllWriteRefused},
        {"power save written", S, "800F", Short("0F", ""), Acknowledged{}, kPowerSaveWritten,
         false, kPowerSaveWriteRefused},
        {"power save 1", S, "8010", Short("10", "01"), SettingRead{Setting::kPowerSaving, 1}, kPowerSaveRead, false,
         kPowerSaveReadRefused},
        {"woken up", S, "8011", Short("11", ""), Acknowledged{}, kWokenUp, false, kWakeUpRefused},
        {"field strength 7F", S, "8012", Short("12", "7F"), FieldStrength{"7F", 127},
         kFieldStrengthRead, false, std::nullopt},
        {"power level 09", S, "8013", Short("13", "09"), PowerLevelSet{9}, kPowerLevelSet, false,
         std::nullopt},
        {"protocol 2", S, "8014", Short("14", "02"), SettingRead{Setting::kAirProtocol, 2}, kProtocolRead, false,
         kProtocolReadRefused},
        {"all read", S, "8015", Short("15", "03050602"), AllRead{3, 5, 6, 2}, kAllRead, false,
         kAllReadRefused},
        {"output power set", S, "8017", Short("17", ""), Acknowledged{}, kOutputPowerSet, false,
         std::nullopt},
    });
    // clang-format on
    // without a parity told, the module keeps the one it answered at (here odd)
    EXPECT_EQ(ParityAfterAnswer(kParityNotCarried, 2), 2);
    EXPECT_EQ(ParityAfterAnswer(1, 2), 1);
}

TEST(Answer, TextsThatAreNoAnswerOfTheTable) {
    constexpr Framing L = Framing::k5A5A;
    constexpr Framing S = Framing::kEDED;
    // the air-rate answer 5A5A 0000 5A 0003 02 0500, checksum 98 replaced by 99
    const std::string badSum = "5A5A00005A0003020500990D0A";
    // an IO answer with its checksum 4E replaced by 00
    const std::string badIo = "4040A6000107001300000D0A";
    // ED ED 03 05 with the checksum E3 instead of E2
    const std::string badShort = "EDED0305E3";
    // the air-rate answer without its trailer
    const std::string noTrailer = "5A5A00005A00030205009800";
    struct Case {
        const char* why;
        Framing handler;
        std::string text;
        AnswerEvent event;
        std::optional<TextId> text_shown = std::nullopt;
    };
    // clang-format off
    const Case cases[] = {
        {"bad checksum", L, badSum, BadChecksum{badSum, kChecksumError}},
        {"bad io checksum", L, badIo, BadChecksum{badIo, kIoChecksumError}},
        {"bad short checksum", S, badShort, BadChecksum{badShort, kChecksumError}},
        {"long answer passed on, bad", S, badSum, BadChecksum{badSum, kChecksumError}},
        {"no trailer", L, noTrailer, NotAFrame{noTrailer}},
        {"header and trailer only", L, "5A5A0D0A", NotAFrame{"5A5A0D0A"}},
        {"short answer to the long handler", L, Short("03", ""), NotAFrame{Short("03", "")}},
        {"long text passed on, no frame", S, noTrailer, NotAFrame{noTrailer}},
        {"io answer to the short handler", S, Io("0013", "0100"), Dropped{}},
        {"noise to the short handler", S, "313233", Dropped{}},
        {"long code 0018", L, Long("0018", ""), Ignored{}},
        {"io code 0014", L, Io("0014", "0100"), Ignored{}},
        {"short code 16", S, Short("16", ""), Ignored{}},
        {"short code 19", S, Short("19", ""), Ignored{}},
        // 20 12 02: family 0x20, version 0x12, base frequency 0x02; no short search answer
        {"short code 00", S, Short("00", "201202"), Ignored{}},
        {"search, nothing awaited", L, Long("0000", "201202"), SearchAnswer{0x20, 0x12, 2},
         kSearched},
        {"long search passed on", S, Long("0000", "601306"), SearchAnswer{0x60, 0x13, 6},
         kSearched},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const AnswerResult result = AcceptAnswer(c.text, c.handler, kNothingAwaited);
        EXPECT_EQ(result.event, c.event);
        EXPECT_EQ(result.text, c.text_shown);
        EXPECT_FALSE(result.chain || result.endsChain);
    }
}

TEST(Answer, SetAllChainSteps) {
    using enum ChainNext;
    struct Case {
        Framing handler;
        std::string frame;
        std::optional<ChainStep> step;
        bool endsChain = false;
    };
    const auto step = [](ChainNext next, bool testDelay) {
        return std::optional<ChainStep>(ChainStep{next, testDelay});
    };
    // clang-format off
    const Case cases[] = {
        {Framing::k5A5A, Long("0009", ""), step(kWriteSerialNumber, false)},
        {Framing::k5A5A, Long("000A", ""), step(kWriteAll, false)},
        {Framing::k5A5A, Long("000E", "03050500"), step(kStartTxTest, true)},
        {Framing::k5A5A, Long("0007", ""), std::nullopt, true},
        {Framing::k5A5A, Long("0003", ""), std::nullopt},
        {Framing::kEDED, Short("09", ""), step(kWriteAll, false)},
        {Framing::kEDED, Short("0E", "03050500"), step(kWriteSerialNumber, false)},
        {Framing::kEDED, Short("0A", ""), step(kStartTxTest, false)},
        {Framing::kEDED, Short("07", ""), std::nullopt, true},
        // a long answer under the short handler steps as the long chain does
        {Framing::kEDED, Long("0009", ""), step(kWriteSerialNumber, false)},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        // accepted or refused, the chain goes on
        for (const char* awaited : {"8009", "800A", "800E", "8007", kNothingAwaited}) {
            const AnswerResult result = AcceptAnswer(c.frame, c.handler, awaited);
            ASSERT_EQ(result.chain.has_value(), c.step.has_value());
            if (c.step) {
                EXPECT_EQ(result.chain->next, c.step->next);
                EXPECT_EQ(result.chain->testDelay, c.step->testDelay);
            }
            EXPECT_EQ(result.endsChain, c.endsChain);
        }
    }
}
