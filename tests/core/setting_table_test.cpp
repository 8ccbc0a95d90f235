#include "core/answer.h"
#include "core/frame.h"
#include "core/setting_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace core;
using enum Setting;

// Each setting's write: the command and the payload in both framings, from the values a
// profile or the window's controls give.
TEST(SettingTable, WritesTheirCommandWithTheirPayload) {
    struct Row {
        Setting setting;
        SettingValues values;
        std::uint8_t command;
        const char* long_payload;  // 5A5A
        const char* short_payload; // EDED, where the command has that form
    };
    const Row rows[] = {
        {kChannel, {{kChannel, 3}}, cmd::kWriteChannel, "0300", "03"},
        // "1200" is rate code 2
        {kAirRate, {{kAirRate, 2}}, cmd::kWriteAirRate, "0200", "02"},
        {kPowerSaving, {{kPowerSaving, 3}}, cmd::kWritePowerSave, "0300", nullptr},
        // 500 ms on, 2 s asleep sent as 2000 ms
        {kWakeMs, {{kWakeMs, 500}, {kSleepS, 2}}, cmd::kSetDutyCycle, "01F407D0", nullptr},
        {kSleepS, {{kWakeMs, 500}, {kSleepS, 2}}, cmd::kSetDutyCycle, "01F407D0", nullptr},
        {kAirProtocol, {{kAirProtocol, 1}}, cmd::kWriteProtocol, "0100", nullptr},
        // ID 300 as four digits
        {kId, {{kId, 300}}, cmd::kWriteId, "012C", nullptr},
        {kOutputPower, {{kOutputPower, 1}}, cmd::kSetOutputPower, "0100", nullptr},
        {kPowerLevel, {{kPowerLevel, 15}}, cmd::kSetPowerLevel, "0F00", "0F"},
        // 9600 (code 5) odd (code 2); the short framing has no room for the parity
        {kSerialRate, {{kSerialRate, 5}, {kParity, 2}}, cmd::kWriteSerial, "0502", "05"},
        {kParity, {{kSerialRate, 5}, {kParity, 2}}, cmd::kWriteSerial, "0502", "05"},
    };
    std::vector<Setting> covered;
    for (const Row& row : rows) {
        SCOPED_TRACE(RowOf(row.setting).key);
        const Command& command = CommandAt(RowOf(row.setting).write);
        EXPECT_EQ(command.code, row.command);
        EXPECT_EQ(SettingPayload(row.setting, row.values, Framing::k5A5A), row.long_payload);
        EXPECT_EQ(command.has_eded, row.short_payload != nullptr);
        if (row.short_payload != nullptr) {
            EXPECT_EQ(SettingPayload(row.setting, row.values, Framing::kEDED), row.short_payload);
        }
        covered.push_back(row.setting);
    }
    EXPECT_EQ(covered.size(), kSettingCount);
}

// A profile read takes each value from the answer the module gives to the row's command, as
// the answer table reads it.
TEST(SettingTable, ReadsTheirValueFromTheAnswerOfTheirCommand) {
    struct Row {
        Setting setting;
        const char* payload; // of the answer to the row's profile read
        int value;
    };
    const Row rows[] = {
        // read all: channel 3, air 9600, serial 19200, odd
        {kChannel, "03050602", 3}, {kAirRate, "03050602", 5}, {kSerialRate, "03050602", 6},
        {kParity, "03050602", 2},  {kPowerSaving, "0300", 3}, {kAirProtocol, "0100", 1},
        {kId, "012C", 300},
    };
    int readable = 0;
    for (const SettingRow& row : SettingRows())
        readable += row.Readable();
    EXPECT_EQ(readable, static_cast<int>(std::size(rows)));
    for (const Row& row : rows) {
        const SettingRow& setting = RowOf(row.setting);
        SCOPED_TRACE(setting.key);
        ASSERT_TRUE(setting.Readable());
        const Command& command = CommandAt(*setting.profileRead);
        const AnswerResult answer = AcceptAnswer(
            FrameText5A5A("0000", AnswerCode(command.code, Framing::k5A5A), row.payload),
            Framing::k5A5A, LastCommandText(command));
        EXPECT_EQ(setting.reported(answer.event), row.value);
        EXPECT_EQ(setting.reported(answer::Acknowledged{}), std::nullopt);
    }
}

// Value texts as a profile and the trace write them, and the numbers they stand for.
TEST(SettingTable, ValueTextsAndNumbersGoBothWays) {
    struct Row {
        Setting setting;
        int value;
        const char* text;
    };
    const Row rows[] = {
        {kChannel, 3, "3"},
        {kAirRate, 5, "9600"},
        {kAirRate, 8, "57600"},
        {kSerialRate, 1, "600"}, // a module at 600 reports code 1; its profile goes back in
        {kPowerSaving, 0, "no sleep"},
        {kPowerSaving, 3, "air wake-up"},
        {kAirProtocol, 1, "compatible"},
        {kId, 65535, "65535"},
        {kOutputPower, 1, "2W"},
        {kPowerLevel, 15, "15"},
        {kWakeMs, 1, "1"},
        {kSleepS, 65, "65"},
        {kParity, 0, "none"},
        {kParity, 1, "even"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(SettingValueText(row.setting, row.value), row.text);
        EXPECT_EQ(ParseSettingValue(row.setting, row.text), row.value);
    }
    // outside what each takes
    EXPECT_EQ(ParseSettingValue(kAirRate, "600"), std::nullopt);
    EXPECT_EQ(ParseSettingValue(kSleepS, "66"), std::nullopt);
    EXPECT_EQ(ParseSettingValue(kPowerLevel, "16"), std::nullopt);
    EXPECT_EQ(ParseSettingValue(kPowerSaving, "Air wake-up"), std::nullopt);
    EXPECT_EQ(SettingValueText(kAirRate, 9), "rate code 9");
    EXPECT_EQ(SettingValueText(kParity, 3), "parity code 3");
    EXPECT_EQ(SettingValueText(kPowerSaving, 4), "code 4");
    EXPECT_EQ(SettingValueHint(kSerialRate), "600, 1200, 2400, 4800, 9600, 19200, 38400, 57600");
    EXPECT_EQ(SettingValueHint(kPowerSaving), "no sleep, hardware wake-up, serial wake-up, "
                                              "air wake-up");
    EXPECT_EQ(SettingValueHint(kSleepS), "1 .. 65");
}

// The window's lists: the position an answer selects, and the value a selected position sends.
TEST(SettingTable, ListPositionsAndValues) {
    struct Row {
        Setting setting;
        int position;
        int value;
    };
    const Row rows[] = {
        {kChannel, 0, 1},     {kAirRate, 0, 2},      {kAirRate, 6, 8},     {kSerialRate, 3, 5},
        {kParity, 0, 1},      {kParity, 2, 0},       {kPowerSaving, 3, 3}, {kAirProtocol, 1, 1},
        {kOutputPower, 1, 1}, {kPowerLevel, 15, 15},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(RowOf(row.setting).key);
        EXPECT_EQ(SettingOfPosition(row.setting, row.position), row.value);
        EXPECT_EQ(SettingPosition(row.setting, row.value), row.position);
    }
}

// The listening and sleeping times go in one request that the module never reports, so one
// without the other cannot be written; the parity without the rate takes the module's rate.
TEST(SettingTable, ASettingWhoseWriteCarriesAnUnreportedOneNeedsIt) {
    const std::string both = "wake_ms and sleep_s are written together; give both";
    EXPECT_EQ(MissingCompanion({{kWakeMs, 500}}), both);
    EXPECT_EQ(MissingCompanion({{kChannel, 3}, {kSleepS, 2}}), both);
    EXPECT_EQ(MissingCompanion({{kWakeMs, 500}, {kSleepS, 2}}), "");
    EXPECT_EQ(MissingCompanion({{kParity, 1}}), "");
    EXPECT_EQ(MissingCompanion({{kSerialRate, 5}}), "");
}
