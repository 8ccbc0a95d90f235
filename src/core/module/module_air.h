// The shared air between simulated modules: how long a packet takes and what the air does to it.
// The noise is a seeded generator of its own, so a given seed loses and damages the same packets
// on every machine and a test can predict a pair transfer test's counters.
#pragma once

#include "core/hex.h"

#include <cstdint>

namespace core {

// Milliseconds a packet of `bytes` bytes spends on the air at the air rate code (8 bits a byte,
// rounded up); 0 for an unknown code.
int AirTimeMs(std::size_t bytes, int air_rate_code);

class AirNoise {
public:
    // loss: chance 0..1 that a packet does not arrive; bit_error: chance 0..1 for each bit.
    AirNoise(std::uint64_t seed, double loss, double bit_error);

    // One draw per packet and receiver, in the order the packets are sent.
    bool Lost();
    // Flips bits of a packet that arrived; draws nothing when the bit-error rate is 0.
    void Damage(Bytes& packet);

private:
    double Uniform(); // [0, 1)

    std::uint64_t state_;
    double loss_;
    double bit_error_;
};

} // namespace core
