// Every system text the tool picks in code, in Chinese (the design language), English and,
// where one exists, German; and the rule that picks among them. The forms' own design
// captions stay in their .ui files.
#pragma once

#include <string_view>

namespace core {

struct CaptionRow;

enum class TextId {
    // Operation guard and input checks.
    kStopPairTest,
    kChooseModel,
    kWrongModel,
    kReadFail,
    kSetFail,
    kWriteFail,
    kIdNull,
    kIdRange,
    kTargetNull,
    kTargetRange,
    kTimeNull,
    kOutputNull,
    kChannelNull,
    kBaudRateNull,
    kComBaudRateNull,
    kComVerifyNull,
    kProtocolNull,
    kPowerNull,
    kPowerSaveNull,
    kOnTimeRange,
    kSleepTimeRange,
    kPowerLevelNull,
    kYearNull,
    kMonthNull,
    kNumberNull,
    kNumberRange,
    kYearWrong,
    kMonthWrong,
    kModelNull,
    kNoChannelList,
    kNoAirRateList,
    kNoSerialRateList,
    kConfirmBaseFrequency,
    // Progress and failure of the per-parameter operations.
    kReadChannelProgress,
    kReadChannelFail,
    kWriteChannelProgress,
    kWriteChannelFail,
    kReadAirRateProgress,
    kReadAirRateFail,
    kWriteAirRateProgress,
    kWriteAirRateFail,
    kReadSerialProgress,
    kReadSerialFail,
    kWriteSerialProgress,
    kWriteSerialFail,
    kReadProtocolProgress,
    kReadProtocolFail,
    kWriteProtocolProgress,
    kWriteProtocolFail,
    kReadIdProgress,
    kReadIdFail,
    kWriteIdProgress,
    kWriteIdFail,
    kSetPowerProgress,
    kSetPowerProgressBareNames,
    kSetPowerFail,
    kReadPowerSaveProgress,
    kReadPowerSaveFail,
    kWritePowerSaveProgress,
    kWritePowerSaveFailStatus,
    kWritePowerSaveFail,
    kWakeUpProgress,
    kWakeUpFailStatus,
    kWakeUpFail,
    kWriteDutyCycleProgress,
    kWriteDutyCycleFail,
    kReadIoProgress,
    kReadIoFail,
    kWriteOutputProgress,
    kWriteOutputFail,
    kReadFieldStrengthProgress,
    kReadFieldStrengthFailStatus,
    kReadFieldStrengthFail,
    kWritePowerLevelProgress,
    kWritePowerLevelFail,
    kReadSerialNumberProgress,
    kReadSerialNumberFail,
    kWriteSerialNumberProgress,
    kWriteSerialNumberFail,
    // Radio search.
    kSearching,
    kSearchStopped,
    kSearchError,
    kSearchFail,
    kNotSearched,
    // A raw socket:// port keeps the server's line, so no search can walk it.
    kRawSocketSearch,
    // The progress beside the status panels: %1 of %2, then the line setting tried.
    kSearchTry,
    kSearchOwnSetting,
    kSetAllStep,
    // Read all and write all; the sequence timer's checks keep their own spelling.
    kReadAllSearching,
    kReadAllProgress,
    kReadAllFail,
    kWriteAllSearching,
    kWriteAllProgress,
    kWriteAllFail,
    kAllChannelNull,
    kAllAirRateNull,
    kAllComRateNull,
    kAllComVerifyNull,
    kSequenceComRateNull,
    kSequenceComVerifyNull,
    // RF test and calibration; the start test's texts speak of a search, as operators know them.
    kStartTxTestProgress,
    kStartTxTestFailStatus,
    kStartTxTestFail,
    kEndTxTestEntering,
    kEndTxTestProgress,
    kEndTxTestFailStatus,
    kEndTxTestFail,
    kTxTestStepEntering,
    kTxTestStepProgress,
    kTxTestStepFailStatus,
    kCapacitanceNull,
    kCapacitanceRange,
    kCapacitanceProgress,
    kCapacitanceFailStatus,
    // Answers: accepted, refused, and what the effects add.
    kSearched,
    kSerialWritten,
    kSerialWriteRefused,
    kSerialRead,
    kSerialReadRefused,
    kAirRateWritten,
    kAirRateWriteRefused,
    kAirRateRead,
    kAirRateReadRefused,
    kChannelWritten,
    kChannelWriteRefused,
    kChannelRead,
    kChannelReadRefused,
    kTxTestStarted,
    kTxTestStartRefused,
    kTxTestEnded,
    kTxTestEndRefused,
    kProtocolWritten,
    kProtocolWriteRefused,
    kSerialNumberWritten,
    kSerialNumberWriteRefused,
    kSerialNumberRead,
    kSerialNumberReadRefused,
    kIdWritten,
    kIdWriteRefused,
    kIdRead,
    kIdReadRefused,
    kAllWritten,
    kAllWriteRefused,
    kPowerSaveWritten,
    kPowerSaveWriteRefused,
    kPowerSaveRead,
    kPowerSaveReadRefused,
    kWokenUp,
    kWakeUpRefused,
    kFieldStrengthRead,
    kProtocolRead,
    kProtocolReadRefused,
    kAllRead,
    kAllReadRefused,
    kDutyCycleSet,
    kDutyCycleRefused,
    kOutputPowerSet,
    kCapacitanceAdjusted,
    kPowerLevelSet,
    kIoLineWritten,
    kIoWriteRefused,
    kIoLinesRead,
    kIoReadRefused,
    kChecksumError,
    kIoChecksumError,
    kModelRead,
    kModelBaseFrequencyRead,
    kBaseFrequencyNotFound,
    kPairDataReceived,
    // The session log, followed by the file's path.
    kSessionLogFailed,
    // Settings profiles: titles, results, the question before a write (followed by the
    // differences) and the failure (followed by its reason); the progress of the exchange
    // (request %1 of %2, what it asks), and the refusal of another operation meanwhile.
    kSaveProfileTitle,
    kApplyProfileTitle,
    kProfileSaved,
    kProfileApplied,
    kProfileSame,
    kProfileApplyQuestion,
    kProfileFailed,
    kProfileReadBackDiffers,
    kProfileReading,
    kProfileWriting,
    kProfileBusy,
    // Pair transfer test.
    kPairStartNull,
    kPairSendNull,
    kPairStopped,
    kWorkModeStop,
    kWorkModeMainTx,
    kWorkModeMainRx,
    kWorkModeTimed,
    kPairDataSent,
    kPairHexKey,
    kPairNotHex,
    kPairAwaitingAnswer,
    kStartSend,
    kStartReceive,
    kSaveResultsTitle,
    kSaveResultsFilter,
    kSaveResultsFail,
    kResultsSaved,
    // Data communication terminal and the tab change questions.
    kWorkModeData,
    kDataSent,
    kTerminalDataNull,
    kTerminalHexKey,
    kLeaveDataQuestion,
    kStopPairQuestion,
    kEnterDataQuestion,
    kStopDataQuestion,
    // Port settings dialog: messages, then the captions it replaces.
    kPortOutOfRange,
    kBaudOutOfRange,
    kOpenFail,
    kOpenFailStatus,
    kCloseFail,
    kCloseFailStatus,
    kNoDevice,
    kDeviceAbsent,
    kPortDialogTitle,
    kPortLabel,
    kBaudLabel,
    kVerifyLabel,
    kDataBitsLabel,
    kBeginBitsLabel,
    kStopBitsLabel,
    kParityEven,
    kParityOdd,
    kParityNone,
    kOpenButton,
    kCloseButton,
    kCancelButton,
    // The serial link's own messages: English, German for the "GERMAN" variant, never Chinese.
    kPortNotOpen,
    kPortHardwareFail,
    kPortOpenFail,
    kSystemCallFail,
    kSendParamsError,
    // The window's caption by brand and variant, the vendor line, the help document.
    kWindowCaptionOwnBrand,
    kWindowCaptionMorvantelis,
    kWindowCaptionOtherBrand,
    kVendorLine,
    kHelpOpenFail,
    kCount // not a text: the number of texts
};

// The language rule, taken from LangCode and VariantType at the moment of use, so a changed
// code takes effect with the next text.
class TextRule {
public:
    TextRule(std::string_view langCode, std::string_view variantType);

    // Messages and status texts: English only for exactly "EN", Chinese otherwise. The serial
    // link's messages ignore the language: German for the "GERMAN" variant, else English.
    const char* Message(TextId id) const;
    // The main window's captions: English when the code begins with "EN", German instead
    // where the variant is "GERMAN" and the text has a German form; Chinese otherwise.
    const char* Caption(TextId id) const;
    // The dialogs' captions: as the main window's, but English only for exactly "EN".
    const char* DialogCaption(TextId id) const;
    // A form control's caption by the same two tests; null where the design text stays.
    const char* Caption(const CaptionRow& row) const;
    const char* DialogCaption(const CaptionRow& row) const;

    bool EnglishMessages() const { return m_englishMessages; }
    bool EnglishCaptions() const { return m_englishCaptions; }
    bool German() const { return m_german; }

private:
    const char* English(TextId id) const;
    const char* CaptionIn(bool english, const CaptionRow& row) const;

    bool m_englishMessages;
    bool m_englishCaptions;
    bool m_german;
};

// The Chinese form whatever the language (some answers speak Chinese only); null for the
// serial link's messages, which have none.
const char* ChineseText(TextId id);
// A serial link message for the variant: German for "GERMAN" where it has a German form.
const char* SerialLinkText(TextId id, std::string_view variantType);

// What an operation shows: progress after a written frame, and on a refused write the status
// text followed by the box.
struct OperationTexts {
    TextId progress;
    TextId failureStatus;
    TextId failureBox;
};

} // namespace core
