#include "search_order.h"

#include "catalogue.h"
#include "search_steps.h"

#include <algorithm>
#include <array>

namespace core {

namespace {

constexpr std::array<const char*, 3> kParityNames{"none", "even", "odd"};
constexpr int kAboveTheSteps = 57600;

} // namespace

std::vector<SearchLine> SearchOrder(std::optional<SearchLine> remembered) {
    std::vector<SearchLine> order;
    const auto add = [&order](SearchLine line) {
        if (std::find(order.begin(), order.end(), line) == order.end())
            order.push_back(line);
    };
    if (remembered)
        add(*remembered);
    add(kFactoryLine);
    for (int step = 1; step <= kSearchSteps; ++step) {
        const SearchStep at = SearchStepAt(step);
        add({BaudFromRateCode(at.baud_position + 1), ParityCodeFromPosition(at.parity_position)});
    }
    for (const int parity : {1, 2, 0})
        add({kAboveTheSteps, parity});
    return order;
}

std::string SearchLineText(SearchLine line) {
    return std::to_string(line.baud) + " " +
           kParityNames.at(static_cast<std::size_t>(std::clamp(line.parity, 0, 2)));
}

std::optional<SearchLine> ParseSearchLine(std::string_view text) {
    for (const SearchLine& line : SearchOrder(std::nullopt))
        if (SearchLineText(line) == text)
            return line;
    return std::nullopt;
}

} // namespace core
