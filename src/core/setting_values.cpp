#include "setting_values.h"

#include "catalogue.h"
#include "decimal_entry.h"
#include "models.h"

#include <algorithm>
#include <vector>

namespace core {

namespace {

using enum SettingKind;

std::string Joined(std::span<const std::string_view> names) {
    std::string text;
    for (const std::string_view name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

} // namespace

std::optional<int> ParseSettingValue(Setting setting, std::string_view text) {
    const SettingRow& row = RowOf(setting);
    switch (row.kind) {
    case kList: {
        const auto it = std::ranges::find(row.names, text);
        if (it == row.names.end())
            return std::nullopt;
        return static_cast<int>(it - row.names.begin());
    }
    case kRate:
        for (auto code = static_cast<int>(row.low); code <= static_cast<int>(row.high); ++code)
            if (text == std::to_string(BaudFromRateCode(code)))
                return code;
        return std::nullopt;
    case kDecimal:
        break;
    }
    const auto value = DecimalInRange(text, row.low, row.high);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::string SettingValueText(Setting setting, int value) {
    const SettingRow& row = RowOf(setting);
    const std::string unknown = std::string(row.unknown) + " " + std::to_string(value);
    switch (row.kind) {
    case kList:
        return value >= 0 && static_cast<std::size_t>(value) < row.names.size()
                   ? std::string(row.names[static_cast<std::size_t>(value)])
                   : unknown;
    case kRate: {
        const int baud = BaudFromRateCode(value);
        return baud != 0 ? std::to_string(baud) : unknown;
    }
    case kDecimal:
        break;
    }
    return std::to_string(value);
}

std::string SettingValueHint(Setting setting) {
    const SettingRow& row = RowOf(setting);
    switch (row.kind) {
    case kList:
        return Joined(row.names);
    case kRate: {
        std::string hint;
        for (auto code = static_cast<int>(row.low); code <= static_cast<int>(row.high); ++code)
            hint += (hint.empty() ? "" : ", ") + std::to_string(BaudFromRateCode(code));
        return hint;
    }
    case kDecimal:
        break;
    }
    return std::to_string(row.low) + " .. " + std::to_string(row.high);
}

std::string SettingPayload(Setting setting, const SettingValues& values, Framing framing) {
    const SettingRow* row = &RowOf(setting);
    if (row->layout == SettingLayout::kCarried)
        row = &RowOf(*row->with);
    const int value = values.at(row->setting);
    switch (row->layout) {
    case SettingLayout::kByte:
        return BytePayload(value, framing);
    case SettingLayout::kWord:
        return WordPayload(static_cast<std::uint16_t>(value));
    case SettingLayout::kSerialSettings:
        return SerialSettingsPayload(value, values.at(*row->with), framing);
    case SettingLayout::kDutyCycle:
        return DutyCyclePayload(value, values.at(*row->with)).value_or(std::string());
    case SettingLayout::kCarried:
        break;
    }
    return {};
}

std::string MissingCompanion(const SettingValues& values) {
    for (const auto& [setting, value] : values) {
        const SettingRow& row = RowOf(setting);
        // a companion the module reports is taken from the module instead
        if (row.with && !RowOf(*row.with).Readable() && !values.contains(*row.with)) {
            const auto [first, second] = std::minmax(setting, *row.with);
            return std::string(RowOf(first).key) + " and " + RowOf(second).key +
                   " are written together; give both";
        }
    }
    return {};
}

std::string SettingRefusal(Setting setting, int value, int model_position,
                           std::string_view variant_type) {
    const std::string model = ModelName(model_position, 1);
    switch (RowOf(setting).gate) {
    case SettingGate::kChannels: {
        const int count = ChannelCount(model_position, variant_type);
        if (value > count)
            return model + " has channels 1 .. " + std::to_string(count);
        break;
    }
    case SettingGate::kMaxRate:
        if (BaudFromRateCode(value) > MaxRate(model_position))
            return model + " runs at most " + std::to_string(MaxRate(model_position)) + " baud";
        break;
    case SettingGate::kPowerGroup:
        if (!HasPowerGroup(model_position))
            return model + " has no output power setting";
        break;
    case SettingGate::kNone:
        break;
    }
    return {};
}

SettingDifferences CompareSettings(const SettingValues& wanted, const SettingValues& held) {
    SettingDifferences differences;
    for (const auto& [setting, value] : wanted) {
        const SettingRow& key = RowOf(setting);
        const std::string text = SettingValueText(setting, value);
        if (!key.Readable()) {
            differences.lines.push_back(std::string(key.key) + ": " + text +
                                        " written, the module does not report it");
            continue;
        }
        const auto it = held.find(setting);
        if (it != held.end() && it->second == value)
            continue;
        ++differences.count;
        differences.lines.push_back(
            std::string(key.key) + ": profile " + text + ", module " +
            (it == held.end() ? std::string("-") : SettingValueText(setting, it->second)));
    }
    return differences;
}

std::vector<std::string> WritePlan(const SettingValues& wanted, const SettingValues& held) {
    std::vector<std::string> lines;
    for (const auto& [setting, value] : wanted) {
        const SettingRow& row = RowOf(setting);
        const std::string text = SettingValueText(setting, value);
        const auto now = held.find(setting);
        std::string line = std::string(row.key) + ": ";
        if (!row.Readable())
            line += text + ", not reported by the module";
        else if (now != held.end() && now->second == value)
            line += text + ", as now";
        else
            line +=
                (now == held.end() ? std::string("-") : SettingValueText(setting, now->second)) +
                " -> " + text;
        // a setting that travels in another's request goes out with it
        if (row.layout == SettingLayout::kCarried && wanted.contains(*row.with))
            line += std::string(", with ") + RowOf(*row.with).key;
        lines.push_back(std::move(line));
    }
    return lines;
}

int ModelPositionOfName(std::string_view name) {
    for (int position = 0; position < kModelCount; ++position)
        for (int list_variant = 0; list_variant <= 2; ++list_variant)
            if (name == ModelName(position, list_variant))
                return position;
    return -1;
}

} // namespace core
