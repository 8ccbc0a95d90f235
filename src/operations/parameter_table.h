// What each read and write button of the parameter groups does, as data: the controls it
// clears and checks in order, the command it sends, where the payload comes from, its texts.
#pragma once

#include "command_sequence.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// One step of a button's preparation; the steps run in order before anything is sent.
struct ParameterStep {
    enum Kind {
        kClear,      // empty the list's selection or the field's text
        kModelCheck, // the chosen model suits the list the answer will select from
        kSelected,   // the list has a selection
        kNotEmpty,   // the field has text
        kInRange,    // the field holds a decimal number from `low` to `high`
    } kind;
    const char* control;
    std::optional<core::TextId> message{}; // for the checks: the refusal
    const char* focus = nullptr;           // where a refusal puts the focus; `control` when null
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};

enum class PayloadSource {
    kRead,           // the read request of the framing
    kListCode,       // the list position, through `listCode` when given
    kSerialSettings, // rate code of `value`, parity code of `second`
    kWord,           // the decimal field `value` as two bytes
    kDutyCycle,      // on time of `value` in ms, sleep time of `second` in s
    kIoLine,         // `ioLine`, then the level list `value`'s position
};

struct ParameterCommand {
    const char* button;
    std::uint8_t code;
    bool io = false; // 4040 framing to the ID in `target`
    std::vector<ParameterStep> steps = {};
    PayloadSource source = PayloadSource::kRead;
    const char* value = nullptr;
    const char* second = nullptr;
    int (*listCode)(int position) = nullptr;
    int ioLine = 0;
    const char* target = nullptr;
    OperationTexts texts;
    // The power-level write refuses a missing level even while a pair test runs.
    bool checksBeforeGuard = false;
    // The progress text when the model list shows names without the "QX" prefix.
    std::optional<core::TextId> progressBareNames = std::nullopt;
};

std::span<const ParameterCommand> ParameterCommandTable();
// The row of a button by objectName; every handler has one.
const ParameterCommand& ParameterCommandFor(std::string_view button);
