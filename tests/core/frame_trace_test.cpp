#include "core/csv.h"
#include "core/frame_trace.h"

#include "core/hex.h"
#include "core/line_settings.h"

#include <gtest/gtest.h>

using namespace core;

namespace {

// Framing, name and verdict columns of a line: fields 6, 7 and 10, counted from 1.
std::string Columns(const FrameTraceRecord& record) {
    const std::string line = FormatFrameTrace(record);
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    EXPECT_EQ(fields.size(), 11u) << line;
    return fields.size() < 11 ? line : fields[5] + " | " + fields[6] + " | " + fields[9];
}

} // namespace

TEST(FrameTrace, DecodesRequestsAnswersAndMissingAnswers) {
    // A request sent, an answer received, or a request whose answer never came.
    enum Kind { kRequest, kAnswer, kUnanswered };
    struct Row {
        const char* hex;
        Kind kind;
        Framing handler;
        const char* lastCommand;
        const char* columns;
    };
    constexpr Framing L = Framing::k5A5A;
    constexpr Framing S = Framing::kEDED;
    const Row rows[] = {
        // read power-saving mode: 5A5A 0000 5A 8010 02 0000, sum A0
        {"5A5A00005A8010020000A00D0A", kRequest, L, "", "5A5A | 8010 read power-saving mode | -"},
        // the air-rate write in the short framing carries the bare number
        {"EDED0305E2", kRequest, L, "", "EDED | 03 write air rate | -"},
        // IO read for ID 1: 4040 A6 0001 07 8013 0000, sum C1
        {"4040A600010780130000C10D0A", kRequest, L, "", "4040 | 8013 read IO lines | -"},
        // terminal data: no framing, no name
        {"68656C6C6F", kRequest, L, "", "raw | - | -"},
        // a 5A5A text whose checksum is wrong is no request either
        {"5A5A00005A8010020000A10D0A", kRequest, L, "", "raw | - | -"},
        // power-saving mode 03 while 8010 is awaited: sum 0x123
        {"5A5A00005A0010020300230D0A", kAnswer, L, "8010",
         "5A5A | 0010 power-saving mode = air wake-up | accepted"},
        // the same answer while the air-rate write is awaited
        {"5A5A00005A0010020300230D0A", kAnswer, L, "8003",
         "5A5A | 0010 answer to read power-saving mode, awaited 8003 | refused"},
        {"5A5A00005A0010020300240D0A", kAnswer, L, "8010", "5A5A | - | bad checksum"},
        {"5A5A0000", kAnswer, L, "8010", "raw | - | not a frame"},
        // a 5A5A handler does not read the short framing
        {"EDED0405E3", kAnswer, L, "8004", "raw | - | not a frame"},
        {"EDED0405E3", kAnswer, S, "8004", "EDED | 04 air rate = 9600 | accepted"},
        // search answer: family 20, version 12, base 02, taken whatever is awaited
        {"5A5A00005A000003201202450D0A", kAnswer, L, "",
         "5A5A | 0000 search = 86X V1.2 433MHZ | accepted"},
        // a write's acknowledgement carries no data
        {"5A5A00005A000300110D0A", kAnswer, L, "8003",
         "5A5A | 0003 write air rate done | accepted"},
        // serial settings 38400 odd, read "as decimal" where the window reads so
        {"5A5A00005A00020207021B0D0A", kAnswer, L, "8002",
         "5A5A | 0002 serial settings = 38400 odd | accepted"},
        // the short framing's answer tells the rate alone
        {"EDED0204E0", kAnswer, S, "8002",
         "EDED | 02 serial settings = 4800 (no parity given) | accepted"},
        // answer code 18 belongs to no command
        {"5A5A00005A001800260D0A", kAnswer, L, "8003", "5A5A | 0018 unknown answer | ignored"},
        // IO lines of ID 1: low, high
        {"4040A600010700130001420D0A", kAnswer, L, "40408013",
         "4040 | 0013 IO lines of ID 1 = low, high | accepted"},
        // the missing answer keeps the request's framing: read channel, 5A5A 0000 5A 8006 02 0000
        {"5A5A00005A8006020000960D0A", kUnanswered, L, "",
         "5A5A | awaited 8006 read channel | no answer"},
        {"EDED0405E3", kUnanswered, L, "", "EDED | awaited 04 read air rate | no answer"},
    };
    for (const Row& r : rows) {
        const Bytes bytes = HexToBytes(r.hex);
        const FrameTraceRecord record = r.kind == kAnswer
                                            ? TraceAnswer(bytes, r.handler, r.lastCommand)
                                        : r.kind == kUnanswered ? TraceNoAnswer(TraceRequest(bytes))
                                                                : TraceRequest(bytes);
        EXPECT_EQ(Columns(record), r.columns) << r.hex << " awaiting " << r.lastCommand;
    }
}

TEST(FrameTrace, FormatsOneLineOfElevenColumns) {
    FrameTraceRecord record =
        TraceAnswer(HexToBytes("5A5A00005A000300110D0A"), Framing::k5A5A, "8003");
    record.sinceStart = std::chrono::milliseconds(1234);
    // 2026-12-08 14:30:18.045 UTC
    record.wallClock =
        std::chrono::system_clock::time_point(std::chrono::milliseconds(1796740218045));
    record.port = "/dev/odd\tname\n"; // a caller's text must not split the line
    record.lineSetting = LineSettingText({3, 12, 9600, 0x18, 3, 0});
    record.roundTrip = std::chrono::milliseconds(17);
    EXPECT_EQ(FormatFrameTrace(record),
              "1234\t2026-12-08T14:30:18.045Z\tin\t/dev/odd name \t9600 8E1\t5A5A\t"
              "0003 write air rate done\t11\t5A 5A 00 00 5A 00 03 00 11 0D 0A\taccepted\t17 ms");
    EXPECT_EQ(LineSettingText({1, 7, 1200, 0x00, 2, 4}), "1200 7N2");
    EXPECT_EQ(LineSettingText({1, 9, 2400, 0x08, 3, 0}), "2400 8O1");
}

TEST(FrameTrace, CsvQuotesOnlyFieldsThatNeedIt) {
    EXPECT_EQ(CsvLine({"12", "8010 read, then wait", "say \"hi\"", "two\r\nlines", ""}),
              "12,\"8010 read, then wait\",\"say \"\"hi\"\"\",\"two\r\nlines\",");
}
