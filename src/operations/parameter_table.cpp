#include "parameter_table.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

using core::ChannelFromPosition;
using core::RateCodeFromPosition;
using enum ParameterStep::Kind;
using enum PayloadSource;
namespace cmd = core::cmd;

const Bilingual kReadFail{"Read Fail!", "读取失败!"};
const Bilingual kSetFail{"Set fail!", "设置失败!"};
const Bilingual kWriteFail{"Write Fail!", "设置失败!"};

const Bilingual kIdNull{"ID is NULL!", "ID号不能为空!"};
const Bilingual kIdRange{"ID out of range(0-65535)!", "ID号超出范围(0-65535)!"};
const Bilingual kTargetNull{"ID is NULL!", "目标地址不能为空!"};
const Bilingual kTargetRange{"ID out of range(0-65535)!", "目标地址超出范围(0-65535)!"};
const Bilingual kTimeNull{"Time is NULL!", "占空比时间为空，请输入!"};
const Bilingual kOutputNull{"Output status is NULL!", "输出开关量为空!"};

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
    {"Writing output status......", "正在设置输出开关量(o口)......"},
    {"Write output status Fail!", "设置输出开关量失败!"},
    kWriteFail,
};

const std::vector<ParameterCommand> kTable{
    // Channel and frequency: the answer selects the channel and shows its frequencies.
    {.button = "SpeedButton2",
     .code = cmd::kReadChannel,
     .steps =
         {{kClear, "ComboBox4"}, {kModelCheck, "ComboBox4"}, {kClear, "Edit1"}, {kClear, "Edit19"}},
     .texts = {{"Reading Channel and Frequency......", "正在读取信道与频率......"},
               {"Read Channel and Frequency fail!", "正在读取与频率失败!"},
               kReadFail}},
    {.button = "SpeedButton8",
     .code = cmd::kWriteChannel,
     .steps = {{kSelected, "ComboBox4", {"Channel is NULL!", "信道为空!"}}},
     .source = kListCode,
     .value = "ComboBox4",
     .listCode = ChannelFromPosition,
     .texts = {{"Writing Channel and frequency......", "设置信道与频率......"},
               {"Write Channel and frequency Fail!", "设置信道与频率失败!"},
               kWriteFail}},
    // Air data rate.
    {.button = "SpeedButton4",
     .code = cmd::kReadAirRate,
     .steps = {{kClear, "ComboBox1"}, {kModelCheck, "ComboBox1"}},
     .texts = {{"Reading RF Baud Rate......", "正在读取空中波特率......"},
               {"Read RF Baud Rate Fail!", "读取空中波特率失败!"},
               kReadFail}},
    {.button = "SpeedButton9",
     .code = cmd::kWriteAirRate,
     .steps = {{kSelected, "ComboBox1", {"Baud Rate is NULL!", "波特率为空!"}}},
     .source = kListCode,
     .value = "ComboBox1",
     .listCode = RateCodeFromPosition,
     .texts = {{"Writing RF Baud Rate......", "设置空中波特率......"},
               {"Write RF Baud Rate fail!", "设置空中波特率失败!"},
               kSetFail}},
    // The module's own serial settings.
    {.button = "SpeedButton5",
     .code = cmd::kReadSerial,
     .steps = {{kClear, "ComboBox2"}, {kClear, "ComboBox3"}, {kModelCheck, "ComboBox2"}},
     .texts = {{"Read COM Baud Rate......", "正在读取串口波特率......"},
               {"Read COM Baud Rate Fail!", "读取串口波特率失败!"},
               kReadFail}},
    {.button = "SpeedButton10",
     .code = cmd::kWriteSerial,
     .steps = {{kSelected, "ComboBox2", {"COM Baud Rate is NULL!", "串口波特率为空!"}},
               {kSelected, "ComboBox3", {"COM Verify is NULL!", "串口校验为空!"}}},
     .source = kSerialSettings,
     .value = "ComboBox2",
     .second = "ComboBox3",
     .texts = {{"Writing COM Baud Rate......", "设置串口波特率......"},
               {"Write COM Baud Rate Fail!", "设置串口波特率失败!"},
               kSetFail}},
    // Air protocol: without a selection the write would send position -1 as FF.
    {.button = "SpeedButton22",
     .code = cmd::kReadProtocol,
     .steps = {{kClear, "ComboBox5"}},
     .texts = {{"Read RF protocol......", "读取空中协议......"},
               {"Read RF protocol fail!", "读取空中协议失败!"},
               kReadFail}},
    {.button = "SpeedButton23",
     .code = cmd::kWriteProtocol,
     .steps = {{kSelected, "ComboBox5", {"RF protocol is NULL!", "空中协议为空!"}}},
     .source = kListCode,
     .value = "ComboBox5",
     .texts = {{"Writing RF protocol......", "正在设置空中协议......"},
               {"Writing RF protocol Fail!", "设置空中协议失败!"},
               kSetFail}},
    // Module ID and output power.
    {.button = "SpeedButton26",
     .code = cmd::kReadId,
     .steps = {{kClear, "Edit15"}},
     .texts = {{"Reading ID......", "正在读取电台ID......"},
               {"Read ID Fail!", "读取电台ID失败!"},
               kReadFail}},
    {.button = "SpeedButton27",
     .code = cmd::kWriteId,
     .steps = {{kNotEmpty, "Edit15", kIdNull}, {kInRange, "Edit15", kIdRange, nullptr, 0, 0xFFFF}},
     .source = kWord,
     .value = "Edit15",
     .texts = {{"Write ID......", "正在设置电台ID......"},
               {"Write ID Fail!", "设置电台ID失败!"},
               kSetFail}},
    {.button = "SpeedButton33",
     .code = cmd::kSetOutputPower,
     .steps = {{kSelected, "ComboBox14", {"Power is NULL!", "功率不能为空!"}}},
     .source = kListCode,
     .value = "ComboBox14",
     .texts = {{"Set Power......", "正在设置电台功率（仅对QX875）......"},
               {"Set Power Fail!", "设置电台功率失败!"},
               kSetFail},
     .progressChineseBareNames = "正在设置电台功率（仅对875）......"},
    // Power saving.
    {.button = "SpeedButton11",
     .code = cmd::kReadPowerSave,
     .steps = {{kClear, "ComboBox6"}},
     .texts = {{"Reading Power Save Mode......", "正在读取省电模式......"},
               {"Read Fail!", "省电模式读取失败!"},
               kReadFail}},
    {.button = "SpeedButton28",
     .code = cmd::kWritePowerSave,
     .steps = {{kSelected, "ComboBox6", {"Power Save Mode is NULL!", "省电模式为空!"}}},
     .source = kListCode,
     .value = "ComboBox6",
     .texts = {{"Writing powersaved mode......", "正在设置省电模式......"},
               {"Write powersaved mode fail!", "设置省电模式失败"},
               {"Write powersaved mode fail!", "设置省电模式失败!"}}},
    {.button = "SpeedButton29",
     .code = cmd::kSerialWakeUp,
     .texts = {{"Waking up from COM Port......", "正在进行串口唤醒......"},
               {"Wake up from COM Port Fail", "串口唤醒失败!"},
               {"Wake up from COM Port Fail!", "串口唤醒失败!"}}},
    {.button = "SpeedButton39",
     .code = cmd::kSetDutyCycle,
     .steps = {{kNotEmpty, "Edit20", kTimeNull},
               {kNotEmpty, "Edit21", kTimeNull, "Edit20"},
               {kInRange,
                "Edit20",
                {"Time value out of scope(1-65535MS)!", "数值超出范围（1-65535毫秒）！"},
                nullptr,
                1,
                65535},
               // 65 s is the longest sleep whose ms still fit two bytes.
               {kInRange,
                "Edit21",
                {"Time value out of scope(1-65S)!", "数值超出范围（1-65秒）！"},
                nullptr,
                1,
                65}},
     .source = kDutyCycle,
     .value = "Edit20",
     .second = "Edit21",
     .texts = {{"Writing duty cycle time......", "正在设置空中唤醒占空比时间......"},
               {"Write duty cycle time Fail!", "设置空中唤醒占空比时间失败!"},
               kWriteFail}},
    // IO lines of the ID protocol, addressed to the target ID.
    {.button = "SpeedButton13",
     .code = cmd::kIoRead,
     .io = true,
     .steps = Join(kTargetChecks, {{kClear, "ComboBox7"},
                                   {kClear, "ComboBox8"},
                                   {kClear, "ComboBox9"},
                                   {kClear, "ComboBox10"}}),
     .target = "Edit10",
     .texts = {{"Read IO status......", "正在读取IO开关量......"},
               {"IO status Read Fail!", "IO开关量读取失败!"},
               kReadFail}},
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
     .texts = {{"Reading ......", "正在读取场强......"},
               {"Read Fail!", "正在读取场强失败!"},
               {"Read Field Strength Fail!", "读取场强失败!"}}},
    {.button = "Button2",
     .code = cmd::kSetPowerLevel,
     .steps = {{kSelected, "ComboBox21", {"The value is null!", "数值不能为空！"}}},
     .source = kListCode,
     .value = "ComboBox21",
     .texts = {{"Writing Power Level......", "正在设置功率......"},
               {"Write Power Level Fail!", "设置功率失败!"},
               kWriteFail},
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
