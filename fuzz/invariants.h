// What the fuzz targets assert. A broken invariant stops the run with the input saved, whatever
// the build type, so NDEBUG never silences it.
#pragma once

#include "core/module/module_state.h"

#include <cstdio>
#include <cstdlib>

#define QX_CHECK(condition)                                                                        \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Every setting within the range the state file and the write commands allow.
inline bool SettingsInRange(const core::ModuleState& state) {
    for (const core::ModuleSetting& setting : core::ModuleSettings()) {
        const int value = state.*(setting.member);
        if (value < setting.min || value > setting.max)
            return false;
    }
    return true;
}
