#include "module_air.h"

#include "core/catalogue.h"

namespace core {

int AirTimeMs(std::size_t bytes, int air_rate_code) {
    const int baud = BaudFromRateCode(air_rate_code);
    if (baud == 0)
        return 0;
    const std::size_t bits = bytes * 8 * 1000;
    return static_cast<int>((bits + static_cast<std::size_t>(baud) - 1) /
                            static_cast<std::size_t>(baud));
}

AirNoise::AirNoise(std::uint64_t seed, double loss, double bit_error)
    : state_(seed), loss_(loss), bit_error_(bit_error) {}

bool AirNoise::Lost() {
    return Uniform() < loss_;
}

void AirNoise::Damage(Bytes& packet) {
    if (bit_error_ <= 0)
        return;
    for (char& byte : packet)
        for (int bit = 0; bit < 8; ++bit)
            if (Uniform() < bit_error_)
                byte = static_cast<char>(byte ^ (1 << bit));
}

double AirNoise::Uniform() {
    // splitmix64: small, fast and the same everywhere.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

} // namespace core
