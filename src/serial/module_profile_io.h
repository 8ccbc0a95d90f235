// Reading a module's settings into a profile, and writing a profile's settings into a module
// in an order that never loses it. Each is written once, as steps over an Exchanger: each
// request's reply carries the step on, so the same steps run on the command line's blocking
// port (all of them before the call returns) and on the window's port, whose thread goes on
// between them. The result or the failure comes to a completion callback, never as an
// exception; the blocking forms below throw it.
#pragma once

#include "config/module_profile.h"
#include "exchanger.h"
#include "module_exchange.h"

#include <chrono>
#include <functional>
#include <string>
#include <variant>

namespace serial {

template <class T> using Outcome = std::variant<T, ExchangeError>;
template <class T> using Then = std::function<void(Outcome<T> outcome)>;
// Told before each request: it is the `step`th of the `steps` its call sends, asking `asks`
// (the command's name in the trace). Empty for nothing.
using StepProgress = std::function<void(int step, int steps, const std::string& asks)>;

// Who the module at the port's line is: its search answer and serial number. ExchangeError
// kNoAnswer when it does not answer.
void IdentifyModule(Exchanger& port, std::chrono::milliseconds wait, StepProgress progress,
                    Then<Module> done);
Module IdentifyModule(ModulePort& port, std::chrono::milliseconds wait);

// Why `wanted` (read from `source`) may not be written into `module`: a profile of another
// model, or a value the module's model does not offer; empty when it may.
std::string ProfileRefusal(const Exchanger& port, const config::ModuleProfile& wanted,
                           const Module& module, const std::string& source);

// What the search and the serial number tell of the module, as [module] of a profile: its
// model, serial number, family, firmware and base frequency; no settings.
config::ModuleProfile IdentityProfile(const Module& module);

// Everything the module reports: the settings it can be asked for, and in [module] its serial
// number, family, firmware, base frequency, the channel's frequency and its IO inputs.
void ReadProfile(Exchanger& port, const Module& module, std::chrono::milliseconds wait,
                 StepProgress progress, Then<config::ModuleProfile> done);
config::ModuleProfile ReadProfile(ModulePort& port, const Module& module,
                                  std::chrono::milliseconds wait);

// A module takes up new serial settings a moment after it answered at the old ones (real
// firmware some 30 ms): the port waits this long at the new line before its next request.
constexpr std::chrono::milliseconds kSettleTime(100);

// Writes `values` in the order of core::Setting, the serial settings last; after those the
// port follows the module to its new line and waits `settle` there. Stops at the first write
// the module does not take and gives why; empty when it took them all. `current` fills in a
// serial rate or parity that `values` leaves out.
void WriteSettings(Exchanger& port, const core::SettingValues& values,
                   const core::SettingValues& current, std::chrono::milliseconds wait,
                   std::chrono::milliseconds settle, StepProgress progress, Then<std::string> done);
// The same, waiting for the end; `progress`, when given, hears each request before it goes out.
std::string WriteSettings(ModulePort& port, const core::SettingValues& values,
                          const core::SettingValues& current, std::chrono::milliseconds wait,
                          std::chrono::milliseconds settle = kSettleTime,
                          StepProgress progress = {});

} // namespace serial
