#include "parameter_table.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

using core::ChannelFromPosition;
using core::RateCodeFromPosition;
using enum ParameterStep::Kind;
using enum PayloadSource;
using enum core::TextId;
namespace cmd = core::cmd;

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
     .code = cmd::kReadChannel,
     .steps =
         {{kClear, "ComboBox4"}, {kModelCheck, "ComboBox4"}, {kClear, "Edit1"}, {kClear, "Edit19"}},
     .texts = {kReadChannelProgress, kReadChannelFail, kReadFail}},
    {.button = "SpeedButton8",
     .code = cmd::kWriteChannel,
     .steps = {{kSelected, "ComboBox4", kChannelNull}},
     .source = kListCode,
     .value = "ComboBox4",
     .listCode = ChannelFromPosition,
     .texts = {kWriteChannelProgress, kWriteChannelFail, kWriteFail}},
    // Air data rate.
    {.button = "SpeedButton4",
     .code = cmd::kReadAirRate,
     .steps = {{kClear, "ComboBox1"}, {kModelCheck, "ComboBox1"}},
     .texts = {kReadAirRateProgress, kReadAirRateFail, kReadFail}},
    {.button = "SpeedButton9",
     .code = cmd::kWriteAirRate,
     .steps = {{kSelected, "ComboBox1", kBaudRateNull}},
     .source = kListCode,
     .value = "ComboBox1",
     .listCode = RateCodeFromPosition,
     .texts = {kWriteAirRateProgress, kWriteAirRateFail, kSetFail}},
    // The module's own serial settings.
    {.button = "SpeedButton5",
     .code = cmd::kReadSerial,
     .steps = {{kClear, "ComboBox2"}, {kClear, "ComboBox3"}, {kModelCheck, "ComboBox2"}},
     .texts = {kReadSerialProgress, kReadSerialFail, kReadFail}},
    {.button = "SpeedButton10",
     .code = cmd::kWriteSerial,
     .steps = {{kSelected, "ComboBox2", kComBaudRateNull},
               {kSelected, "ComboBox3", kComVerifyNull}},
     .source = kSerialSettings,
     .value = "ComboBox2",
     .second = "ComboBox3",
     .texts = {kWriteSerialProgress, kWriteSerialFail, kSetFail}},
    // Air protocol: without a selection the write would send position -1 as FF.
    {.button = "SpeedButton22",
     .code = cmd::kReadProtocol,
     .steps = {{kClear, "ComboBox5"}},
     .texts = {kReadProtocolProgress, kReadProtocolFail, kReadFail}},
    {.button = "SpeedButton23",
     .code = cmd::kWriteProtocol,
     .steps = {{kSelected, "ComboBox5", kProtocolNull}},
     .source = kListCode,
     .value = "ComboBox5",
     .texts = {kWriteProtocolProgress, kWriteProtocolFail, kSetFail}},
    // Module ID and output power.
    {.button = "SpeedButton26",
     .code = cmd::kReadId,
     .steps = {{kClear, "Edit15"}},
     .texts = {kReadIdProgress, kReadIdFail, kReadFail}},
    {.button = "SpeedButton27",
     .code = cmd::kWriteId,
     .steps = {{kNotEmpty, "Edit15", kIdNull}, {kInRange, "Edit15", kIdRange, nullptr, 0, 0xFFFF}},
     .source = kWord,
     .value = "Edit15",
     .texts = {kWriteIdProgress, kWriteIdFail, kSetFail}},
    {.button = "SpeedButton33",
     .code = cmd::kSetOutputPower,
     .steps = {{kSelected, "ComboBox14", kPowerNull}},
     .source = kListCode,
     .value = "ComboBox14",
     .texts = {kSetPowerProgress, kSetPowerFail, kSetFail},
     .progressBareNames = kSetPowerProgressBareNames},
    // Power saving.
    {.button = "SpeedButton11",
     .code = cmd::kReadPowerSave,
     .steps = {{kClear, "ComboBox6"}},
     .texts = {kReadPowerSaveProgress, kReadPowerSaveFail, kReadFail}},
    {.button = "SpeedButton28",
     .code = cmd::kWritePowerSave,
     .steps = {{kSelected, "ComboBox6", kPowerSaveNull}},
     .source = kListCode,
     .value = "ComboBox6",
     .texts = {kWritePowerSaveProgress, kWritePowerSaveFailStatus, kWritePowerSaveFail}},
    {.button = "SpeedButton29",
     .code = cmd::kSerialWakeUp,
     .texts = {kWakeUpProgress, kWakeUpFailStatus, kWakeUpFail}},
    {.button = "SpeedButton39",
     .code = cmd::kSetDutyCycle,
     .steps = {{kNotEmpty, "Edit20", kTimeNull},
               {kNotEmpty, "Edit21", kTimeNull, "Edit20"},
               {kInRange, "Edit20", kOnTimeRange, nullptr, 1, 65535},
               // 65 s is the longest sleep whose ms still fit two bytes.
               {kInRange, "Edit21", kSleepTimeRange, nullptr, 1, 65}},
     .source = kDutyCycle,
     .value = "Edit20",
     .second = "Edit21",
     .texts = {kWriteDutyCycleProgress, kWriteDutyCycleFail, kWriteFail}},
    // IO lines of the ID protocol, addressed to the target ID.
    {.button = "SpeedButton13",
     .code = cmd::kIoRead,
     .io = true,
     .steps = Join(kTargetChecks, {{kClear, "ComboBox7"},
                                   {kClear, "ComboBox8"},
                                   {kClear, "ComboBox9"},
                                   {kClear, "ComboBox10"}}),
     .target = "Edit10",
     .texts = {kReadIoProgress, kReadIoFail, kReadFail}},
    {.button = "SpeedButton12",
     .code = cmd::kIoWrite,
     .io = true,
     .steps = Join(kTargetChecks, {{kSelected, "ComboBox9", kOutputNull}}),
     .source = kIoLine,
     .value = "ComboBox9",
     .ioLine = 1,
     .target = "Edit10",
     .texts = kOutputTexts},
    {.button = "SpeedButton32",
     .code = cmd::kIoWrite,
     .io = true,
     .steps = Join(kTargetChecks, {{kSelected, "ComboBox10", kOutputNull}}),
     .source = kIoLine,
     .value = "ComboBox10",
     .ioLine = 2,
     .target = "Edit10",
     .texts = kOutputTexts},
    // Field strength and power level.
    {.button = "Button1",
     .code = cmd::kReadFieldStrength,
     .steps = {{kClear, "Edit17"}, {kClear, "Edit16"}},
     .texts = {kReadFieldStrengthProgress, kReadFieldStrengthFailStatus, kReadFieldStrengthFail}},
    {.button = "Button2",
     .code = cmd::kSetPowerLevel,
     .steps = {{kSelected, "ComboBox21", kPowerLevelNull}},
     .source = kListCode,
     .value = "ComboBox21",
     .texts = {kWritePowerLevelProgress, kWritePowerLevelFail, kWriteFail},
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
