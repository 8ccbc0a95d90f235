#include "module_state_file.h"

namespace core {

namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// "[module 3]" -> 3; -1 for anything else.
int SectionNumber(std::string_view line) {
    constexpr std::string_view kOpen = "[module ";
    if (line.substr(0, kOpen.size()) != kOpen || line.back() != ']')
        return -1;
    const auto value = ParseSettingValue(line.substr(kOpen.size(), line.size() - kOpen.size() - 1));
    return value ? *value : -1;
}

} // namespace

StateFileContents ParseStateFile(std::string_view text, const ModuleState& defaults) {
    StateFileContents result;
    int line_number = 0;
    auto fail = [&](const std::string& what) {
        result.modules.clear();
        result.error = "line " + std::to_string(line_number) + ": " + what;
        return result;
    };
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++line_number;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (SectionNumber(line) != static_cast<int>(result.modules.size()))
                return fail("expected [module " + std::to_string(result.modules.size()) + "]");
            if (result.modules.size() == kMaxModules)
                return fail("more than " + std::to_string(kMaxModules) + " modules");
            result.modules.push_back(defaults);
            continue;
        }
        if (result.modules.empty())
            return fail("a setting before the first [module 0]");
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return fail("not a key=value line");
        const std::string_view key = Trim(line.substr(0, equals));
        const ModuleSetting* setting = FindModuleSetting(key);
        if (setting == nullptr)
            return fail("unknown key \"" + std::string(key) + "\"");
        const auto value = ParseSettingValue(Trim(line.substr(equals + 1)));
        if (!value || *value < setting->min || *value > setting->max)
            return fail(std::string(key) + " must be " + std::to_string(setting->min) + " to " +
                        std::to_string(setting->max));
        result.modules.back().*(setting->member) = *value;
    }
    return result;
}

std::string FormatStateFile(std::span<const ModuleState> modules) {
    std::string text = "# qxsim module state, rewritten whenever a module's settings change\n";
    for (std::size_t i = 0; i < modules.size(); ++i) {
        text += "[module " + std::to_string(i) + "]\n";
        for (const ModuleSetting& setting : ModuleSettings())
            text += std::string(setting.key) + "=" +
                    FormatSettingValue(setting, modules[i].*(setting.member)) + "\n";
    }
    return text;
}

} // namespace core
