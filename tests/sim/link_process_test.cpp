#include "host_port.h"
#include "support/sim_process.h"

#include "core/frame.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace core;
using namespace std::chrono_literals;
using Parity = HostPort::Parity;

namespace {

Bytes Request(const char* code, const char* payload) {
    return BuildFrame5A5A("0000", code, payload);
}

// The 5A5A answer the module gives, as the brain builds it.
Bytes Answer(const char* code, const char* payload) {
    return BuildFrame5A5A("0000", code, payload);
}

} // namespace

TEST(SimLink, HearsOnlyAtItsOwnRate) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0], 19200));
    // At 19200 the channel read is garbage to a 9600 module.
    ASSERT_TRUE(host.Write(Request("8006", "0000")));
    ASSERT_TRUE(host.Drained());
    // The module checks the line as it reads; give it that moment before the line changes.
    EXPECT_EQ(host.ReadUntilQuiet(50ms), "");
    ASSERT_TRUE(host.SetLine(9600, Parity::kNone));
    // The first thing back is the search answer: the channel read was never answered.
    EXPECT_EQ(host.Ask(Request("8000", "0000"), 14), Answer("0000", "201202"));
    EXPECT_EQ(host.ReadUntilQuiet(100ms), "");
}

TEST(SimLink, OddParityIsTheOneParityTold) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--parity", "2"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0], 9600, Parity::kNone));
    ASSERT_TRUE(host.Write(Request("8006", "0000")));
    ASSERT_TRUE(host.Drained());
    // The module checks the line as it reads; give it that moment before the line changes.
    EXPECT_EQ(host.ReadUntilQuiet(50ms), "");
    ASSERT_TRUE(host.SetLine(9600, Parity::kOdd));
    EXPECT_EQ(host.Ask(Request("8002", "0000"), 13), Answer("0002", "0502"));
}

TEST(SimLink, MovesToNewSerialSettingsAfterItsAnswer) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0]));
    // 19200 odd: the answer still comes at 9600 none
    EXPECT_EQ(host.Ask(Request("8001", "0602"), 13), Answer("0001", "0602"));
    // the old settings are no longer heard
    ASSERT_TRUE(host.Write(Request("8006", "0000")));
    ASSERT_TRUE(host.Drained());
    // The module checks the line as it reads; give it that moment before the line changes.
    EXPECT_EQ(host.ReadUntilQuiet(50ms), "");
    ASSERT_TRUE(host.SetLine(19200, Parity::kOdd));
    EXPECT_EQ(host.Ask(Request("8002", "0000"), 13), Answer("0002", "0602"));
    // write all: channel 2, air 9600, back to 9600 none; answered at 19200 odd
    EXPECT_EQ(host.Ask(Request("800E", "02050500"), 15), Answer("000E", "02050500"));
    ASSERT_TRUE(host.SetLine(9600, Parity::kNone));
    EXPECT_EQ(host.Ask(Request("8015", "0000"), 15), Answer("0015", "02050500"));
}

TEST(SimLink, ServesAgainWhenTheHostReopensExclusively) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0"})) << sim.error();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        HostPort host;
        ASSERT_TRUE(host.Open(sim.paths()[0]));
        EXPECT_EQ(host.Ask(Request("8006", "0000"), 13), Answer("0006", "0100"));
        host.Close();
    }
}

TEST(SimLink, EveryWriteIsReadBackOverTheDevice) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0]));
    struct Row {
        const char* write;
        const char* payload;
        const char* read;
    };
    // The serial-settings writes move the line and are driven above.
    const Row rows[] = {
        {"8003", "0600", "8004"},       // air rate 19200
        {"8005", "0900", "8006"},       // channel 9
        {"8009", "0100", "8014"},       // compatible protocol
        {"800A", "410C050102", "800B"}, // QX881, 2012-05, 258
        {"800C", "012C", "800D"},       // ID 300
        {"800F", "0300", "8010"},       // air wake-up
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.write);
        const std::string payload = row.payload;
        const std::size_t size = 11 + payload.size() / 2;
        const std::string write_answer = std::string("00") + (row.write + 2);
        const std::string read_answer = std::string("00") + (row.read + 2);
        EXPECT_EQ(host.Ask(Request(row.write, row.payload), size),
                  Answer(write_answer.c_str(), row.payload));
        EXPECT_EQ(host.Ask(Request(row.read, "0000"), size),
                  Answer(read_answer.c_str(), row.payload));
    }
    // The writes without a read answer with their value.
    for (const Row& row :
         {Row{"8013", "0900", ""}, Row{"8016", "01F407D0", ""}, Row{"8017", "0100", ""},
          Row{"8019", "2A00", ""}, Row{"8007", "0000", ""}, Row{"8008", "0000", ""},
          Row{"8011", "0000", ""}}) {
        SCOPED_TRACE(row.write);
        const std::string payload = row.payload;
        const std::string code = std::string("00") + (row.write + 2);
        EXPECT_EQ(host.Ask(Request(row.write, row.payload), 11 + payload.size() / 2),
                  Answer(code.c_str(), row.payload));
    }
}

TEST(SimLink, ShortFramingUnderEded) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--eded"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0]));
    // air rate 9600: ED ED 03 05 E2 answered by the same five bytes
    EXPECT_EQ(host.Ask(BuildFrameEDED("03", "05"), 5), BuildFrameEDED("03", "05"));
    // channel 4, then read back: ED ED 06 04
    EXPECT_EQ(host.Ask(BuildFrameEDED("05", "04"), 5), BuildFrameEDED("05", "04"));
    EXPECT_EQ(host.Ask(BuildFrameEDED("06", "00"), 5), BuildFrameEDED("06", "04"));
    // the search keeps the 5A5A answer; commands without a short form stay 5A5A
    EXPECT_EQ(host.Ask(BuildFrameEDED("00", "00"), 14), Answer("0000", "201202"));
    EXPECT_EQ(host.Ask(Request("8015", "0000"), 15), Answer("0015", "04050500"));
}

TEST(SimLink, ShortFramingIsDataWithoutEded) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--modules", "2"}, 2)) << sim.error();
    HostPort a, b;
    ASSERT_TRUE(a.Open(sim.paths()[0]));
    ASSERT_TRUE(b.Open(sim.paths()[1]));
    ASSERT_TRUE(a.Write(BuildFrameEDED("03", "05")));
    EXPECT_EQ(b.Read(5), BuildFrameEDED("03", "05"));
    EXPECT_EQ(a.ReadUntilQuiet(100ms), "");
}

TEST(SimLink, IoCommandsOnlyForItsId) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--id", "300", "--input1", "1"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0]));
    ASSERT_TRUE(host.Write(BuildFrame4040("0001", "A6", "8013", "0000")));
    ASSERT_TRUE(host.Drained());
    // A frame for another ID is data for the air: nothing comes back, and the burst of data
    // ends after the line has been quiet for a moment.
    EXPECT_EQ(host.ReadUntilQuiet(60ms), "");
    // ID 300 is 012C
    EXPECT_EQ(host.Ask(BuildFrame4040("012C", "A6", "8013", "0000"), 13),
              BuildFrame4040("012C", "A6", "0013", "0100"));
    EXPECT_EQ(host.Ask(BuildFrame4040("012C", "A6", "8012", "0201"), 13),
              BuildFrame4040("012C", "A6", "0012", "0201"));
}

// A host that writes requests without pause and never reads: the module takes them at its line
// rate, its output buffer drops the oldest answers and says so in a line a second at most, and
// once the host stops and listens a new request is answered.
TEST(SimLink, AnswersAgainAfterAFloodItNeverRead) {
    SimProcess sim;
    // 57600, so that what the pty still holds after the flood is read out soon
    ASSERT_TRUE(sim.Start({"--serial-rate", "8"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0], 57600));
    // Read-all answers are longer than their requests, so the answers outgrow the line.
    Bytes flood;
    for (int i = 0; i < 100; ++i)
        flood += Request("8015", "0000");
    std::size_t at = 0;
    const auto end = std::chrono::steady_clock::now() + 1s;
    while (std::chrono::steady_clock::now() < end) {
        pollfd writable{host.fd(), POLLOUT, 0};
        if (poll(&writable, 1, 10) <= 0)
            continue;
        const ssize_t n = write(host.fd(), flood.data() + at, flood.size() - at);
        if (n > 0)
            at = (at + static_cast<std::size_t>(n)) % flood.size();
    }
    // The host drops what it has neither sent nor read, and listens until the line is quiet.
    ASSERT_EQ(tcflush(host.fd(), TCIOFLUSH), 0);
    host.ReadUntilQuiet(300ms, 10s);
    EXPECT_EQ(host.Ask(Request("8000", "0000"), 14), Answer("0000", "201202"));
    // what the host's driver could not have held, and what the module could not send
    const std::string errors = sim.ErrorOutput();
    for (const char* kind : {"faster than the line carries", "output buffer full"}) {
        std::size_t lines = 0;
        for (std::size_t p = errors.find(kind); p != std::string::npos;
             p = errors.find(kind, p + 1))
            ++lines;
        EXPECT_LE(lines, 4u) << errors;
    }
}

// A host that writes search requests at 9600 baud for 5 s without reading, then finishes its
// last frame and asks for the channel. A real line holds only what the host's driver buffers,
// so the module hears the question within seconds, not after the tens of kilobytes the
// pseudo-terminal took meanwhile.
TEST(SimLink, AnswersWithinSecondsAfterAFlood) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0], 9600));
    const Bytes search = Request("8000", "0000");
    Bytes flood;
    for (int i = 0; i < 64; ++i)
        flood += search;
    std::size_t at = 0;
    const auto end = std::chrono::steady_clock::now() + 5s;
    // after the 5 s only the frame begun is finished, so the question starts a frame
    while (std::chrono::steady_clock::now() < end || at % search.size() != 0) {
        pollfd writable{host.fd(), POLLOUT, 0};
        if (poll(&writable, 1, 10) <= 0)
            continue;
        const std::size_t stop = std::chrono::steady_clock::now() < end
                                     ? flood.size()
                                     : (at / search.size() + 1) * search.size();
        const ssize_t n = write(host.fd(), flood.data() + at, stop - at);
        if (n > 0)
            at = (at + static_cast<std::size_t>(n)) % flood.size();
    }
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(host.Write(Request("8006", "0000")));
    // the answers to the flood that still wait come first
    const Bytes answer = Answer("0006", "0100");
    Bytes got;
    while (got.find(answer) == std::string::npos && std::chrono::steady_clock::now() - asked < 30s)
        got += host.ReadUntilQuiet(50ms, 100ms);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - asked);
    EXPECT_NE(got.find(answer), std::string::npos);
    // 4 KiB at 9600 baud is 4.3 s; the rest is margin for a loaded machine
    EXPECT_LT(took, 12s);
    std::printf("channel answered %lld ms after the flood\n", static_cast<long long>(took.count()));
}
