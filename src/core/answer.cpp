#include "answer.h"

#include "answer_frame.h"
#include "frame.h"
#include "hex.h"
#include "serial_number.h"
#include "setting_table.h"

#include <algorithm>
#include <span>

namespace core {

namespace {

using A = AnswerFrame;
using Build = AnswerEvent (*)(const A&);

// The short framing carries the serial rate alone.
int SerialParity(const A& a) {
    return a.framing == Framing::kEDED ? answer::kParityNotCarried : a.ByteValue(1);
}

AnswerEvent Search(const A& a) {
    return answer::SearchAnswer{a.ByteValue(0), a.ByteValue(1), a.ByteValue(2)};
}
AnswerEvent SerialWritten(const A& a) {
    return answer::SerialSettingsWritten{a.ByteValue(0), SerialParity(a)};
}
AnswerEvent SerialRead(const A& a) {
    return answer::SerialSettingsRead{a.ByteValue(0), SerialParity(a)};
}
AnswerEvent SnWritten(const A&) {
    return answer::SerialNumberWritten{};
}
AnswerEvent Sn(const A& a) {
    const SerialNumber sn = DecodeSerialNumber(a.payload);
    return answer::SerialNumber{std::string(a.Byte(0)), sn.year, sn.month, sn.number};
}
AnswerEvent AllWritten(const A& a) {
    return answer::AllWritten{DecimalReadField(a.Byte(2)), DecimalReadField(a.Byte(3))};
}
AnswerEvent FieldStrength(const A& a) {
    return answer::FieldStrength{std::string(a.Byte(0)), a.ByteValue(0)};
}
AnswerEvent PowerLevel(const A& a) {
    return answer::PowerLevelSet{a.ByteValue(0)};
}
AnswerEvent AllRead(const A& a) {
    return answer::AllRead{a.ByteValue(0), a.ByteValue(1), a.ByteValue(2),
                           DecimalReadField(a.Byte(3))};
}
AnswerEvent IoWritten(const A& a) {
    return answer::IoLineWritten{a.ByteValue(0), a.Byte(1) == "01"};
}
AnswerEvent IoRead(const A& a) {
    return answer::IoLinesRead{static_cast<int>(HexToInt(a.id)), DecimalReadField(a.Byte(0)),
                               DecimalReadField(a.Byte(1))};
}

// A setting's value as its own read reports it: where its write puts it.
int SettingValue(const SettingRow& setting, const A& a) {
    return setting.layout == SettingLayout::kWord
               ? static_cast<int>(HexToInt(Field(a.payload, 1, 4)))
               : a.ByteValue(0);
}

enum RowFlag : unsigned {
    kTextFirst = 0,
    kTextAfter = 1, // the status text follows the effect instead of preceding it
    kAlways = 2,    // taken whatever LastCommand holds
    kNoEDED = 4,    // the EDED handler ignores the code
};

// One answer code. `framing` is k5A5A for the rows both long and short answers share, k4040 for
// the IO answers.
struct Row {
    Framing framing;
    std::uint8_t code;
    Build build; // nullptr: an acknowledgement, or the value of the setting the command reads
    std::optional<TextId> accepted; // none: the event shows its own, or nothing
    std::optional<TextId> refused;  // none: a refused answer shows nothing
    unsigned flags;
};

std::span<const Row> Rows() {
    using namespace cmd;
    using enum TextId;
    constexpr Framing L = Framing::k5A5A;
    constexpr Framing IO = Framing::k4040;
    static const Row rows[] = {
        {L, kSearch, Search, kSearched, {}, kAlways | kNoEDED},
        {L, kWriteSerial, SerialWritten, kSerialWritten, kSerialWriteRefused, kTextAfter},
        {L, kReadSerial, SerialRead, kSerialRead, kSerialReadRefused, kTextAfter},
        {L, kWriteAirRate, nullptr, kAirRateWritten, kAirRateWriteRefused, kTextFirst},
        {L, kReadAirRate, nullptr, kAirRateRead, kAirRateReadRefused, kTextFirst},
        {L, kWriteChannel, nullptr, kChannelWritten, kChannelWriteRefused, kTextFirst},
        {L, kReadChannel, nullptr, kChannelRead, kChannelReadRefused, kTextAfter},
        {L, kStartTxTest, nullptr, kTxTestStarted, kTxTestStartRefused, kTextFirst},
        {L, kEndTxTest, nullptr, kTxTestEnded, kTxTestEndRefused, kTextFirst},
        {L, kWriteProtocol, nullptr, kProtocolWritten, kProtocolWriteRefused, kTextFirst},
        {L, kWriteSerialNumber, SnWritten, kSerialNumberWritten, kSerialNumberWriteRefused,
         kTextFirst},
        {L, kReadSerialNumber, Sn, {}, kSerialNumberReadRefused, kTextFirst},
        {L, kWriteId, nullptr, kIdWritten, kIdWriteRefused, kTextFirst},
        {L, kReadId, nullptr, kIdRead, kIdReadRefused, kTextAfter},
        {L, kWriteAll, AllWritten, kAllWritten, kAllWriteRefused, kTextFirst},
        {L, kWritePowerSave, nullptr, kPowerSaveWritten, kPowerSaveWriteRefused, kTextFirst},
        {L, kReadPowerSave, nullptr, kPowerSaveRead, kPowerSaveReadRefused, kTextFirst},
        {L, kSerialWakeUp, nullptr, kWokenUp, kWakeUpRefused, kTextFirst},
        {L, kReadFieldStrength, FieldStrength, kFieldStrengthRead, {}, kTextFirst},
        {L, kSetPowerLevel, PowerLevel, kPowerLevelSet, {}, kTextFirst},
        {L, kReadProtocol, nullptr, kProtocolRead, kProtocolReadRefused, kTextFirst},
        {L, kReadAll, AllRead, kAllRead, kAllReadRefused, kTextFirst},
        {L, kSetDutyCycle, nullptr, kDutyCycleSet, kDutyCycleRefused, kNoEDED},
        {L, kSetOutputPower, nullptr, kOutputPowerSet, {}, kTextFirst},
        {L, kAdjustCapacitance, nullptr, kCapacitanceAdjusted, {}, kNoEDED},
        {IO, kIoWrite, IoWritten, kIoLineWritten, kIoWriteRefused, kTextFirst},
        {IO, kIoRead, IoRead, kIoLinesRead, kIoReadRefused, kTextFirst},
    };
    return rows;
}

struct ChainRow {
    Framing framing;
    std::uint8_t code;
    ChainStep step;
};

// Air protocol, serial number, all parameters, TX test; the EDED chain writes all parameters
// before the serial number.
std::optional<ChainStep> ChainAfter(Framing framing, std::uint8_t code) {
    using N = ChainNext;
    constexpr Framing L = Framing::k5A5A;
    constexpr Framing S = Framing::kEDED;
    static const ChainRow chain[] = {
        {L, cmd::kWriteProtocol, {N::kWriteSerialNumber, false}},
        {L, cmd::kWriteSerialNumber, {N::kWriteAll, false}},
        {L, cmd::kWriteAll, {N::kStartTxTest, true}},
        {S, cmd::kWriteProtocol, {N::kWriteAll, false}},
        {S, cmd::kWriteAll, {N::kWriteSerialNumber, false}},
        {S, cmd::kWriteSerialNumber, {N::kStartTxTest, false}},
    };
    for (const ChainRow& row : chain)
        if (row.framing == framing && row.code == code)
            return row.step;
    return std::nullopt;
}

AnswerResult Dispatch(const AnswerFrame& answer, std::string_view lastCommand) {
    const bool eded = answer.framing == Framing::kEDED;
    const bool io = answer.framing == Framing::k4040;
    const auto rows = Rows();
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& r) {
        return (r.framing == Framing::k4040) == io && !(eded && (r.flags & kNoEDED)) &&
               answer.code == AnswerCode(r.code, answer.framing);
    });
    if (row == rows.end())
        return {answer::Ignored{}};
    AnswerResult result{answer::Acknowledged{}};
    const bool accepted =
        (row->flags & kAlways) != 0 || lastCommand == LastCommandText(*FindCommand(row->code, io));
    if (accepted) {
        if (row->build != nullptr)
            result.event = row->build(answer);
        else if (const SettingRow* setting = SimpleReadOf(row->code))
            result.event = answer::SettingRead{setting->setting, SettingValue(*setting, answer)};
        result.text = row->accepted;
        result.textAfter = (row->flags & kTextAfter) != 0;
    } else {
        result.event = answer::Refused{row->code};
        result.text = row->refused;
    }
    // The short framing's answers to the first eight commands speak Chinese only.
    result.chineseOnly = eded && row->code <= cmd::kEndTxTest;
    result.endsChain = row->code == cmd::kStartTxTest;
    result.chain = ChainAfter(answer.framing, row->code);
    return result;
}

AnswerResult Checked(const AnswerFrame& answer, std::string_view text,
                     std::string_view lastCommand) {
    if (answer.check == AnswerCheck::kBadChecksum) {
        const TextId line =
            answer.framing == Framing::k4040 ? TextId::kIoChecksumError : TextId::kChecksumError;
        return {answer::BadChecksum{std::string(text), line}};
    }
    return Dispatch(answer, lastCommand);
}

} // namespace

AnswerResult AcceptAnswer(std::string_view text, Framing handler, std::string_view lastCommand) {
    if (handler == Framing::kEDED) {
        const AnswerFrame answer = ParseEDEDAnswer(text);
        if (answer.check != AnswerCheck::kNotFrame)
            return Checked(answer, text, lastCommand);
        // Under this variant only 5A5A answers are read besides EDED ones; the rest is noise.
        if (!text.starts_with("5A5A"))
            return {answer::Dropped{}};
    }
    const AnswerFrame answer = ParseTrailerAnswer(text);
    if (answer.check == AnswerCheck::kNotFrame)
        return {answer::NotAFrame{std::string(text)}};
    return Checked(answer, text, lastCommand);
}

const char* AnswerText(const AnswerResult& result, const TextRule& rule) {
    if (!result.text)
        return nullptr;
    return result.chineseOnly ? ChineseText(*result.text) : rule.Message(*result.text);
}

int ParityAfterAnswer(int answered, int answeredAt) {
    return answered == answer::kParityNotCarried ? answeredAt : answered;
}

} // namespace core
