#include "core/request.h"

#include <gtest/gtest.h>

using namespace core;

TEST(Request, BytesAndPendingCommandInEachFraming) {
    struct Row {
        std::uint8_t code;
        bool io;
        Framing framing;
        const char* payload;
        const char* id;
        const char* frame;
        const char* pending;
    };
    const Row rows[] = {
        // air-rate write 9600: 5A5A 0000 5A 8003 02 0500, sum 0x198
        {cmd::kWriteAirRate, false, Framing::k5A5A, "0500", "", "5A5A00005A8003020500980D0A",
         "8003"},
        // the same in the short framing, still accepted as 8003
        {cmd::kWriteAirRate, false, Framing::kEDED, "05", "", "EDED0305E2", "8003"},
        // power-saving read, a command without a short form
        {cmd::kReadPowerSave, false, Framing::k5A5A, "0000", "", "5A5A00005A8010020000A00D0A",
         "8010"},
        // IO read for ID 1: attribute A6, length 2 + 5 = 07
        {cmd::kIoRead, true, Framing::k4040, "0000", "0001", "4040A600010780130000C10D0A",
         "40408013"},
        // the serial-number read after a search answer: sum 0x19B
        {cmd::kReadSerialNumber, false, Framing::k5A5A, "0000", "", "5A5A00005A800B0200009B0D0A",
         "800B"},
    };
    for (const Row& r : rows) {
        const Request request =
            BuildRequest(*FindCommand(r.code, r.io), r.framing, r.payload, r.id);
        EXPECT_EQ(BytesToHex(request.bytes), r.frame);
        EXPECT_EQ(request.pendingCommand, r.pending) << r.frame;
    }
}
