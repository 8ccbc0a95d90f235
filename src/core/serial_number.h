// The factory serial number: model, year and month of manufacture, running number.
// On the wire: model code, year (last two digits), month, running number big-endian.
#pragma once

#include <string>
#include <string_view>

namespace core {

// Why a serial number cannot be written, in the order the checks run.
enum class SerialNumberError {
    kNone,
    kYearEmpty,
    kMonthEmpty,
    kNumberEmpty,
    kNumberOutOfRange, // above 65534, or not a decimal number
    kYearInvalid,      // not four digits from 2000 to 2099
    kMonthInvalid,     // not a number from 1 to 12 (one or two digits)
    kNoModel,          // no model selected
};

struct SerialNumberPayload {
    SerialNumberError error = SerialNumberError::kNone;
    std::string payload; // 5 bytes as hex, set only without error
};

inline constexpr int kMaxRunningNumber = 65534;

// The 800A payload from the model position and the texts of the year, month and number fields:
// position 18, "2012", "05", "258" -> "110C050102".
SerialNumberPayload EncodeSerialNumber(int model_position, std::string_view year,
                                       std::string_view month, std::string_view number);

struct SerialNumber {
    int model_position = -1; // -1 for an unknown model code
    std::string year;        // "2012"
    std::string month;       // "05"
    std::string number;      // "00258"
};

// Fields of an 800B answer payload (hex text from the model code on). A payload shorter than
// its five bytes reads as if padded with "0": missing fields are zeros, as in every answer.
SerialNumber DecodeSerialNumber(std::string_view payload);

// A running number with zeros in front up to five digits: 7 -> "00007".
std::string RunningNumberText(int value);

} // namespace core
