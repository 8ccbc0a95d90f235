// The order the command line's search tries line settings in, likeliest first: a module is
// most often where it was last found, or still at its factory setting; then the window's 21
// steps from the slowest; then the rate above them, which the window's walk never tries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

struct SearchLine {
    int baud;
    int parity; // 0 none, 1 even, 2 odd
    bool operator==(const SearchLine&) const = default;
};

// What a module runs at as it leaves the factory.
inline constexpr SearchLine kFactoryLine{9600, 0};

// `remembered` when known, then the factory setting, then the 21 steps (600 even first, 38400
// none last), then 57600 even, odd and none; each line once.
std::vector<SearchLine> SearchOrder(std::optional<SearchLine> remembered);

// "19200 odd", as remembered; nothing for a text that is no line the order holds.
std::string SearchLineText(SearchLine line);
std::optional<SearchLine> ParseSearchLine(std::string_view text);

} // namespace core
