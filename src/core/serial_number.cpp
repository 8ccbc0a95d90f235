#include "serial_number.h"

#include "frame.h"
#include "hex.h"
#include "models.h"

#include <optional>

namespace core {

namespace {

// Value of a text of decimal digits; nullopt for other characters or a value above `limit`.
std::optional<int> DecimalValue(std::string_view text, int limit) {
    if (text.empty())
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        // Checked per digit so an over-long entry cannot overflow.
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

// Model code, year, month and the two bytes of the running number, as hex.
constexpr std::size_t kSerialNumberChars = 10;

std::string ZeroPadded(int value, std::size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

} // namespace

SerialNumberPayload EncodeSerialNumber(int model_position, std::string_view year,
                                       std::string_view month, std::string_view number) {
    using enum SerialNumberError;
    if (year.empty())
        return {kYearEmpty, {}};
    if (month.empty())
        return {kMonthEmpty, {}};
    if (number.empty())
        return {kNumberEmpty, {}};
    const std::optional<int> running = DecimalValue(number, kMaxRunningNumber);
    if (!running)
        return {kNumberOutOfRange, {}};
    // Only the last two digits of the year travel, so a year outside 2000..2099 would read
    // back as another year; refuse it instead of writing a wrong date into the module.
    const std::optional<int> year_value = DecimalValue(year, 2099);
    if (year.size() != 4 || !year_value || *year_value < 2000)
        return {kYearInvalid, {}};
    const std::optional<int> month_value = DecimalValue(month, 12);
    if (month.size() > 2 || !month_value || *month_value < 1)
        return {kMonthInvalid, {}};
    const std::string code = ModelCodeFromIndex(model_position);
    if (code.empty())
        return {kNoModel, {}};
    return {kNone, code + ToHex(static_cast<std::uint32_t>(*year_value % 100), 2) +
                       ToHex(static_cast<std::uint32_t>(*month_value), 2) +
                       ToHex(static_cast<std::uint32_t>(*running), 4)};
}

SerialNumber DecodeSerialNumber(std::string_view payload) {
    std::string fields(payload.substr(0, kSerialNumberChars));
    fields.resize(kSerialNumberChars, '0');
    SerialNumber sn;
    sn.model_position = ModelIndexFromCode(Field(fields, 1, 2));
    sn.year = "20" + ZeroPadded(HexByteValue(Field(fields, 3, 2)), 2);
    sn.month = ZeroPadded(HexByteValue(Field(fields, 5, 2)), 2);
    sn.number = RunningNumberText(HexToInt(Field(fields, 7, 4)));
    return sn;
}

std::string RunningNumberText(int value) {
    return ZeroPadded(value, 5);
}

} // namespace core
