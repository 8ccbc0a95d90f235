#include "record.h"

#include "core/utc_text.h"

#include <array>
#include <chrono>

namespace records {

namespace {

constexpr std::array kResultTexts{"written and confirmed", "refused", "not confirmed"};

} // namespace

const char* ResultText(Result result) {
    return kResultTexts.at(static_cast<std::size_t>(result));
}

std::optional<Result> ResultOfText(const std::string& text) {
    for (std::size_t i = 0; i < kResultTexts.size(); ++i)
        if (text == kResultTexts[i])
            return static_cast<Result>(i);
    return std::nullopt;
}

std::string UtcNow() {
    return core::UtcText(std::chrono::system_clock::now());
}

} // namespace records
