#include "air.h"

#include "log.h"

namespace sim {

namespace {

// Bounded like a real module's buffers: beyond this, the packet due first makes room.
constexpr std::size_t kMaxInFlight = 256;

bool SameAir(const core::ModuleState& a, const core::ModuleState& b) {
    return a.channel == b.channel && a.air_rate == b.air_rate && a.air_protocol == b.air_protocol;
}

} // namespace

void Air::Send(const ModuleLink& sender, const std::vector<ModuleLink>& links,
               const core::Bytes& packet, TimePoint now, const Log& log) {
    log.Frame(sender.index, "air", packet, std::to_string(packet.size()) + " bytes sent");
    if (sender.state.tx_test != 0) {
        log.Event(sender.index, "in transmit test: packet not sent");
        return;
    }
    const auto arrival =
        now + extra_delay_ +
        std::chrono::milliseconds(core::AirTimeMs(packet.size(), sender.state.air_rate));
    for (const ModuleLink& receiver : links) {
        if (receiver.index == sender.index || receiver.state.tx_test != 0 ||
            !SameAir(sender.state, receiver.state))
            continue;
        if (noise_.Lost()) {
            log.Event(receiver.index,
                      "air packet from module " + std::to_string(sender.index) + " lost");
            continue;
        }
        core::Bytes heard = packet;
        noise_.Damage(heard);
        if (in_flight_.size() >= kMaxInFlight) {
            in_flight_.erase(in_flight_.begin());
            drops_.Add(1, now);
        }
        in_flight_.emplace(arrival, InFlight{receiver.index, sender.state, std::move(heard)});
    }
}

void Air::Deliver(std::vector<ModuleLink>& links, TimePoint now, const Log& log) {
    while (!in_flight_.empty() && in_flight_.begin()->first <= now) {
        auto node = in_flight_.extract(in_flight_.begin());
        ModuleLink& receiver = links[static_cast<std::size_t>(node.mapped().receiver)];
        core::Bytes& packet = node.mapped().packet;
        // A receiver that changed its channel meanwhile no longer hears it.
        if (receiver.state.tx_test != 0 || !SameAir(node.mapped().sender, receiver.state)) {
            log.Event(receiver.index, "no longer listening: air packet not heard");
            continue;
        }
        const auto host = ReadHostLine(receiver.pty.master);
        if (!host || !LineMatches(*host, receiver.line_rate, receiver.line_parity)) {
            log.Event(receiver.index, "host at other line settings: air packet not delivered");
            continue;
        }
        log.Frame(receiver.index, "air", packet, std::to_string(packet.size()) + " bytes heard");
        QueueOutput(receiver, Chunk{std::move(packet), node.key()}, now);
    }
    if (const auto dropped = drops_.Take(now))
        Log::Problem("too many packets on the air; dropped: " + std::to_string(*dropped));
}

std::optional<TimePoint> Air::NextTimer() const {
    std::optional<TimePoint> next = drops_.Due();
    if (!in_flight_.empty() && (!next || in_flight_.begin()->first < *next))
        next = in_flight_.begin()->first;
    return next;
}

} // namespace sim
