#include "decimal_entry.h"

namespace core {

std::optional<std::uint32_t> DecimalInRange(std::string_view text, std::uint32_t low,
                                            std::uint32_t high) {
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        // Stop as soon as the value leaves the range, so a long entry cannot wrap back into it.
        if (value > high)
            return std::nullopt;
    }
    if (value < low)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace core
