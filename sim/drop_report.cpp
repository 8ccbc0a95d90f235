#include "drop_report.h"

#include <algorithm>
#include <utility>

namespace sim {

namespace {

constexpr auto kReportPeriod = std::chrono::seconds(1);

} // namespace

void DropReport::Add(std::size_t count, TimePoint now) {
    if (count == 0)
        return;
    if (count_ == 0)
        first_ = now;
    count_ += count;
}

std::optional<std::size_t> DropReport::Take(TimePoint now) {
    const auto due = Due();
    if (!due || *due > now)
        return std::nullopt;
    last_told_ = now;
    return std::exchange(count_, 0);
}

std::optional<TimePoint> DropReport::Due() const {
    if (count_ == 0)
        return std::nullopt;
    if (!last_told_)
        return first_;
    return std::max(first_, *last_told_ + kReportPeriod);
}

} // namespace sim
