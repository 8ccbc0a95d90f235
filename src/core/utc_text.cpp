#include "utc_text.h"

#include <array>
#include <cstdio>

namespace core {

namespace {

struct Utc {
    std::chrono::year_month_day date;
    std::chrono::hh_mm_ss<std::chrono::milliseconds> time;
};

Utc Split(std::chrono::system_clock::time_point at) {
    using namespace std::chrono;
    const auto ms = floor<milliseconds>(at);
    const auto day = floor<days>(ms);
    return {year_month_day{day}, hh_mm_ss{ms - day}};
}

} // namespace

std::string UtcText(std::chrono::system_clock::time_point at) {
    const Utc utc = Split(at);
    std::array<char, 64> text{}; // room for any year the fields can hold
    std::snprintf(text.data(), text.size(), "%s%02d:%02d:%02d.%03dZ", (UtcDate(at) + 'T').c_str(),
                  static_cast<int>(utc.time.hours().count()),
                  static_cast<int>(utc.time.minutes().count()),
                  static_cast<int>(utc.time.seconds().count()),
                  static_cast<int>(utc.time.subseconds().count()));
    return text.data();
}

std::string UtcDate(std::chrono::system_clock::time_point at) {
    const Utc utc = Split(at);
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02u-%02u", static_cast<int>(utc.date.year()),
                  static_cast<unsigned>(utc.date.month()), static_cast<unsigned>(utc.date.day()));
    return text.data();
}

} // namespace core
