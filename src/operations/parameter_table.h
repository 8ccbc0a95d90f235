// What each read and write button of the parameter groups does, as data: the controls it
// clears and checks in order, and the setting it reads or writes or the command it sends.
#pragma once

#include "command_sequence.h"
#include "core/setting_table.h"

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

// A button that reads or writes a setting takes its command, its value's control and its texts
// from the setting's row (core/setting_table.h); the other buttons name theirs here.
struct ParameterCommand {
    const char* button;
    std::optional<core::Setting> reads = std::nullopt;
    std::optional<core::Setting> writes = std::nullopt; // with the setting its write carries
    std::uint8_t code = 0;
    bool io = false; // 4040 framing to the ID in `target`
    std::vector<ParameterStep> steps = {};
    const char* ioLevel = nullptr; // an IO write: the level list of line `ioLine`
    int ioLine = 0;
    const char* target = nullptr;
    std::optional<OperationTexts> texts = std::nullopt;
    // The power-level write refuses a missing level even while a pair test runs.
    bool checksBeforeGuard = false;
    // The progress text when the model list shows names without the "QX" prefix.
    std::optional<core::TextId> progressBareNames = std::nullopt;
};

std::span<const ParameterCommand> ParameterCommandTable();
// The row of a button by objectName; every handler has one.
const ParameterCommand& ParameterCommandFor(std::string_view button);
