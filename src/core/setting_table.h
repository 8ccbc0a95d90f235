// One row per module setting: its profile key and value texts, the commands that write and
// read it and how its value sits in their payload, the models that take it, and the window's
// control and texts. The window's parameter groups, qxcli's profile read and write, the
// settings comparison and the frame trace all read these rows.
#pragma once

#include "answer.h"
#include "texts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace core {

// In the order a profile lists them and a write sends them: the serial settings come last,
// since the module moves to them after its answer and the host has to follow.
enum class Setting {
    kChannel,
    kAirRate,
    kPowerSaving,
    kWakeMs,
    kSleepS,
    kAirProtocol,
    kId,
    kOutputPower,
    kPowerLevel,
    kSerialRate,
    kParity,
};
inline constexpr std::size_t kSettingCount = 11;

// What the value texts are: names by wire number, baud rates by rate code, or decimal numbers.
enum class SettingKind { kList, kRate, kDecimal };

// How the value sits in its write's payload.
enum class SettingLayout {
    kByte,           // the value byte (and the filler in 5A5A)
    kWord,           // two bytes, big-endian
    kSerialSettings, // rate code, then the parity code of `with` (the short framing: rate alone)
    kDutyCycle,      // listening ms, then the sleeping time of `with` in s, sent as ms
    kCarried,        // no write of its own: it travels in the write of `with`
};

// Which models take which values.
enum class SettingGate {
    kNone,
    kChannels,   // channel numbers up to the model's count
    kMaxRate,    // rates up to the model's highest
    kPowerGroup, // only models with the output power group
};

// The value of a setting in an accepted answer; nullopt for an answer of another kind.
using ReportedValue = std::optional<int> (*)(const AnswerEvent& event);

struct SettingRow {
    Setting setting;
    const char* key; // the profile key, "air_rate"
    // What the frame trace calls the value its own read reports: "air rate"; set exactly for
    // the settings of SimpleReadOf.
    const char* name = nullptr;
    SettingKind kind = SettingKind::kDecimal;
    std::span<const std::string_view> names = {}; // kList: the texts by wire number
    // kRate: the rate codes taken; kDecimal: the numbers taken (the channel's upper bound is
    // the model's, see `gate`)
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    // Before the number of a value that has no text: "rate code 9".
    const char* unknown = "code";
    SettingGate gate = SettingGate::kNone;

    std::uint8_t write = 0; // the command that writes it
    SettingLayout layout = SettingLayout::kByte;
    std::optional<Setting> with = std::nullopt; // the setting the same write carries

    std::optional<std::uint8_t> read = std::nullopt; // the window's read of this one setting
    // Where a profile read takes the value from: the answer to this command. A setting without
    // one is written, and a read-back cannot confirm it.
    std::optional<std::uint8_t> profileRead = std::nullopt;
    ReportedValue reported = nullptr;

    // The window: the list or field that holds the value, how a list position becomes the
    // value (the position itself when null) and back, and the texts of its read and write.
    const char* control = nullptr;
    int (*fromPosition)(int position) = nullptr;
    int (*toPosition)(int value) = nullptr;
    std::optional<TextId> empty = std::nullopt; // a write with nothing chosen or typed
    std::optional<OperationTexts> readTexts = std::nullopt;
    std::optional<OperationTexts> writeTexts = std::nullopt;

    bool Readable() const { return profileRead.has_value(); }
};

// Every setting, in the order of Setting.
std::span<const SettingRow> SettingRows();
const SettingRow& RowOf(Setting setting);
// The setting whose own read `command` is and whose answer carries its value alone, as its
// write does (a byte or a word); nullptr for any other command.
const SettingRow* SimpleReadOf(std::uint8_t command);
// Keys compare exactly; nullptr for an unknown key.
const SettingRow* FindSettingRow(std::string_view key);

// The list position that shows `value`, and the value of a position.
int SettingPosition(Setting setting, int value);
int SettingOfPosition(Setting setting, int position);

} // namespace core
