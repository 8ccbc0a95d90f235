// Reading a module's settings into a profile, and writing a profile's settings into a module
// in an order that never loses it.
#pragma once

#include "config/module_profile.h"
#include "module_exchange.h"

#include <chrono>
#include <string>

namespace serial {

// Who the module at the port's line is: its search answer and serial number. ExchangeError
// kNoAnswer when it does not answer.
Module IdentifyModule(ModulePort& port, std::chrono::milliseconds wait);

// Why `wanted` (read from `source`) may not be written into `module`: a profile of another
// model, or a value the module's model does not offer; empty when it may.
std::string ProfileRefusal(const ModulePort& port, const config::ModuleProfile& wanted,
                           const Module& module, const std::string& source);

// Everything the module reports: the settings it can be asked for, and in [module] its serial
// number, family, firmware, base frequency, the channel's frequency and its IO inputs.
config::ModuleProfile ReadProfile(ModulePort& port, const Module& module,
                                  std::chrono::milliseconds wait);

// A module takes up new serial settings a moment after it answered at the old ones (real
// firmware some 30 ms): the port waits this long at the new line before its next request.
constexpr std::chrono::milliseconds kSettleTime(100);

// Writes `values` in the order of core::Setting, the serial settings last; after those the
// port follows the module to its new line and waits `settle` there. Stops at the first write
// the module does not take and returns why; empty when it took them all. `current` fills in a
// serial rate or parity that `values` leaves out.
std::string WriteSettings(ModulePort& port, const core::SettingValues& values,
                          const core::SettingValues& current, std::chrono::milliseconds wait,
                          std::chrono::milliseconds settle = kSettleTime);

} // namespace serial
