// Numbers the operator types into the decimal fields (module IDs, sleep times).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace core {

// The value of a text of decimal digits when it lies in [low, high]; nullopt for an empty
// text, any other character, or a value outside the range however many digits it has.
std::optional<std::uint32_t> DecimalInRange(std::string_view text, std::uint32_t low,
                                            std::uint32_t high);

} // namespace core
