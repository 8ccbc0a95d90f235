// The event loop serving every module: host input, requests to the brain, answers, the air.
#pragma once

#include "air.h"
#include "log.h"
#include "module_link.h"
#include "options.h"

#include <csignal>
#include <vector>

namespace sim {

class Simulator {
public:
    // `saved` is what the state file held: modules beyond the running ones are kept in it.
    Simulator(const Options& options, std::vector<ModuleLink> links,
              std::vector<core::ModuleState> saved);

    // Serves until `stop` is set; `wait_mask` is the signal mask to wait with, under which the
    // stop signals are delivered.
    void Run(const volatile std::sig_atomic_t& stop, const sigset_t& wait_mask);
    // Writes every module's state to the state file, if there is one.
    void SaveState();
    std::vector<ModuleLink>& links() { return links_; }

private:
    void ReadHost(ModuleLink& link, TimePoint now);
    void Receive(ModuleLink& link, TimePoint now);
    void TakeInput(ModuleLink& link, TimePoint now);
    void HandleRequest(ModuleLink& link, core::Framing framing, const core::Bytes& frame,
                       TimePoint now);
    void RunTimers(TimePoint now);
    std::optional<TimePoint> NextTimer() const;

    Options options_;
    Log log_;
    Air air_;
    std::vector<ModuleLink> links_;
    std::vector<core::ModuleState> saved_;
};

} // namespace sim
