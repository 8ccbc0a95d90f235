#include "search_steps.h"

#include <array>

namespace core {

namespace {
constexpr std::array kBaudCodes{6, 7, 9, 10, 12, 13, 14};
constexpr std::array kBaudRates{600, 1200, 2400, 4800, 9600, 19200, 38400};
constexpr std::array kParityCodes{0x18, 0x08, 0x00};
constexpr std::array kParityLetters{'E', 'O', 'N'};
constexpr int kParities = static_cast<int>(kParityCodes.size());
constexpr int kBauds = static_cast<int>(kBaudCodes.size());
} // namespace

SearchStep SearchStepAt(int step) {
    if (step < 1 || step > kSearchSteps)
        return {-1, -1, -1, -1};
    const int baud = (step - 1) / kParities;
    const int parity = (step - 1) % kParities;
    return {baud, parity, kBaudCodes[static_cast<std::size_t>(baud)],
            kParityCodes[static_cast<std::size_t>(parity)]};
}

std::string SearchStepText(int step) {
    const SearchStep s = SearchStepAt(step);
    if (s.baud_position < 0)
        return {};
    return std::to_string(kBaudRates[static_cast<std::size_t>(s.baud_position)]) + " 8" +
           kParityLetters[static_cast<std::size_t>(s.parity_position)] + "1";
}

int StartStepFromPortDialog(int baud_position, int parity_position) {
    if (baud_position < 0 || baud_position >= kBauds || parity_position < 0 ||
        parity_position >= kParities)
        return 0;
    return baud_position * kParities + parity_position + 1;
}

} // namespace core
