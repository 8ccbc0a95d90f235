#include "host_port.h"
#include "support/sim_process.h"

#include "core/frame.h"
#include "core/module/module_air.h"

#include <gtest/gtest.h>

#include <thread>

using namespace core;
using namespace std::chrono_literals;

namespace {

Bytes Request(const char* code, const char* payload) {
    return BuildFrame5A5A("0000", code, payload);
}

// Sends raw data as one packet: the module takes a packet as ended after a quiet gap.
void SendPacket(HostPort& host, const Bytes& data) {
    ASSERT_TRUE(host.Write(data));
    ASSERT_TRUE(host.Drained());
    host.ReadUntilQuiet(60ms);
}

// Waits until the simulator's log holds `text` `count` times; false after 10 s.
bool WaitForLog(const SimProcess& sim, const std::string& text, int count) {
    for (int tries = 0; tries < 5000; ++tries) {
        const std::string log = sim.ErrorOutput();
        int found = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++found;
        if (found >= count)
            return true;
        std::this_thread::sleep_for(2ms);
    }
    return false;
}

} // namespace

TEST(SimAir, SameChannelHearsOtherChannelDoesNot) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--modules", "3", "--channel", "1,1,2"}, 3))
        << sim.error();
    HostPort a, b, c;
    ASSERT_TRUE(a.Open(sim.paths()[0]));
    ASSERT_TRUE(b.Open(sim.paths()[1]));
    ASSERT_TRUE(c.Open(sim.paths()[2]));
    SendPacket(a, "hello");
    EXPECT_EQ(b.Read(5), "hello");
    // c (channel 2) and the sender itself hear nothing
    EXPECT_EQ(c.ReadUntilQuiet(100ms), "");
    EXPECT_EQ(a.ReadUntilQuiet(1ms), "");

    // b moves to channel 2: now c hears b and a does not
    EXPECT_EQ(b.Ask(Request("8005", "0200"), 13), BuildFrame5A5A("0000", "0005", "0200"));
    SendPacket(b, "moved");
    EXPECT_EQ(c.Read(5), "moved");
    EXPECT_EQ(a.ReadUntilQuiet(100ms), "");
}

TEST(SimAir, TransmitTestNeitherSendsNorHears) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--modules", "2"}, 2)) << sim.error();
    HostPort a, b;
    ASSERT_TRUE(a.Open(sim.paths()[0]));
    ASSERT_TRUE(b.Open(sim.paths()[1]));
    EXPECT_EQ(b.Ask(Request("8007", "0000"), 13), BuildFrame5A5A("0000", "0007", "0000"));
    SendPacket(a, "lost");
    SendPacket(b, "mute");
    EXPECT_EQ(b.Ask(Request("8008", "0000"), 13), BuildFrame5A5A("0000", "0008", "0000"));
    SendPacket(a, "heard");
    // b gets only the packet sent after its test ended; a got nothing from b
    EXPECT_EQ(b.Read(5), "heard");
    EXPECT_EQ(a.ReadUntilQuiet(100ms), "");
}

TEST(SimAir, SeededLossDeliversThePredictedPackets) {
    constexpr int kPackets = 20;
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "2", "--loss", "0.4", "--seed", "42", "--verbose"}, 2))
        << sim.error();
    HostPort a, b;
    ASSERT_TRUE(a.Open(sim.paths()[0]));
    ASSERT_TRUE(b.Open(sim.paths()[1]));
    // One loss draw per packet and receiver, in sending order.
    AirNoise noise(42, 0.4, 0.0);
    std::string expected;
    for (int i = 0; i < kPackets; ++i) {
        const std::string token = "P" + std::to_string(10 + i);
        if (!noise.Lost())
            expected += token;
        SendPacket(a, token);
        // a busy machine may hold the simulator past the quiet gap, and two packets become
        // one: the next goes only once this one is on the air
        ASSERT_TRUE(WaitForLog(sim, " bytes sent", i + 1)) << sim.ErrorOutput();
    }
    ASSERT_GT(expected.size(), 0u);
    ASSERT_LT(expected.size(), 3u * kPackets);
    Bytes got = b.Read(expected.size());
    got += b.ReadUntilQuiet(100ms);
    EXPECT_EQ(got, expected);
}

TEST(SimAir, BitErrorsDamageWhatArrives) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--modules", "2", "--bit-errors", "1"}, 2)) << sim.error();
    HostPort a, b;
    ASSERT_TRUE(a.Open(sim.paths()[0]));
    ASSERT_TRUE(b.Open(sim.paths()[1]));
    SendPacket(a, "AB");
    // every bit flipped
    EXPECT_EQ(b.Read(2), Bytes({static_cast<char>(~'A'), static_cast<char>(~'B')}));
}
