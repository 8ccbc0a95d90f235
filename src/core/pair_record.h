// What a pair transfer test run leaves for a link engineer: the round-trip times of the main
// transmitter's answers, and one row per frame to save as CSV.
#pragma once

#include "pair_test.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Round-trip times in milliseconds: from a send to the last byte of the answer.
class RoundTrips {
public:
    void Add(std::int64_t ms);
    std::int64_t Count() const { return m_count; }
    // All nullopt before the first answer.
    std::optional<std::int64_t> Last() const;
    std::optional<std::int64_t> Min() const;
    std::optional<std::int64_t> Max() const;
    std::optional<double> Mean() const;
    // The mean to one decimal, as the window and the saved results both show it; empty before
    // the first answer.
    std::string MeanText() const;

private:
    std::int64_t m_count = 0;
    std::int64_t m_last = 0;
    std::int64_t m_min = 0;
    std::int64_t m_max = 0;
    std::int64_t m_sum = 0;
};

// Frames whose wait ended without a receipt, so not the one still waiting for its answer:
// never below 0, since the main receiver and a correct echo can make a frame arrive before its
// own send is counted.
std::int64_t ReceiptsLost(const PairTally& tally);

enum class FrameVerdict { kNone, kRight, kWrong };

struct FrameRow {
    std::int64_t atMs;    // since the start of the run
    bool sent;            // else received
    std::string data;     // the bytes as sent, or as judged after correction
    FrameVerdict verdict; // received frames only
    std::optional<std::int64_t> roundTripMs;
};

// The rows of one run. Only the newest rows are kept, so a test left running for days cannot
// fill the memory; the summary says how many were left out.
class PairRecord {
public:
    static constexpr std::size_t kRowLimit = 100000;

    void Clear();
    void Add(FrameRow row);
    const std::deque<FrameRow>& Rows() const { return m_rows; }
    std::int64_t LeftOut() const { return m_leftOut; }

private:
    std::deque<FrameRow> m_rows;
    std::int64_t m_leftOut = 0;
};

// The run as CSV with CRLF line ends: a header, one row per frame, and a summary row at the
// run's end (the stop, or a frame that came after it) with one column per figure: the success
// rate, the counters, the lost receipts, the frame still awaiting its answer, the round trips and
// the rows left out.
std::string PairRecordCsv(const PairRecord& record, const PairTally& tally, const RoundTrips& trips,
                          std::int64_t elapsedMs);

} // namespace core
