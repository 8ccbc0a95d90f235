#include "texts.h"

#include "captions.h"

#include <cstddef>

namespace core {
namespace {

struct TextRow {
    TextId id;
    const char* chinese;
    const char* english;
    const char* german;
    bool serialLink = false;
};

// Verbatim, spelling and full-width punctuation included: operators and their scripts know
// these texts as they are.
constexpr TextRow kTexts[] = {
    // Operation guard and input checks.
    {TextId::kStopPairTest, "请先停止对传测试!", "Please Stop Transmiting both sides!", nullptr},
    {TextId::kChooseModel, "请先选择型号及基频或先检测电台!",
     "Please Choose Model/Base Fre. or Search FIRST!", nullptr},
    {TextId::kWrongModel, "当前所选的产品型号与实际不符,请选择正确型号及基频或先检测电台!",
     "The Model you chose is wrong,Please Choose Correct Model/Base Fre. or Search FIRST!",
     nullptr},
    {TextId::kReadFail, "读取失败!", "Read Fail!", nullptr},
    {TextId::kSetFail, "设置失败!", "Set fail!", nullptr},
    {TextId::kWriteFail, "设置失败!", "Write Fail!", nullptr},
    {TextId::kIdNull, "ID号不能为空!", "ID is NULL!", nullptr},
    {TextId::kIdRange, "ID号超出范围(0-65535)!", "ID out of range(0-65535)!", nullptr},
    {TextId::kTargetNull, "目标地址不能为空!", "ID is NULL!", nullptr},
    {TextId::kTargetRange, "目标地址超出范围(0-65535)!", "ID out of range(0-65535)!", nullptr},
    {TextId::kTimeNull, "占空比时间为空，请输入!", "Time is NULL!", nullptr},
    {TextId::kOutputNull, "输出开关量为空!", "Output status is NULL!", nullptr},
    {TextId::kChannelNull, "信道为空!", "Channel is NULL!", nullptr},
    {TextId::kBaudRateNull, "波特率为空!", "Baud Rate is NULL!", nullptr},
    {TextId::kComBaudRateNull, "串口波特率为空!", "COM Baud Rate is NULL!", nullptr},
    {TextId::kComVerifyNull, "串口校验为空!", "COM Verify is NULL!", nullptr},
    {TextId::kProtocolNull, "空中协议为空!", "RF protocol is NULL!", nullptr},
    {TextId::kPowerNull, "功率不能为空!", "Power is NULL!", nullptr},
    {TextId::kPowerSaveNull, "省电模式为空!", "Power Save Mode is NULL!", nullptr},
    {TextId::kOnTimeRange, "数值超出范围（1-65535毫秒）！", "Time value out of scope(1-65535MS)!",
     nullptr},
    {TextId::kSleepTimeRange, "数值超出范围（1-65秒）！", "Time value out of scope(1-65S)!",
     nullptr},
    {TextId::kPowerLevelNull, "数值不能为空！", "The value is null!", nullptr},
    {TextId::kYearNull, "年份序号不能为空!", "Year is NULL!", nullptr},
    {TextId::kMonthNull, "月份序号不能为空!", "Month is NULL!", nullptr},
    {TextId::kNumberNull, "序号不能为空!", "SN is NULL!", nullptr},
    {TextId::kNumberRange, "序号超出范围!", "SN out of Range!", nullptr},
    {TextId::kYearWrong, "年份序号错误(2000-2099)!", "Year is wrong(2000-2099)!", nullptr},
    {TextId::kMonthWrong, "月份序号错误(01-12)!", "Month is wrong(01-12)!", nullptr},
    {TextId::kModelNull, "电台型号参数为空!", "Model is Null!", nullptr},
    {TextId::kNoChannelList, "信道频率为空，请先选择型号基频或先检测电台!",
     "NO channel,Please choose Modle/Base fre. or Search Firstly!", nullptr},
    {TextId::kNoAirRateList, "空中速率为空，请先选择型号基频或先检测电台!",
     "NO RF rate List,Please choose Modle/Base fre. or Search Firstly !", nullptr},
    {TextId::kNoSerialRateList, "串口速率为空，请先选择型号基频或先检测电台!",
     "NO Baud rate List,Please choose Modle/Base fre. or Search Firstly!", nullptr},
    {TextId::kConfirmBaseFrequency, "你确定为此频率吗？", "Do you Confirm changing the frequency?",
     nullptr},
    // Progress and failure of the per-parameter operations.
    {TextId::kReadChannelProgress, "正在读取信道与频率......",
     "Reading Channel and Frequency......", nullptr},
    {TextId::kReadChannelFail, "正在读取与频率失败!", "Read Channel and Frequency fail!", nullptr},
    {TextId::kWriteChannelProgress, "设置信道与频率......", "Writing Channel and frequency......",
     nullptr},
    {TextId::kWriteChannelFail, "设置信道与频率失败!", "Write Channel and frequency Fail!",
     nullptr},
    {TextId::kReadAirRateProgress, "正在读取空中波特率......", "Reading RF Baud Rate......",
     nullptr},
    {TextId::kReadAirRateFail, "读取空中波特率失败!", "Read RF Baud Rate Fail!", nullptr},
    {TextId::kWriteAirRateProgress, "设置空中波特率......", "Writing RF Baud Rate......", nullptr},
    {TextId::kWriteAirRateFail, "设置空中波特率失败!", "Write RF Baud Rate fail!", nullptr},
    {TextId::kReadSerialProgress, "正在读取串口波特率......", "Read COM Baud Rate......", nullptr},
    {TextId::kReadSerialFail, "读取串口波特率失败!", "Read COM Baud Rate Fail!", nullptr},
    {TextId::kWriteSerialProgress, "设置串口波特率......", "Writing COM Baud Rate......", nullptr},
    {TextId::kWriteSerialFail, "设置串口波特率失败!", "Write COM Baud Rate Fail!", nullptr},
    {TextId::kReadProtocolProgress, "读取空中协议......", "Read RF protocol......", nullptr},
    {TextId::kReadProtocolFail, "读取空中协议失败!", "Read RF protocol fail!", nullptr},
    {TextId::kWriteProtocolProgress, "正在设置空中协议......", "Writing RF protocol......",
     nullptr},
    {TextId::kWriteProtocolFail, "设置空中协议失败!", "Writing RF protocol Fail!", nullptr},
    {TextId::kReadIdProgress, "正在读取电台ID......", "Reading ID......", nullptr},
    {TextId::kReadIdFail, "读取电台ID失败!", "Read ID Fail!", nullptr},
    {TextId::kWriteIdProgress, "正在设置电台ID......", "Write ID......", nullptr},
    {TextId::kWriteIdFail, "设置电台ID失败!", "Write ID Fail!", nullptr},
    {TextId::kSetPowerProgress, "正在设置电台功率（仅对QX875）......", "Set Power......", nullptr},
    {TextId::kSetPowerProgressBareNames, "正在设置电台功率（仅对875）......", "Set Power......",
     nullptr},
    {TextId::kSetPowerFail, "设置电台功率失败!", "Set Power Fail!", nullptr},
    {TextId::kReadPowerSaveProgress, "正在读取省电模式......", "Reading Power Save Mode......",
     nullptr},
    {TextId::kReadPowerSaveFail, "省电模式读取失败!", "Read Fail!", nullptr},
    {TextId::kWritePowerSaveProgress, "正在设置省电模式......", "Writing powersaved mode......",
     nullptr},
    {TextId::kWritePowerSaveFailStatus, "设置省电模式失败", "Write powersaved mode fail!", nullptr},
    {TextId::kWritePowerSaveFail, "设置省电模式失败!", "Write powersaved mode fail!", nullptr},
    {TextId::kWakeUpProgress, "正在进行串口唤醒......", "Waking up from COM Port......", nullptr},
    {TextId::kWakeUpFailStatus, "串口唤醒失败!", "Wake up from COM Port Fail", nullptr},
    {TextId::kWakeUpFail, "串口唤醒失败!", "Wake up from COM Port Fail!", nullptr},
    {TextId::kWriteDutyCycleProgress, "正在设置空中唤醒占空比时间......",
     "Writing duty cycle time......", nullptr},
    {TextId::kWriteDutyCycleFail, "设置空中唤醒占空比时间失败!", "Write duty cycle time Fail!",
     nullptr},
    {TextId::kReadIoProgress, "正在读取IO开关量......", "Read IO status......", nullptr},
    {TextId::kReadIoFail, "IO开关量读取失败!", "IO status Read Fail!", nullptr},
    {TextId::kWriteOutputProgress, "正在设置输出开关量(o口)......", "Writing output status......",
     nullptr},
    {TextId::kWriteOutputFail, "设置输出开关量失败!", "Write output status Fail!", nullptr},
    {TextId::kReadFieldStrengthProgress, "正在读取场强......", "Reading ......", nullptr},
    {TextId::kReadFieldStrengthFailStatus, "正在读取场强失败!", "Read Fail!", nullptr},
    {TextId::kReadFieldStrengthFail, "读取场强失败!", "Read Field Strength Fail!", nullptr},
    {TextId::kWritePowerLevelProgress, "正在设置功率......", "Writing Power Level......", nullptr},
    {TextId::kWritePowerLevelFail, "设置功率失败!", "Write Power Level Fail!", nullptr},
    {TextId::kReadSerialNumberProgress, "正在读取出厂系列号......", "Read SN......", nullptr},
    {TextId::kReadSerialNumberFail, "出厂系列号读取空中协议失败!", "Read SN Fail!", nullptr},
    {TextId::kWriteSerialNumberProgress, "设置出厂系列号......", "Writing SN......", nullptr},
    {TextId::kWriteSerialNumberFail, "设置出厂系列号失败！!", "Writ SN Fail!", nullptr},
    // Radio search.
    {TextId::kSearching, "正在检测电台......", "Searching......", nullptr},
    {TextId::kSearchStopped, "检测停止!", "Search stoped!", nullptr},
    {TextId::kSearchError, "检测出错，可能是串口未打开或打开出错！",
     "Search Error，Maybe COM Port not Opened or Error！", nullptr},
    {TextId::kSearchFail, "未检测到电台！", "Search Fail！", nullptr},
    {TextId::kNotSearched, "未检测到电台，请检查电源或数据接线是否正常！",
     "Not Searched Radio，Please check Power or Data line！", nullptr},
    {TextId::kRawSocketSearch,
     "原始 TCP 端口（socket://）的串口设置由服务器决定，无法逐一检测：请选服务器的波特率和校验，"
     "或改用 rfc2217://！",
     "The search cannot walk a raw socket (socket://): its line is the server's. Choose the "
     "server's baud rate and parity, or serve the port as rfc2217://!",
     nullptr},
    {TextId::kSearchTry, "检测 %1/%2：%3", "Search try %1 of %2: %3", nullptr},
    {TextId::kSearchOwnSetting, "当前串口设置", "the port's own setting", nullptr},
    {TextId::kSetAllStep, "全部设置 第%1/%2步", "Set all: step %1 of %2", nullptr},
    // Read all and write all.
    {TextId::kReadAllSearching, "正在读电台......", "Reading......", nullptr},
    {TextId::kReadAllProgress, "正在全读电台参数......", "Reading All Parameters......", nullptr},
    {TextId::kReadAllFail, "全读电台参数失败!", "Read All Parameters Fail!", nullptr},
    {TextId::kWriteAllSearching, "开始检测电台......", "Searching......", nullptr},
    {TextId::kWriteAllProgress, "正在全写电台.....", "Write all Parameters.....", nullptr},
    {TextId::kWriteAllFail, "全写电台失败!", "Write all Parameters Fail!", nullptr},
    {TextId::kAllChannelNull, "信道不能为空！", "Channel is NULL！", nullptr},
    {TextId::kAllAirRateNull, "空中波特率不能为空！", "RF Baud Rate is NULL！", nullptr},
    {TextId::kAllComRateNull, "串口波特率不能为空！", "COM Baud rate is NULL！", nullptr},
    {TextId::kAllComVerifyNull, "串口校验不能为空！", "COM verify is NULL！", nullptr},
    {TextId::kSequenceComRateNull, "串口波特率不能为空！", "COM Banud Rate is NULL！", nullptr},
    {TextId::kSequenceComVerifyNull, "串口校验不能为空！", "COM Verify is NULL！", nullptr},
    // RF test and calibration.
    {TextId::kStartTxTestProgress, "正在测试电台.....", "Searching......", nullptr},
    {TextId::kStartTxTestFailStatus, "测试电台失败!", "Search Fail!", nullptr},
    {TextId::kStartTxTestFail, "读取失败!", "Search Fail!", nullptr},
    // Entering the end of the test has one dot more than its progress in Chinese.
    {TextId::kEndTxTestEntering, "正在结束测试......", "Stoping TX test......", nullptr},
    {TextId::kEndTxTestProgress, "正在结束测试.....", "Stoping TX test......", nullptr},
    {TextId::kEndTxTestFailStatus, "结束测试电台失败!", "Stoping TX test Fail!", nullptr},
    {TextId::kEndTxTestFail, "结束结束失败!", "Stoping TX test Fail!", nullptr},
    {TextId::kTxTestStepEntering, "正在进行发射测试......", "Writing TX Test......", nullptr},
    {TextId::kTxTestStepProgress, "设置发射状态......", "Setting TX test......", nullptr},
    {TextId::kTxTestStepFailStatus, "设置发射状态失败!", "Setting TX test Fail!", nullptr},
    {TextId::kCapacitanceNull, "数值不能为空！", "The value is null!", nullptr},
    {TextId::kCapacitanceRange, "数值超出范围！", "The value is out of range!", nullptr},
    {TextId::kCapacitanceProgress, "正在校准电容工作频率......", "Adjusting Capacitance......",
     nullptr},
    {TextId::kCapacitanceFailStatus, "电容工作频率校准失败!", "Adjusting Capacitance Fail!",
     nullptr},
    // Answers: accepted, refused, and what the effects add.
    {TextId::kSearched, "成功检测到电台！", "RF Module(Radio) Searched OK!", nullptr},
    {TextId::kSerialWritten, "串口参数设置成功!", "Parameters of Com Port Set OK!", nullptr},
    // The serial settings refusals say "answer" in lower case.
    {TextId::kSerialWriteRefused, "返回串口设置应答!", "answer data is error!", nullptr},
    {TextId::kSerialRead, "串口参数读取成功!", "COM Parameters Read OK!", nullptr},
    {TextId::kSerialReadRefused, "返回串口参数读取应答!", "answer data is error!", nullptr},
    {TextId::kAirRateWritten, "空中参数设置成功!", "RF Parameters Write OK!", nullptr},
    {TextId::kAirRateWriteRefused, "返回空中参数设置应答!", "Answer data is error!", nullptr},
    {TextId::kAirRateRead, "空中参数读取成功!", "RF Parameters Read OK!", nullptr},
    {TextId::kAirRateReadRefused, "返回空中参数读取应答!", "Answer data is error!", nullptr},
    {TextId::kChannelWritten, "信道参数设置成功!", "Channel and frequency Write OK!", nullptr},
    {TextId::kChannelWriteRefused, "返回信道参数设置应答!", "Answer data is error!", nullptr},
    {TextId::kChannelRead, "读信道与频率成功!", "Read Channel and frequency OK!", nullptr},
    {TextId::kChannelReadRefused, "返回信道参数读取应答!", "Answer data is error!", nullptr},
    {TextId::kTxTestStarted, "启动测试成功!", "TX Test OK!", nullptr},
    {TextId::kTxTestStartRefused, "返回测试应答!", "Answer data is error!", nullptr},
    {TextId::kTxTestEnded, "结束测试成功!", "End TX test OK!", nullptr},
    {TextId::kTxTestEndRefused, "返回结束测试应答!", "Answer data is error!", nullptr},
    {TextId::kProtocolWritten, "空中协议设置成功!", "Write RF Protocol OK!", nullptr},
    {TextId::kProtocolWriteRefused, "返回空中协议设置应答!", "Answer data is error!", nullptr},
    {TextId::kSerialNumberWritten, "出厂系列号设置成功!", "Write SN OK!", nullptr},
    {TextId::kSerialNumberWriteRefused, "返回出厂系列号应答!", "Answer data is error!", nullptr},
    {TextId::kSerialNumberRead, "出厂系列号读取成功!", "Read SN OK!", nullptr},
    {TextId::kSerialNumberReadRefused, "返回出厂系列号读取应答!", "Answer data is error!", nullptr},
    {TextId::kIdWritten, "电台ID号设置成功!", "Write ID OK!", nullptr},
    {TextId::kIdWriteRefused, "返回电台ID号设置应答!", "Answer data is error!", nullptr},
    {TextId::kIdRead, "电台ID号读取成功!", "Read ID OK!", nullptr},
    {TextId::kIdReadRefused, "返回电台ID号读取应答!", "Answer data is error!", nullptr},
    {TextId::kAllWritten, "参数全设成功!", "Write All Parameters OK!", nullptr},
    {TextId::kAllWriteRefused, "返回参数全写应答!", "Answer data is error!", nullptr},
    {TextId::kPowerSaveWritten, "省电模式设置成功!", "Write PowerSaved Mode OK!", nullptr},
    {TextId::kPowerSaveWriteRefused, "返回省电模式设置应答!", "Answer data is error!", nullptr},
    {TextId::kPowerSaveRead, "省电模式读取成功!", "Read PowerSaved Mode OK!", nullptr},
    {TextId::kPowerSaveReadRefused, "返回省电模式读取应答!", "Answer data is error!", nullptr},
    {TextId::kWokenUp, "串口唤醒成功!", "COM Wake up OK!", nullptr},
    {TextId::kWakeUpRefused, "返回串口唤醒成功应答!", "Answer data is error!", nullptr},
    {TextId::kFieldStrengthRead, "场强读取成功！", "Read OK!", nullptr},
    {TextId::kProtocolRead, "空中协议读取成功!", "Read RF Protocol OK!", nullptr},
    {TextId::kProtocolReadRefused, "返回空中协议读取应答!", "Answer data is error!", nullptr},
    {TextId::kAllRead, "参数全读成功!", "Read All Parameters OK!", nullptr},
    {TextId::kAllReadRefused, "返回参数全读命令!", "Recieved All Parameters Setting Command !",
     nullptr},
    {TextId::kDutyCycleSet, "休眠占空比时间设置成功!", "Sleep interval be set OK!", nullptr},
    {TextId::kDutyCycleRefused, "返回休眠占空比时间设置应答!", "Sleep interval Set error!",
     nullptr},
    {TextId::kOutputPowerSet, "功率设置成功!", "Power be set OK!", nullptr},
    {TextId::kCapacitanceAdjusted, "电容工作频率校准成功!", "The capacitance frequency adjust OK!",
     nullptr},
    {TextId::kPowerLevelSet, "功率设置成功,功率值为：", "Power be set OK!", nullptr},
    {TextId::kIoLineWritten, "IO开关量设置成功!", "Write IO OK!", nullptr},
    {TextId::kIoWriteRefused, "返回IO开关量设置成功应答!", "Answer data is error!", nullptr},
    {TextId::kIoLinesRead, "IO开关量读取成功!", "Read IO status OK!", nullptr},
    {TextId::kIoReadRefused, "返回IO开关量读取应答!", "Answer data is error!", nullptr},
    {TextId::kChecksumError, "返回应答校验出错！", "Checksum is error!", nullptr},
    // The IO answers' checksum line has always read so.
    {TextId::kIoChecksumError, "返回应答校验出错！", "Shecksum is error!", nullptr},
    {TextId::kModelRead, "(型号读取成功)", "(Model read ok)", nullptr},
    {TextId::kModelBaseFrequencyRead, "(型号、基频读取成功)", "(Model,base frequency read ok)",
     nullptr},
    {TextId::kBaseFrequencyNotFound, "找不到相应的基频！", "The base frequency Not be found!",
     nullptr},
    {TextId::kPairDataReceived, "对传测试:数据已被接收!", "Transmit both sides: Data received!!",
     nullptr},
    {TextId::kSessionLogFailed, "会话日志无法写入：", "Session log cannot be written: ", nullptr},
    {TextId::kSaveProfileTitle, "保存模块设置", "Save module settings", nullptr},
    {TextId::kApplyProfileTitle, "应用设置", "Apply settings", nullptr},
    {TextId::kProfileSaved, "模块设置已保存：", "Module settings saved: ", nullptr},
    {TextId::kProfileApplied, "设置已写入，回读一致!", "Settings written; the read-back matches!",
     nullptr},
    {TextId::kProfileSame, "模块设置与文件相同，无需写入!",
     "The module already has these settings!", nullptr},
    {TextId::kProfileApplyQuestion, "写入以下设置？\n", "Write these settings?\n", nullptr},
    {TextId::kProfileFailed, "设置文件操作失败：", "Settings profile failed: ", nullptr},
    {TextId::kProfileReadBackDiffers, "写入后回读不一致：",
     "the read-back differs after the write:", nullptr},
    {TextId::kProfileReading, "读取模块设置 %1/%2：%3", "Reading module settings %1 of %2: %3",
     nullptr},
    {TextId::kProfileWriting, "写入模块设置 %1/%2：%3", "Writing module settings %1 of %2: %3",
     nullptr},
    {TextId::kProfileBusy, "正在读写模块设置，请稍候!",
     "Module settings are being read or written; please wait!", nullptr},
    // Pair transfer test; the texts after the start captions are the saved results'.
    {TextId::kPairStartNull, "发送内容不能为空!", "Data is NULL!", nullptr},
    {TextId::kPairSendNull, "发送数据不能为空!", "Data is NULL!", nullptr},
    {TextId::kPairStopped, "对传测试已停止！", "Transmit Both Sides is stopped！", nullptr},
    {TextId::kWorkModeStop, "工作模式：停止工作", "Work mode：Stop work", nullptr},
    {TextId::kWorkModeMainTx, "工作模式：主发对传", "Work Mode：Main TX", nullptr},
    {TextId::kWorkModeMainRx, "工作模式：主收对传", "Work mode：Main RX", nullptr},
    {TextId::kWorkModeTimed, "工作模式：定时对传", "Work mode：Transmit Both Sides timing",
     nullptr},
    {TextId::kPairDataSent, "对传测试:数据已被发送!", "Transmit Both Sides:Data have been sent ok!",
     nullptr},
    {TextId::kPairHexKey, "请输入十六进制数！", "Please input HEX character！", nullptr},
    {TextId::kPairNotHex, "发送数据中存在非十六进制字符！", "NOT HEX character！", nullptr},
    // Our own: the answer-driven test has waited two frame delays without an answer.
    {TextId::kPairAwaitingAnswer, "对传测试:未收到应答，等待中……",
     "Transmit Both Sides: no answer yet, waiting...", nullptr},
    {TextId::kStartSend, "发送", "Send", "SENDEN"},
    {TextId::kStartReceive, "接收", "Receive", nullptr},
    {TextId::kSaveResultsTitle, "保存对传结果", "Save results", nullptr},
    {TextId::kSaveResultsFilter, "CSV 文件 (*.csv)", "CSV files (*.csv)", nullptr},
    {TextId::kSaveResultsFail, "无法写入该文件，结果未保存!",
     "Cannot write the file; results not saved!", nullptr},
    {TextId::kResultsSaved, "对传结果已保存!", "Results saved!", nullptr},
    // Data communication terminal and the tab change questions.
    {TextId::kWorkModeData, "工作模式：数据通讯", "Work mode：Data Communication", nullptr},
    {TextId::kDataSent, "数据已被发送!", "Data have been sent!", nullptr},
    {TextId::kTerminalDataNull, "发送数据不能为空!", "Data is Null!", nullptr},
    {TextId::kTerminalHexKey, "请输入十六进制数！", "Please input HEX character!", nullptr},
    {TextId::kLeaveDataQuestion, "正在数据通讯状态中,你希望退出吗？",
     "Data Transmiting,Will you exit it?", nullptr},
    {TextId::kStopPairQuestion, "正在进行对传测试,你确定停止对传测试吗？",
     "Will you stop Transmiting both sides?", nullptr},
    {TextId::kEnterDataQuestion, "你希望进入数据通讯状态吗？",
     "Will you change into Data transmiting?", nullptr},
    {TextId::kStopDataQuestion, "正在进行数据通讯,您需要停止该状态吗!",
     "Will you stop Data transmitting?", nullptr},
    // Port settings dialog: messages, then the captions it replaces.
    {TextId::kPortOutOfRange, "端口的选项超过可选范围！", "COM port is out of range！", nullptr},
    {TextId::kBaudOutOfRange, "波特率的选项超过可选范围！", "Baud rate is out of range！", nullptr},
    {TextId::kOpenFail, "打开端口失败！", "COM port Open fail！", nullptr},
    {TextId::kOpenFailStatus, "串口打开失败！", "COM port Open fail！", nullptr},
    {TextId::kCloseFail, "关闭端口失败！", "COM port Close fail！", nullptr},
    {TextId::kCloseFailStatus, "串口关闭失败！", "COM port Close fail！", nullptr},
    {TextId::kNoDevice, "无设备", "no device", nullptr},
    {TextId::kDeviceAbsent, "未连接", "not plugged in", nullptr},
    {TextId::kPortDialogTitle, "串口设置", "COM Option", "COM EINSTELLUNGEN"},
    {TextId::kPortLabel, "串口", "COM Port", nullptr},
    {TextId::kBaudLabel, "波特率", "Baud Rate", nullptr},
    {TextId::kVerifyLabel, "校验", "Verify", nullptr},
    {TextId::kDataBitsLabel, "数据位", "Data Bits", nullptr},
    {TextId::kBeginBitsLabel, "起始位", "Begin Bits", nullptr},
    {TextId::kStopBitsLabel, "停止位", "Stop Bits", nullptr},
    {TextId::kParityEven, "EVEN(偶校验)", "EVEN", nullptr},
    {TextId::kParityOdd, "ODD(奇校验)", "ODD", nullptr},
    {TextId::kParityNone, "NONE(无校验)", "NONE", nullptr},
    {TextId::kOpenButton, "打开", "Open", "OEFFNEN"},
    {TextId::kCloseButton, "关闭", "Close", "SCHLIESSEN"},
    {TextId::kCancelButton, "取消", "Cancel", "ABBRECHEN"},
    // The serial link's own messages.
    {TextId::kPortNotOpen, nullptr, "The Port NOT be opened!", "KEIN PORT GEOEFFNET!", true},
    {TextId::kPortHardwareFail, nullptr, "The port open fail，hardware is error!", nullptr, true},
    {TextId::kPortOpenFail, nullptr,
     "The port open fail,the port NOT exist or other software have used it!", "KEIN PORT GEFUNDEN!",
     true},
    {TextId::kSystemCallFail, nullptr, "Call Win32 funtion fail!", nullptr, true},
    {TextId::kSendParamsError, nullptr, "The parameters error when sending data!", nullptr, true},
    // Window caption, vendor line and help document.
    {TextId::kWindowCaptionOwnBrand, "Velmora科技radarodedud   V3.06",
     "DE Doruva(Rizad) idavuvav  V3.06", "ZA ZEDOROZEVO ZODODURU  V3.06"},
    {TextId::kWindowCaptionMorvantelis, "Velmora科技radarodedud   V3.06  For  MORVANTELIS",
     "DE Doruva(Rizad) idavuvav  V3.06", "ZA ZEDOROZEVO ZODODURU  V3.06"},
    {TextId::kWindowCaptionOtherBrand, "radarodedud   V3.06", "DE Doruva(Rizad) idavuvav  V3.06",
     "ZA ZEDOROZEVO ZODODURU  V3.06"},
    {TextId::kVendorLine, "qxtool 项目：串口无线数传模块配置与测试",
     "qxtool project: serial radio module configuration and test", nullptr},
    // Follows the document's full path.
    {TextId::kHelpOpenFail, "文件打开出错！", " File opend fail！", nullptr},
};

constexpr bool RowsInIdOrder() {
    for (std::size_t i = 0; i < std::size(kTexts); ++i) {
        if (static_cast<std::size_t>(kTexts[i].id) != i)
            return false;
    }
    return std::size(kTexts) == static_cast<std::size_t>(TextId::kCount);
}
static_assert(RowsInIdOrder(), "one row per text, in the order of TextId");

const TextRow& Row(TextId id) {
    return kTexts[static_cast<std::size_t>(id)];
}

} // namespace

TextRule::TextRule(std::string_view langCode, std::string_view variantType)
    : m_englishMessages(langCode == "EN"), m_englishCaptions(langCode.substr(0, 2) == "EN"),
      m_german(variantType == "GERMAN") {}

const char* TextRule::Message(TextId id) const {
    if (Row(id).serialLink)
        return English(id);
    return m_englishMessages ? Row(id).english : Row(id).chinese;
}

const char* TextRule::Caption(TextId id) const {
    return m_englishCaptions ? English(id) : Row(id).chinese;
}

const char* TextRule::DialogCaption(TextId id) const {
    return m_englishMessages ? English(id) : Row(id).chinese;
}

const char* TextRule::Caption(const CaptionRow& row) const {
    return CaptionIn(m_englishCaptions, row);
}

const char* TextRule::DialogCaption(const CaptionRow& row) const {
    return CaptionIn(m_englishMessages, row);
}

const char* TextRule::CaptionIn(bool english, const CaptionRow& row) const {
    if (!english)
        return row.chinese;
    return m_german && row.german != nullptr ? row.german : row.english;
}

// English, or German in its place for the "GERMAN" variant where there is one.
const char* TextRule::English(TextId id) const {
    const TextRow& row = Row(id);
    return m_german && row.german != nullptr ? row.german : row.english;
}

const char* ChineseText(TextId id) {
    return Row(id).chinese;
}

const char* SerialLinkText(TextId id, std::string_view variantType) {
    return TextRule({}, variantType).Message(id);
}

} // namespace core
