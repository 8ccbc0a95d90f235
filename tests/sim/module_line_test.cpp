#include "sim/module_link.h"

#include "core/frame.h"

#include <gtest/gtest.h>

using namespace sim;
using namespace std::chrono_literals;

namespace {

// Any fixed point will do: nothing here reads the clock.
const TimePoint kStart = TimePoint{} + 1h;

Chunk Output(char fill, std::size_t size, bool switch_after = false) {
    Chunk chunk{core::Bytes(size, fill), kStart};
    chunk.switch_after = switch_after;
    return chunk;
}

std::string Fills(const ModuleLink& link) {
    std::string fills;
    for (const Chunk& chunk : link.output)
        fills += chunk.data.empty() ? '-' : chunk.data[0];
    return fills;
}

} // namespace

TEST(SimLine, HostBytesAreTakenAtTheLineRate) {
    struct Row {
        int parity;
        std::size_t in_20ms; // 9600 baud: 10 or 11 bits a byte
    };
    for (const Row row : {Row{0, 19}, Row{2, 17}}) {
        SCOPED_TRACE(row.parity);
        ModuleLink link;
        link.line_parity = row.parity;
        // after a pause the FIFO's worth comes at once, so a request is not held back
        EXPECT_EQ(InputAllowance(link, kStart), 64u);
        TakeInputAllowance(link, 64, kStart);
        EXPECT_EQ(InputAllowance(link, kStart), 0u);
        EXPECT_EQ(InputAllowance(link, kStart + 20ms), row.in_20ms);
        // a throttled link is read again once bytes have come, not before
        const TimePoint next = NextInputRead(link);
        EXPECT_GT(next, kStart);
        EXPECT_GT(InputAllowance(link, next), 0u);
        // a long pause still gives no more than the FIFO holds
        EXPECT_EQ(InputAllowance(link, kStart + 1h), 64u);
    }
}

// A host that writes more than its driver could hold: the oldest bytes go, whole requests at a
// time, so what is left starts with a request the module hears entire.
TEST(SimLine, HostBytesBeyondTheDriverBufferAreDropped) {
    const core::Bytes request = core::BuildFrame5A5A("0000", "8000", "0000");
    ModuleLink link;
    link.input = request.substr(0, 4); // the UART is in the middle of a request
    core::Bytes flood = request.substr(4);
    for (int i = 0; i < 1000; ++i)
        flood += request;
    QueueInput(link, flood, false, kStart);
    EXPECT_EQ(link.input, "");
    EXPECT_LE(link.waiting.size(), kHostBuffer);
    EXPECT_GT(link.waiting.size(), kHostBuffer - request.size());
    EXPECT_EQ(link.waiting.size() % request.size(), 0u);
    EXPECT_EQ(link.waiting.substr(0, request.size()), request);
    EXPECT_EQ(link.input_drops.Take(kStart), 1001 * request.size() - link.waiting.size());
    // the newest bytes always get in, and what the UART takes comes from the front: the FIFO's
    // worth after a pause
    QueueInput(link, core::Bytes(100, 'x'), false, kStart);
    EXPECT_TRUE(link.waiting.starts_with(request));
    EXPECT_TRUE(link.waiting.ends_with(request + core::Bytes(100, 'x')));
    const core::Bytes front = link.waiting.substr(0, 64);
    EXPECT_EQ(ReceiveInput(link, kStart), front);
    EXPECT_EQ(ReceiveInput(link, kStart), "");
    // raw data goes byte by byte
    QueueInput(link, core::Bytes(5000, 'y'), false, kStart);
    EXPECT_EQ(link.waiting, core::Bytes(kHostBuffer, 'y'));
}

TEST(SimLine, OldestWaitingOutputMakesRoom) {
    ModuleLink link;
    QueueOutput(link, Output('a', 300), kStart);
    link.chunk_started = true; // on the line: it stays
    QueueOutput(link, Output('b', 200, true), kStart);
    QueueOutput(link, Output('c', 200), kStart);
    QueueOutput(link, Output('d', 100), kStart);
    EXPECT_EQ(Fills(link), "abcd");
    EXPECT_EQ(link.output_drops.Due(), std::nullopt);
    QueueOutput(link, Output('e', 300), kStart);
    EXPECT_EQ(Fills(link), "ade");
    // the serial settings still move after the answer that asked for it is dropped
    EXPECT_TRUE(link.output[1].switch_after);
    // one larger than the whole buffer still gets in
    QueueOutput(link, Output('f', 600), kStart);
    EXPECT_EQ(Fills(link), "af");
    // empty chunks carrying a switch hold a place too: f goes, then the oldest of them
    for (int i = 0; i < 600; ++i)
        QueueOutput(link, Output('x', 0, true), kStart);
    EXPECT_EQ(link.output.size(), 1u + 512u);
    // the bytes of b and c, d and e, f
    EXPECT_EQ(link.output_drops.Take(kStart), 200u + 200u + 100u + 300u + 600u);
}

TEST(SimLine, DropsAreToldAtMostOnceASecond) {
    DropReport report;
    EXPECT_EQ(report.Take(kStart), std::nullopt);
    report.Add(3, kStart);
    EXPECT_EQ(report.Take(kStart), 3u);
    report.Add(2, kStart + 100ms);
    EXPECT_EQ(report.Take(kStart + 999ms), std::nullopt);
    EXPECT_EQ(report.Due(), kStart + 1s);
    report.Add(1, kStart + 999ms);
    EXPECT_EQ(report.Take(kStart + 1s), 3u);
    EXPECT_EQ(report.Due(), std::nullopt);
    // after a quiet spell the next drop is told at once
    report.Add(4, kStart + 5s);
    EXPECT_EQ(report.Take(kStart + 5s), 4u);
}
