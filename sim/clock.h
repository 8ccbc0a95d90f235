// The simulator's time: monotonic, so that a change of the wall clock moves no byte.
#pragma once

#include <chrono>

namespace sim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

} // namespace sim
