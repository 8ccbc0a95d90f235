#include "pair_record.h"

#include "csv.h"
#include "hex.h"

#include <algorithm>
#include <cstdio>

namespace core {

void RoundTrips::Add(std::int64_t ms) {
    m_min = m_count == 0 ? ms : std::min(m_min, ms);
    m_max = m_count == 0 ? ms : std::max(m_max, ms);
    m_last = ms;
    m_sum += ms;
    ++m_count;
}

std::optional<std::int64_t> RoundTrips::Last() const {
    return m_count == 0 ? std::nullopt : std::optional(m_last);
}

std::optional<std::int64_t> RoundTrips::Min() const {
    return m_count == 0 ? std::nullopt : std::optional(m_min);
}

std::optional<std::int64_t> RoundTrips::Max() const {
    return m_count == 0 ? std::nullopt : std::optional(m_max);
}

std::optional<double> RoundTrips::Mean() const {
    if (m_count == 0)
        return std::nullopt;
    return static_cast<double>(m_sum) / static_cast<double>(m_count);
}

std::int64_t ReceiptsLost(const PairTally& tally) {
    return std::max<std::int64_t>(0, tally.sent - tally.received);
}

void PairRecord::Clear() {
    m_rows.clear();
    m_leftOut = 0;
}

void PairRecord::Add(FrameRow row) {
    if (m_rows.size() >= kRowLimit) {
        m_rows.pop_front();
        ++m_leftOut;
    }
    m_rows.push_back(std::move(row));
}

namespace {

const char* VerdictText(FrameVerdict verdict) {
    switch (verdict) {
    case FrameVerdict::kRight:
        return "right";
    case FrameVerdict::kWrong:
        return "wrong";
    case FrameVerdict::kNone:
        break;
    }
    return "";
}

std::string Number(std::optional<std::int64_t> value) {
    return value ? std::to_string(*value) : std::string();
}

std::string OneDecimal(std::optional<double> value) {
    if (!value)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", *value);
    return text;
}

std::string Row(const std::vector<std::string>& fields) {
    return CsvLine(fields) + "\r\n";
}

} // namespace

std::string PairRecordCsv(const PairRecord& record, const PairTally& tally, const RoundTrips& trips,
                          std::int64_t elapsedMs) {
    std::string csv =
        Row({"time_ms", "direction", "length", "verdict", "round_trip_ms", "data_hex"});
    for (const FrameRow& row : record.Rows()) {
        csv += Row({std::to_string(row.atMs), row.sent ? "sent" : "received",
                    std::to_string(row.data.size()), VerdictText(row.verdict),
                    Number(row.roundTripMs), BytesToHex(row.data)});
    }
    std::string counts =
        "sent " + std::to_string(tally.sent) + ", received " + std::to_string(tally.received) +
        ", right " + std::to_string(tally.right) + ", wrong " + std::to_string(tally.wrong) +
        ", lost " + std::to_string(ReceiptsLost(tally)) + ", tx bytes " +
        std::to_string(tally.tx_bytes) + ", rx bytes " + std::to_string(tally.rx_bytes);
    if (trips.Count() > 0) {
        counts += ", round trip min " + Number(trips.Min()) + " mean " + OneDecimal(trips.Mean()) +
                  " max " + Number(trips.Max()) + " ms";
    }
    if (record.LeftOut() > 0)
        counts += ", oldest rows left out " + std::to_string(record.LeftOut());
    csv += Row({std::to_string(elapsedMs), "summary", "", SuccessRateText(tally).value_or(""),
                OneDecimal(trips.Mean()), counts});
    return csv;
}

} // namespace core
