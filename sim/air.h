// The air the modules of one qxsim share: packets sent by one module reach the others that
// listen on the same channel, air rate and protocol, after their air time, through the noise.
#pragma once

#include "module_link.h"

#include "core/module/module_air.h"

#include <map>
#include <vector>

namespace sim {

class Air {
public:
    Air(std::uint64_t seed, double loss, double bit_errors, int extra_delay_ms)
        : noise_(seed, loss, bit_errors), extra_delay_(extra_delay_ms) {}

    // The sender's host has finished a burst of raw data.
    void Send(const ModuleLink& sender, const std::vector<ModuleLink>& links,
              const core::Bytes& packet, TimePoint now, const Log& log);
    // Hands the packets that have arrived to their receivers' output, and tells what the air
    // dropped when a report is due.
    void Deliver(std::vector<ModuleLink>& links, TimePoint now, const Log& log);
    // The next arrival or report.
    std::optional<TimePoint> NextTimer() const;

private:
    struct InFlight {
        int receiver;
        core::ModuleState sender; // its channel, air rate and protocol when it sent
        core::Bytes packet;
    };
    core::AirNoise noise_;
    std::chrono::milliseconds extra_delay_;
    std::multimap<TimePoint, InFlight> in_flight_;
    DropReport drops_;
};

} // namespace sim
