#include "core/csv.h"
#include "core/pair_record.h"

#include <gtest/gtest.h>

using namespace core;

TEST(PairRecord, RoundTripsAndLostReceipts) {
    RoundTrips trips;
    EXPECT_EQ(trips.Last(), std::nullopt);
    EXPECT_EQ(trips.Mean(), std::nullopt);
    EXPECT_EQ(trips.MeanText(), "");
    for (const std::int64_t ms : {40, 25, 61, 30})
        trips.Add(ms);
    EXPECT_EQ(trips.Last(), 30);
    EXPECT_EQ(trips.Min(), 25);
    EXPECT_EQ(trips.Max(), 61);
    EXPECT_DOUBLE_EQ(*trips.Mean(), 39.0);
    EXPECT_EQ(trips.MeanText(), "39.0");
    EXPECT_EQ(trips.Count(), 4);
    // a mean exactly between two tenths: the window and the saved results round it alike
    RoundTrips tie;
    for (const std::int64_t ms : {40, 25, 61, 31})
        tie.Add(ms);
    EXPECT_EQ(tie.MeanText(), "39.2");

    struct Row {
        std::int64_t sent, received;
        bool awaiting;
        std::int64_t lost;
    };
    for (const Row& r : {Row{10, 7, false, 3}, Row{10, 10, false, 0}, Row{2, 3, false, 0},
                         Row{24, 23, true, 0}, // the frame in flight is not lost
                         Row{24, 22, true, 1}}) {
        PairTally t;
        t.sent = r.sent;
        t.received = r.received;
        t.awaiting = r.awaiting;
        EXPECT_EQ(ReceiptsLost(t), r.lost) << r.sent << " " << r.received;
    }
}

TEST(PairRecord, CsvFieldQuotesOnlyWhatNeedsIt) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},
        {"4142", "4142"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\n", "\"lf\n\""},
        {"semi;colon", "semi;colon"},
    };
    for (const auto& [field, csv] : rows)
        EXPECT_EQ(CsvField(field), csv) << field;
}

TEST(PairRecord, CsvHasOneRowPerFrameAndASummary) {
    PairRecord record;
    record.Add({0, true, "AB", FrameVerdict::kNone, std::nullopt});
    record.Add({35, false, std::string("A\0", 2), FrameVerdict::kWrong, 35});
    PairTally tally;
    tally.sent = 2;
    tally.received = 1;
    tally.right = 1;
    tally.wrong = 1;
    tally.tx_bytes = 4;
    tally.rx_bytes = 2;
    RoundTrips trips;
    trips.Add(35);
    const std::string header =
        "time_ms,direction,length,verdict,round_trip_ms,data_hex,success_rate_percent,sent,"
        "received,right,wrong,lost,awaiting_answer,tx_bytes,rx_bytes,round_trip_min_ms,"
        "round_trip_mean_ms,round_trip_max_ms,rows_left_out\r\n";
    EXPECT_EQ(PairRecordCsv(record, tally, trips, 1200),
              header + "0,sent,2,,,4142,,,,,,,,,,,,,\r\n"
                       "35,received,2,wrong,35,4100,,,,,,,,,,,,,\r\n"
                       "1200,summary,,,,,50.00,2,1,1,1,1,0,4,2,35,35.0,35,0\r\n");

    // A frame that came after the stop ends the run; nothing settled leaves the rate empty.
    record.Add({1500, false, "AB", FrameVerdict::kRight, std::nullopt});
    tally.sent = 1;
    tally.awaiting = true;
    EXPECT_TRUE(PairRecordCsv(record, tally, RoundTrips{}, 1200)
                    .ends_with("\r\n1500,summary,,,,,,1,1,1,1,0,1,4,2,,,,0\r\n"));

    // Past the limit the oldest rows go, and the summary says so.
    PairRecord full;
    for (std::size_t i = 0; i < PairRecord::kRowLimit + 2; ++i)
        full.Add({static_cast<std::int64_t>(i), true, "x", FrameVerdict::kNone, std::nullopt});
    EXPECT_EQ(full.Rows().size(), PairRecord::kRowLimit);
    EXPECT_EQ(full.Rows().front().atMs, 2);
    EXPECT_EQ(full.LeftOut(), 2);
    EXPECT_TRUE(PairRecordCsv(full, PairTally{}, RoundTrips{}, 0).ends_with(",,,,2\r\n"));
}
