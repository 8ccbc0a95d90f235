// What a bounded buffer dropped, told at most once a second: a flood costs one line a second on
// standard error, not one line per loss.
#pragma once

#include "clock.h"

#include <cstddef>
#include <optional>

namespace sim {

class DropReport {
public:
    void Add(std::size_t count, TimePoint now);
    // The count dropped since the last report, when a report is due at `now`; the count starts
    // again from 0.
    std::optional<std::size_t> Take(TimePoint now);
    // When the next report is due, if anything waits to be told.
    std::optional<TimePoint> Due() const;

private:
    std::size_t count_ = 0;
    TimePoint first_{}; // the first drop not told yet
    std::optional<TimePoint> last_told_;
};

} // namespace sim
