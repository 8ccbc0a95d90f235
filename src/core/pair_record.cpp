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

std::string RoundTrips::MeanText() const {
    const auto mean = Mean();
    if (!mean)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", *mean);
    return text;
}

std::int64_t ReceiptsLost(const PairTally& tally) {
    return std::max<std::int64_t>(0, FramesSettled(tally) - tally.received);
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

} // namespace

std::string PairRecordCsv(const PairRecord& record, const PairTally& tally, const RoundTrips& trips,
                          std::int64_t elapsedMs) {
    // Frames fill the first six columns, the summary its time, its kind and the figures.
    const std::vector<std::string> columns = {"time_ms",
                                              "direction",
                                              "length",
                                              "verdict",
                                              "round_trip_ms",
                                              "data_hex",
                                              "success_rate_percent",
                                              "sent",
                                              "received",
                                              "right",
                                              "wrong",
                                              "lost",
                                              "awaiting_answer",
                                              "tx_bytes",
                                              "rx_bytes",
                                              "round_trip_min_ms",
                                              "round_trip_mean_ms",
                                              "round_trip_max_ms",
                                              "rows_left_out"};
    // Every row has every column, so a spreadsheet or a data frame reads one table.
    auto row = [&](std::vector<std::string> fields) {
        fields.resize(columns.size());
        return CsvLine(fields) + "\r\n";
    };
    std::string csv = row(columns);
    for (const FrameRow& frame : record.Rows()) {
        csv += row({std::to_string(frame.atMs), frame.sent ? "sent" : "received",
                    std::to_string(frame.data.size()), VerdictText(frame.verdict),
                    Number(frame.roundTripMs), BytesToHex(frame.data)});
    }
    // A frame that arrives after the stop still belongs to the run, which ends with it.
    const std::int64_t endMs =
        record.Rows().empty() ? elapsedMs : std::max(elapsedMs, record.Rows().back().atMs);
    std::string rate = SuccessRateText(tally).value_or("");
    if (!rate.empty())
        rate.pop_back(); // the percent sign: the column says it
    return csv +
           row({std::to_string(endMs), "summary", "", "", "", "", rate, std::to_string(tally.sent),
                std::to_string(tally.received), std::to_string(tally.right),
                std::to_string(tally.wrong), std::to_string(ReceiptsLost(tally)),
                tally.awaiting ? "1" : "0", std::to_string(tally.tx_bytes),
                std::to_string(tally.rx_bytes), Number(trips.Min()), trips.MeanText(),
                Number(trips.Max()), std::to_string(record.LeftOut())});
}

} // namespace core
