#include "setting_table.h"

#include "catalogue.h"

#include <algorithm>

namespace core {

namespace {

using enum Setting;
using enum SettingKind;
using enum SettingLayout;
using enum SettingGate;
using enum TextId;

// The value a profile read takes from a field of an answer.
template <class E, int E::*field> std::optional<int> Reported(const AnswerEvent& event) {
    const E* e = std::get_if<E>(&event);
    return e != nullptr ? std::optional<int>(e->*field) : std::nullopt;
}

// The value a profile read takes from the setting's own read.
template <Setting S> std::optional<int> OwnRead(const AnswerEvent& event) {
    const auto* e = std::get_if<answer::SettingRead>(&event);
    return e != nullptr && e->setting == S ? std::optional<int>(e->value) : std::nullopt;
}

constexpr bool SimpleRead(const SettingRow& row) {
    return row.read.has_value() && (row.layout == kByte || row.layout == kWord);
}

// The lists' value texts by wire number, in the order of the window's lists where the wire
// number is the position.
constexpr std::array<std::string_view, 4> kPowerSavingNames{"no sleep", "hardware wake-up",
                                                            "serial wake-up", "air wake-up"};
constexpr std::array<std::string_view, 2> kProtocolNames{"Velmora", "compatible"};
constexpr std::array<std::string_view, 2> kOutputPowerNames{"1W", "2W"};
constexpr std::array<std::string_view, 3> kParityNames{"none", "even", "odd"};

constexpr std::array kRows{
    SettingRow{.setting = kChannel,
               .key = "channel",
               .name = "channel",
               .low = 1,
               .high = 255,
               .gate = kChannels,
               .write = cmd::kWriteChannel,
               .read = cmd::kReadChannel,
               .profileRead = cmd::kReadAll,
               .reported = Reported<answer::AllRead, &answer::AllRead::channel>,
               .control = "ComboBox4",
               .fromPosition = ChannelFromPosition,
               .toPosition = ChannelPositionFromNumber,
               .empty = kChannelNull,
               .readTexts = OperationTexts{kReadChannelProgress, kReadChannelFail, kReadFail},
               .writeTexts = OperationTexts{kWriteChannelProgress, kWriteChannelFail, kWriteFail}},
    SettingRow{.setting = kAirRate,
               .key = "air_rate",
               .name = "air rate",
               .kind = kRate,
               .low = 2, // the list begins at 1200
               .high = 8,
               .unknown = "rate code",
               .gate = kMaxRate,
               .write = cmd::kWriteAirRate,
               .read = cmd::kReadAirRate,
               .profileRead = cmd::kReadAll,
               .reported = Reported<answer::AllRead, &answer::AllRead::airRate>,
               .control = "ComboBox1",
               .fromPosition = RateCodeFromPosition,
               .toPosition = RatePositionFromCode,
               .empty = kBaudRateNull,
               .readTexts = OperationTexts{kReadAirRateProgress, kReadAirRateFail, kReadFail},
               .writeTexts = OperationTexts{kWriteAirRateProgress, kWriteAirRateFail, kSetFail}},
    SettingRow{.setting = kPowerSaving,
               .key = "power_saving",
               .name = "power-saving mode",
               .kind = kList,
               .names = kPowerSavingNames,
               .write = cmd::kWritePowerSave,
               .read = cmd::kReadPowerSave,
               .profileRead = cmd::kReadPowerSave,
               .reported = OwnRead<kPowerSaving>,
               .control = "ComboBox6",
               .empty = kPowerSaveNull,
               .readTexts = OperationTexts{kReadPowerSaveProgress, kReadPowerSaveFail, kReadFail},
               .writeTexts = OperationTexts{kWritePowerSaveProgress, kWritePowerSaveFailStatus,
                                            kWritePowerSaveFail}},
    SettingRow{.setting = kWakeMs,
               .key = "wake_ms",
               .low = 1,
               .high = 65535,
               .write = cmd::kSetDutyCycle,
               .layout = kDutyCycle,
               .with = kSleepS,
               .control = "Edit20",
               .empty = kTimeNull,
               .writeTexts =
                   OperationTexts{kWriteDutyCycleProgress, kWriteDutyCycleFail, kWriteFail}},
    // 65 s is the longest sleep whose ms still fit two bytes.
    SettingRow{.setting = kSleepS,
               .key = "sleep_s",
               .low = 1,
               .high = 65,
               .write = cmd::kSetDutyCycle,
               .layout = kCarried,
               .with = kWakeMs,
               .control = "Edit21",
               .empty = kTimeNull},
    SettingRow{.setting = kAirProtocol,
               .key = "air_protocol",
               .name = "air protocol",
               .kind = kList,
               .names = kProtocolNames,
               .write = cmd::kWriteProtocol,
               .read = cmd::kReadProtocol,
               .profileRead = cmd::kReadProtocol,
               .reported = OwnRead<kAirProtocol>,
               .control = "ComboBox5",
               .empty = kProtocolNull,
               .readTexts = OperationTexts{kReadProtocolProgress, kReadProtocolFail, kReadFail},
               .writeTexts = OperationTexts{kWriteProtocolProgress, kWriteProtocolFail, kSetFail}},
    // Four hex digits on the wire.
    SettingRow{.setting = kId,
               .key = "id",
               .name = "module ID",
               .low = 0,
               .high = 65535,
               .write = cmd::kWriteId,
               .layout = kWord,
               .read = cmd::kReadId,
               .profileRead = cmd::kReadId,
               .reported = OwnRead<kId>,
               .control = "Edit15",
               .empty = kIdNull,
               .readTexts = OperationTexts{kReadIdProgress, kReadIdFail, kReadFail},
               .writeTexts = OperationTexts{kWriteIdProgress, kWriteIdFail, kSetFail}},
    SettingRow{.setting = kOutputPower,
               .key = "output_power",
               .kind = kList,
               .names = kOutputPowerNames,
               .gate = kPowerGroup,
               .write = cmd::kSetOutputPower,
               .control = "ComboBox14",
               .empty = kPowerNull,
               .writeTexts = OperationTexts{kSetPowerProgress, kSetPowerFail, kSetFail}},
    SettingRow{.setting = kPowerLevel,
               .key = "power_level",
               .low = 0,
               .high = 15,
               .write = cmd::kSetPowerLevel,
               .control = "ComboBox21",
               .empty = kPowerLevelNull,
               .writeTexts =
                   OperationTexts{kWritePowerLevelProgress, kWritePowerLevelFail, kWriteFail}},
    // A module that runs its serial line at 600 reports code 1, and a profile read from it
    // must go back in.
    SettingRow{.setting = kSerialRate,
               .key = "serial_rate",
               .kind = kRate,
               .low = 1,
               .high = 8,
               .unknown = "rate code",
               .gate = kMaxRate,
               .write = cmd::kWriteSerial,
               .layout = kSerialSettings,
               .with = kParity,
               .read = cmd::kReadSerial,
               .profileRead = cmd::kReadAll,
               .reported = Reported<answer::AllRead, &answer::AllRead::serialRate>,
               .control = "ComboBox2",
               .fromPosition = RateCodeFromPosition,
               .toPosition = RatePositionFromCode,
               .empty = kComBaudRateNull,
               .readTexts = OperationTexts{kReadSerialProgress, kReadSerialFail, kReadFail},
               .writeTexts = OperationTexts{kWriteSerialProgress, kWriteSerialFail, kSetFail}},
    SettingRow{.setting = kParity,
               .key = "parity",
               .kind = kList,
               .names = kParityNames,
               .unknown = "parity code",
               .write = cmd::kWriteSerial,
               .layout = kCarried,
               .with = kSerialRate,
               .profileRead = cmd::kReadAll,
               .reported = Reported<answer::AllRead, &answer::AllRead::parity>,
               .control = "ComboBox3",
               .fromPosition = ParityCodeFromPosition,
               .toPosition = ParityPositionFromCode,
               .empty = kComVerifyNull},
};

// What the compiler checks of every row, so a row added in part does not build.
constexpr bool RowsComplete() {
    if (kRows.size() != kSettingCount ||
        static_cast<std::size_t>(Setting::kParity) + 1 != kSettingCount)
        return false;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const SettingRow& row = kRows[i];
        // in the order of Setting, so RowOf is an index
        if (static_cast<std::size_t>(row.setting) != i)
            return false;
        if (row.key == nullptr || row.control == nullptr || !row.empty)
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (std::string_view(kRows[j].key) == row.key)
                return false;
        if ((row.kind == kList) == row.names.empty())
            return false;
        if (row.kind != kList && row.low > row.high)
            return false;
        if (row.profileRead.has_value() != (row.reported != nullptr))
            return false;
        if (row.read.has_value() != row.readTexts.has_value())
            return false;
        if (SimpleRead(row) != (row.name != nullptr))
            return false;
        // a write of its own has texts; a carried setting goes with one that writes it
        const bool twoValues = row.layout == kSerialSettings || row.layout == kDutyCycle;
        if (twoValues || row.layout == kCarried) {
            if (!row.with)
                return false;
            const SettingRow& other = kRows[static_cast<std::size_t>(*row.with)];
            if (other.with != row.setting || other.write != row.write ||
                (other.layout == kCarried) == (row.layout == kCarried))
                return false;
        } else if (row.with) {
            return false;
        }
        if ((row.layout == kCarried) == row.writeTexts.has_value())
            return false;
        if ((row.fromPosition == nullptr) != (row.toPosition == nullptr))
            return false;
    }
    return true;
}
static_assert(RowsComplete(), "every setting has one complete row, in the order of Setting");

} // namespace

std::span<const SettingRow> SettingRows() {
    return kRows;
}

const SettingRow& RowOf(Setting setting) {
    return kRows[static_cast<std::size_t>(setting)];
}

const SettingRow* SimpleReadOf(std::uint8_t command) {
    const auto it = std::ranges::find_if(
        kRows, [command](const SettingRow& row) { return SimpleRead(row) && row.read == command; });
    return it == kRows.end() ? nullptr : &*it;
}

const SettingRow* FindSettingRow(std::string_view key) {
    const auto it = std::ranges::find(kRows, key, &SettingRow::key);
    return it == kRows.end() ? nullptr : &*it;
}

int SettingPosition(Setting setting, int value) {
    const SettingRow& row = RowOf(setting);
    return row.toPosition != nullptr ? row.toPosition(value) : value;
}

int SettingOfPosition(Setting setting, int position) {
    const SettingRow& row = RowOf(setting);
    return row.fromPosition != nullptr ? row.fromPosition(position) : position;
}

} // namespace core
