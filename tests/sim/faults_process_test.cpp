#include "host_port.h"
#include "support/sim_process.h"

#include "core/frame.h"

#include <gtest/gtest.h>

using namespace core;
using namespace std::chrono_literals;

namespace {

Bytes Request(const char* code) {
    return BuildFrame5A5A("0000", code, "0000");
}

} // namespace

// One module with a different fault on each of five commands; the others stay sound.
TEST(SimFaults, EachOptionSpoilsItsCommandOnly) {
    SimProcess sim;
    ASSERT_TRUE(
        sim.Start({"--turnaround", "0", "--bad-checksum", "8004", "--split", "8006:400",
                   "--garbage", "8002:FF00", "--wrong-code", "800D:8005", "--silent", "8010"}))
        << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0]));

    // air rate 05 with its sum 1A spoiled
    const std::string bad = BytesToHex(host.Ask(Request("8004"), 13));
    EXPECT_EQ(Field(bad, 1, 20), "5A5A00005A0004020500");
    EXPECT_FALSE(TrailerChecksumOk(bad));

    // channel 01 in two pieces: after the first the line goes quiet
    ASSERT_TRUE(host.Write(Request("8006")));
    const Bytes first = host.ReadUntilQuiet(200ms);
    const Bytes whole = BuildFrame5A5A("0000", "0006", "0100");
    EXPECT_EQ(first, whole.substr(0, whole.size() / 2));
    EXPECT_EQ(first + host.Read(whole.size() - first.size()), whole);

    // FF 00 in front of the serial settings answer
    EXPECT_EQ(host.Ask(Request("8002"), 15),
              "\xFF" + Bytes(1, '\0') + BuildFrame5A5A("0000", "0002", "0500"));

    // the ID answer carries 0005 with a matching sum
    EXPECT_EQ(host.Ask(Request("800D"), 13), BuildFrame5A5A("0000", "0005", "0001"));

    // the power-saving read gets nothing: the next answer is the first thing back
    ASSERT_TRUE(host.Write(Request("8010")));
    EXPECT_EQ(host.Ask(Request("8014"), 13), BuildFrame5A5A("0000", "0014", "0000"));
    EXPECT_EQ(host.ReadUntilQuiet(100ms), "");
}

TEST(SimFaults, AllAppliesToEveryCommand) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--turnaround", "0", "--garbage", "all:AA"})) << sim.error();
    HostPort host;
    ASSERT_TRUE(host.Open(sim.paths()[0]));
    EXPECT_EQ(host.Ask(Request("8006"), 14), "\xAA" + BuildFrame5A5A("0000", "0006", "0100"));
    EXPECT_EQ(host.Ask(BuildFrame4040("0001", "A6", "8013", "0000"), 14),
              "\xAA" + BuildFrame4040("0001", "A6", "0013", "0000"));
}
