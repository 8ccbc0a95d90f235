#include "core/frame.h"
#include "core/module/request_scanner.h"

#include <gtest/gtest.h>

using namespace core;

TEST(RequestScanner, TellsRequestsFromRawData) {
    const Bytes write_air = BuildFrame5A5A("0000", "8003", "0500");     // 13 bytes
    const Bytes empty_payload = BuildFrame5A5A("0000", "8000", "");     // 11 bytes
    const Bytes io_read = BuildFrame4040("0001", "A6", "8013", "0000"); // length 07 + 6
    const Bytes eded = BuildFrameEDED("03", "05");                      // ED ED 03 05 E2
    Bytes bad_sum = write_air;
    bad_sum[10] = 0x00;
    Bytes bad_trailer = write_air;
    bad_trailer[12] = 0x0D;
    struct Row {
        const char* what;
        Bytes bytes;
        bool eded;
        ScanStatus status;
        std::size_t length;
        Framing framing;
    };
    const Row rows[] = {
        {"nothing yet", "", false, ScanStatus::kNeedMore, 0, Framing::k5A5A},
        {"half a header", write_air.substr(0, 1), false, ScanStatus::kNeedMore, 0, Framing::k5A5A},
        {"no length yet", write_air.substr(0, 7), false, ScanStatus::kNeedMore, 0, Framing::k5A5A},
        {"no trailer yet", write_air.substr(0, 12), false, ScanStatus::kNeedMore, 0,
         Framing::k5A5A},
        {"5A5A request", write_air, false, ScanStatus::kRequest, 13, Framing::k5A5A},
        {"request and more", write_air + "xy", false, ScanStatus::kRequest, 13, Framing::k5A5A},
        {"empty payload", empty_payload, false, ScanStatus::kRequest, 11, Framing::k5A5A},
        {"4040 request", io_read, false, ScanStatus::kRequest, 13, Framing::k4040},
        {"EDED request", eded, true, ScanStatus::kRequest, 5, Framing::kEDED},
        {"EDED when not spoken", eded, false, ScanStatus::kNotRequest, 0, Framing::k5A5A},
        {"wrong checksum", bad_sum, false, ScanStatus::kNotRequest, 0, Framing::k5A5A},
        {"wrong trailer", bad_trailer, false, ScanStatus::kNotRequest, 0, Framing::k5A5A},
        // "ZZZZZZZZZZZZ": header and marker fit, but 5A is no request code
        {"text of Z", std::string(12, 'Z'), false, ScanStatus::kNotRequest, 0, Framing::k5A5A},
        // "@@@@@@@@": 4040 with a length of 0x40 but code byte 40
        {"text of @", std::string(8, '@'), false, ScanStatus::kNotRequest, 0, Framing::k5A5A},
        {"Z then other", "Zq", false, ScanStatus::kNotRequest, 0, Framing::k5A5A},
        {"plain text", "hello", false, ScanStatus::kNotRequest, 0, Framing::k5A5A},
        // 4040 length below 5 cannot hold its code
        {"short 4040", io_read.substr(0, 5) + '\x03' + io_read.substr(6), false,
         ScanStatus::kNotRequest, 0, Framing::k5A5A},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const ScanResult result = ScanRequest(row.bytes, row.eded);
        EXPECT_EQ(result.status, row.status);
        if (row.status == ScanStatus::kRequest) {
            EXPECT_EQ(result.length, row.length);
            EXPECT_EQ(result.framing, row.framing);
        }
    }
}
