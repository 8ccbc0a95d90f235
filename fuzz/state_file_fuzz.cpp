// The module state file: any text is either read whole or refused with a line number, and a
// state that was read formats to a text that reads back to the same state.
#include "invariants.h"

#include "core/module/module_state_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const StateFileContents read = ParseStateFile(text, ModuleState{});
    if (!read.error.empty()) {
        QX_CHECK(read.modules.empty() && read.error.starts_with("line "));
        return 0;
    }
    QX_CHECK(read.modules.size() <= kMaxModules);
    for (const ModuleState& module : read.modules)
        QX_CHECK(SettingsInRange(module));
    // Defaults that no file can hold, so a setting the formatter left out would show.
    ModuleState other;
    for (const ModuleSetting& setting : ModuleSettings())
        other.*(setting.member) = setting.max + 1;
    const std::string formatted = FormatStateFile(read.modules);
    const StateFileContents again = ParseStateFile(formatted, other);
    QX_CHECK(again.error.empty() && again.modules == read.modules);
    QX_CHECK(FormatStateFile(again.modules) == formatted);
    return 0;
}
