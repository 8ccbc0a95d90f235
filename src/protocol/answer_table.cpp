// What each answer code does, in both framings. The EDED handler uses the same rows for the
// codes it knows; its set-all chain runs in another order.
#include "answer_handler.h"

#include "core/catalogue.h"

std::span<const AnswerHandler::Row> AnswerHandler::Rows() {
    using namespace core::cmd;
    using H = AnswerHandler;
    using enum core::TextId;
    static const Row rows[] = {
        {kSearch, &H::SearchAnswer, kSearched, {}, kAlways | kNoEDED},
        {kWriteSerial, &H::SerialSettingsWritten, kSerialWritten, kSerialWriteRefused, kTextAfter},
        {kReadSerial, &H::SerialSettingsRead, kSerialRead, kSerialReadRefused, kTextAfter},
        {kWriteAirRate, nullptr, kAirRateWritten, kAirRateWriteRefused, kTextFirst},
        {kReadAirRate, &H::AirRateRead, kAirRateRead, kAirRateReadRefused, kTextFirst},
        {kWriteChannel, nullptr, kChannelWritten, kChannelWriteRefused, kTextFirst},
        {kReadChannel, &H::ChannelRead, kChannelRead, kChannelReadRefused, kTextAfter},
        {kStartTxTest, nullptr, kTxTestStarted, kTxTestStartRefused, kTextFirst},
        {kEndTxTest, nullptr, kTxTestEnded, kTxTestEndRefused, kTextFirst},
        {kWriteProtocol, nullptr, kProtocolWritten, kProtocolWriteRefused, kTextFirst},
        {kWriteSerialNumber, &H::SerialNumberWritten, kSerialNumberWritten,
         kSerialNumberWriteRefused, kTextFirst},
        // The serial-number answer's text depends on who asked for it.
        {kReadSerialNumber, &H::SerialNumberAnswer, {}, kSerialNumberReadRefused, kTextFirst},
        {kWriteId, nullptr, kIdWritten, kIdWriteRefused, kTextFirst},
        {kReadId, &H::IdRead, kIdRead, kIdReadRefused, kTextAfter},
        {kWriteAll, &H::AllWritten, kAllWritten, kAllWriteRefused, kTextFirst},
        {kWritePowerSave, nullptr, kPowerSaveWritten, kPowerSaveWriteRefused, kTextFirst},
        {kReadPowerSave, &H::PowerSaveRead, kPowerSaveRead, kPowerSaveReadRefused, kTextFirst},
        {kSerialWakeUp, nullptr, kWokenUp, kWakeUpRefused, kTextFirst},
        {kReadFieldStrength, &H::FieldStrengthRead, kFieldStrengthRead, {}, kTextFirst},
        // The power value follows the Chinese text, so the effect writes it.
        {kSetPowerLevel, &H::PowerLevelSet, {}, {}, kTextFirst},
        {kReadProtocol, &H::ProtocolRead, kProtocolRead, kProtocolReadRefused, kTextFirst},
        {kReadAll, &H::AllRead, kAllRead, kAllReadRefused, kTextFirst},
        {kSetDutyCycle, nullptr, kDutyCycleSet, kDutyCycleRefused, kNoEDED},
        {kSetOutputPower, nullptr, kOutputPowerSet, {}, kTextFirst},
        {kAdjustCapacitance, nullptr, kCapacitanceAdjusted, {}, kNoEDED},
    };
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
