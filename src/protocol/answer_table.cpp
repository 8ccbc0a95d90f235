// What each answer code does, in both framings. The EDED handler uses the same rows for the
// codes it knows; its set-all chain runs in another order.
#include "answer_handler.h"

#include "core/catalogue.h"

namespace {

// The refusal most rows share.
Bilingual Refused(const char* chinese) {
    return {"Answer data is error!", chinese};
}

} // namespace

std::span<const AnswerHandler::Row> AnswerHandler::Rows() {
    using namespace core::cmd;
    using H = AnswerHandler;
    // clang-format off
    static const Row rows[] = {
        {kSearch, &H::SearchAnswer, {"RF Module(Radio) Searched OK!", "成功检测到电台！"}, {},
         kAlways | kNoEDED},
        // The serial settings answers say "answer" in lower case.
        {kWriteSerial, &H::SerialSettingsWritten,
         {"Parameters of Com Port Set OK!", "串口参数设置成功!"},
         {"answer data is error!", "返回串口设置应答!"}, kTextAfter},
        {kReadSerial, &H::SerialSettingsRead, {"COM Parameters Read OK!", "串口参数读取成功!"},
         {"answer data is error!", "返回串口参数读取应答!"}, kTextAfter},
        {kWriteAirRate, nullptr, {"RF Parameters Write OK!", "空中参数设置成功!"},
         Refused("返回空中参数设置应答!"), kTextFirst},
        {kReadAirRate, &H::AirRateRead, {"RF Parameters Read OK!", "空中参数读取成功!"},
         Refused("返回空中参数读取应答!"), kTextFirst},
        {kWriteChannel, nullptr, {"Channel and frequency Write OK!", "信道参数设置成功!"},
         Refused("返回信道参数设置应答!"), kTextFirst},
        {kReadChannel, &H::ChannelRead, {"Read Channel and frequency OK!", "读信道与频率成功!"},
         Refused("返回信道参数读取应答!"), kTextAfter},
        {kStartTxTest, nullptr, {"TX Test OK!", "启动测试成功!"}, Refused("返回测试应答!"),
         kTextFirst},
        {kEndTxTest, nullptr, {"End TX test OK!", "结束测试成功!"}, Refused("返回结束测试应答!"),
         kTextFirst},
        {kWriteProtocol, nullptr, {"Write RF Protocol OK!", "空中协议设置成功!"},
         Refused("返回空中协议设置应答!"), kTextFirst},
        {kWriteSerialNumber, &H::SerialNumberWritten, {"Write SN OK!", "出厂系列号设置成功!"},
         Refused("返回出厂系列号应答!"), kTextFirst},
        // The serial-number answer's text depends on who asked for it.
        {kReadSerialNumber, &H::SerialNumberAnswer, {}, Refused("返回出厂系列号读取应答!"),
         kTextFirst},
        {kWriteId, nullptr, {"Write ID OK!", "电台ID号设置成功!"}, Refused("返回电台ID号设置应答!"),
         kTextFirst},
        {kReadId, &H::IdRead, {"Read ID OK!", "电台ID号读取成功!"},
         Refused("返回电台ID号读取应答!"), kTextAfter},
        {kWriteAll, &H::AllWritten, {"Write All Parameters OK!", "参数全设成功!"},
         Refused("返回参数全写应答!"), kTextFirst},
        {kWritePowerSave, nullptr, {"Write PowerSaved Mode OK!", "省电模式设置成功!"},
         Refused("返回省电模式设置应答!"), kTextFirst},
        {kReadPowerSave, &H::PowerSaveRead, {"Read PowerSaved Mode OK!", "省电模式读取成功!"},
         Refused("返回省电模式读取应答!"), kTextFirst},
        {kSerialWakeUp, nullptr, {"COM Wake up OK!", "串口唤醒成功!"},
         Refused("返回串口唤醒成功应答!"), kTextFirst},
        {kReadFieldStrength, &H::FieldStrengthRead, {"Read OK!", "场强读取成功！"}, {}, kTextFirst},
        // The power value follows the Chinese text, so the effect writes it.
        {kSetPowerLevel, &H::PowerLevelSet, {}, {}, kTextFirst},
        {kReadProtocol, &H::ProtocolRead, {"Read RF Protocol OK!", "空中协议读取成功!"},
         Refused("返回空中协议读取应答!"), kTextFirst},
        {kReadAll, &H::AllRead, {"Read All Parameters OK!", "参数全读成功!"},
         {"Recieved All Parameters Setting Command !", "返回参数全读命令!"}, kTextFirst},
        {kSetDutyCycle, nullptr, {"Sleep interval be set OK!", "休眠占空比时间设置成功!"},
         {"Sleep interval Set error!", "返回休眠占空比时间设置应答!"}, kNoEDED},
        {kSetOutputPower, nullptr, {"Power be set OK!", "功率设置成功!"}, {}, kTextFirst},
        {kAdjustCapacitance, nullptr,
         {"The capacitance frequency adjust OK!", "电容工作频率校准成功!"}, {}, kNoEDED},
    };
    // clang-format on
    return rows;
}

std::span<const AnswerHandler::ChainStep> AnswerHandler::ChainSteps() {
    using namespace core::cmd;
    using core::Framing;
    using H = AnswerHandler;
    // Air protocol, serial number, all parameters, TX test; the EDED chain writes all
    // parameters before the serial number.
    static const ChainStep steps[] = {
        {Framing::k5A5A, kWriteProtocol, false, &H::ChainWriteSerialNumber},
        {Framing::k5A5A, kWriteSerialNumber, false, &H::ChainWriteAll},
        {Framing::k5A5A, kWriteAll, true, &H::ChainStartTxTest},
        {Framing::kEDED, kWriteProtocol, false, &H::ChainWriteAll},
        {Framing::kEDED, kWriteAll, false, &H::ChainWriteSerialNumber},
        {Framing::kEDED, kWriteSerialNumber, false, &H::ChainStartTxTest},
    };
    return steps;
}
