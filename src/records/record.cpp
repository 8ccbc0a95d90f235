#include "record.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

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
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(ms % 1000));
    return text;
}

} // namespace records
