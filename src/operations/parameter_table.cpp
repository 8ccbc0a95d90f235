#include "parameter_table.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

using enum ParameterStep::Kind;
using enum core::Setting;
using enum core::TextId;
using core::RowOf;
using core::Setting;
namespace cmd = core::cmd;

// Steps on a setting's control, with the setting's own refusal and range.
ParameterStep Clear(Setting setting) {
    return {kClear, RowOf(setting).control};
}
ParameterStep ModelCheck(Setting setting) {
    return {kModelCheck, RowOf(setting).control};
}
ParameterStep Selected(Setting setting) {
    return {kSelected, RowOf(setting).control, RowOf(setting).empty};
}
ParameterStep Typed(Setting setting, const char* focus = nullptr) {
    return {kNotEmpty, RowOf(setting).control, RowOf(setting).empty, focus};
}
ParameterStep InRange(Setting setting, core::TextId message) {
    const core::SettingRow& row = RowOf(setting);
    return {kInRange, row.control, message, nullptr, row.low, row.high};
}

// The IO target ID travels as four hex digits, so it must not exceed 65535.
const std::vector<ParameterStep> kTargetChecks{
    {kNotEmpty, "Edit10", kTargetNull},
    {kInRange, "Edit10", kTargetRange, nullptr, 0, 0xFFFF},
};

std::vector<ParameterStep> Join(std::vector<ParameterStep> steps,
                                const std::vector<ParameterStep>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

const OperationTexts kOutputTexts{
    kWriteOutputProgress,
    kWriteOutputFail,
    kWriteFail,
};

const std::vector<ParameterCommand> kTable{
    // Channel and frequency: the answer selects the channel and shows its frequencies.
    {.button = "SpeedButton2",
     .reads = kChannel,
     .steps = {Clear(kChannel), ModelCheck(kChannel), {kClear, "Edit1"}, {kClear, "Edit19"}}},
    {.button = "SpeedButton8", .writes = kChannel, .steps = {Selected(kChannel)}},
    // Air data rate.
    {.button = "SpeedButton4", .reads = kAirRate, .steps = {Clear(kAirRate), ModelCheck(kAirRate)}},
    {.button = "SpeedButton9", .writes = kAirRate, .steps = {Selected(kAirRate)}},
    // The module's own serial settings.
    {.button = "SpeedButton5",
     .reads = kSerialRate,
     .steps = {Clear(kSerialRate), Clear(kParity), ModelCheck(kSerialRate)}},
    {.button = "SpeedButton10",
     .writes = kSerialRate,
     .steps = {Selected(kSerialRate), Selected(kParity)}},
    // Air protocol: without a selection the write would send position -1 as FF.
    {.button = "SpeedButton22", .reads = kAirProtocol, .steps = {Clear(kAirProtocol)}},
    {.button = "SpeedButton23", .writes = kAirProtocol, .steps = {Selected(kAirProtocol)}},
    // Module ID and output power.
    {.button = "SpeedButton26", .reads = kId, .steps = {Clear(kId)}},
    {.button = "SpeedButton27", .writes = kId, .steps = {Typed(kId), InRange(kId, kIdRange)}},
    {.button = "SpeedButton33",
     .writes = kOutputPower,
     .steps = {Selected(kOutputPower)},
     .progressBareNames = kSetPowerProgressBareNames},
    // Power saving.
    {.button = "SpeedButton11", .reads = kPowerSaving, .steps = {Clear(kPowerSaving)}},
    {.button = "SpeedButton28", .writes = kPowerSaving, .steps = {Selected(kPowerSaving)}},
    {.button = "SpeedButton29",
     .code = cmd::kSerialWakeUp,
     .texts = OperationTexts{kWakeUpProgress, kWakeUpFailStatus, kWakeUpFail}},
    {.button = "SpeedButton39",
     .writes = kWakeMs,
     .steps = {Typed(kWakeMs), Typed(kSleepS, RowOf(kWakeMs).control),
               InRange(kWakeMs, kOnTimeRange), InRange(kSleepS, kSleepTimeRange)}},
    // IO lines of the ID protocol, addressed to the target ID.
    {.button = "SpeedButton13",
     .code = cmd::kIoRead,
     .io = true,
     .steps = Join(kTargetChecks, {{kClear, "ComboBox7"},
                                   {kClear, "ComboBox8"},
                                   {kClear, "ComboBox9"},
                                   {kClear, "ComboBox10"}}),
     .target = "Edit10",
     .texts = OperationTexts{kReadIoProgress, kReadIoFail, kReadFail}},
    {.button = "SpeedButton12",
     .code = cmd::kIoWrite,
     .io = true,
     .steps = Join(kTargetChecks, {{kSelected, "ComboBox9", kOutputNull}}),
     .ioLevel = "ComboBox9",
     .ioLine = 1,
     .target = "Edit10",
     .texts = kOutputTexts},
    {.button = "SpeedButton32",
     .code = cmd::kIoWrite,
     .io = true,
     .steps = Join(kTargetChecks, {{kSelected, "ComboBox10", kOutputNull}}),
     .ioLevel = "ComboBox10",
     .ioLine = 2,
     .target = "Edit10",
     .texts = kOutputTexts},
    // Field strength and power level.
    {.button = "Button1",
     .code = cmd::kReadFieldStrength,
     .steps = {{kClear, "Edit17"}, {kClear, "Edit16"}},
     .texts = OperationTexts{kReadFieldStrengthProgress, kReadFieldStrengthFailStatus,
                             kReadFieldStrengthFail}},
    {.button = "Button2",
     .writes = kPowerLevel,
     .steps = {Selected(kPowerLevel)},
     .checksBeforeGuard = true},
};

} // namespace

std::span<const ParameterCommand> ParameterCommandTable() {
    return kTable;
}

const ParameterCommand& ParameterCommandFor(std::string_view button) {
    const auto row =
        std::find_if(kTable.begin(), kTable.end(),
                     [button](const ParameterCommand& c) { return c.button == button; });
    if (row == kTable.end())
        throw std::logic_error("no parameter command for " + std::string(button));
    return *row;
}
