// The text kept by `qxsim --state FILE`: one "[module N]" section per module, numbered from 0,
// each with key=value lines named as the module settings; "#" starts a comment line.
#pragma once

#include "module_state.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

inline constexpr int kMaxModules = 64;

struct StateFileContents {
    std::vector<ModuleState> modules;
    std::string error; // empty when the text was read; else what is wrong and on which line
};

// Keys a section leaves out keep the value of `defaults`. Unknown keys, values out of range,
// sections out of order and stray lines are errors, so a damaged file is never half-used.
StateFileContents ParseStateFile(std::string_view text, const ModuleState& defaults);
std::string FormatStateFile(std::span<const ModuleState> modules);

} // namespace core
