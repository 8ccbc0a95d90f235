#include "core/request.h"
#include "fake_sio.h"
#include "serial/link.h"
#include "support/recording_dialogs.h"

#include <gtest/gtest.h>

#include <vector>

using serial::Direction;
using serial::Traffic;

namespace {

struct Seen {
    std::chrono::steady_clock::time_point at;
    Direction direction;
    int port;
    std::string bytes;
    std::string pending;
    bool operator==(const Seen& o) const {
        return direction == o.direction && port == o.port && bytes == o.bytes &&
               pending == o.pending;
    }
};

// A Link on a fake library with one observer that keeps what it saw.
struct Rig {
    FakeSio sio;
    RecordingDialogs dialogs;
    std::string variant;
    TCommFun comm{sio, dialogs, variant};
    serial::Link link{comm};
    std::vector<Seen> seen;

    Rig() {
        link.AddObserver([this](const Traffic& t) {
            seen.push_back(
                {t.at, t.direction, t.port, std::string(t.bytes), std::string(t.pendingCommand)});
        });
    }
};

const core::Request kAirRateRead =
    core::BuildRequest(core::CommandAt(core::cmd::kReadAirRate), core::Framing::k5A5A, "0000");

} // namespace

TEST(Link, ObserversSeeSentFramesAndReceivedChunksInOrder) {
    Rig rig;
    EXPECT_TRUE(rig.link.Send(3, kAirRateRead));
    rig.sio.incoming = std::string("\x5A\x00\x0D", 3);
    EXPECT_EQ(rig.link.Receive(3), std::string("\x5A\x00\x0D", 3));
    EXPECT_EQ(rig.link.Receive(3), ""); // nothing waiting: nothing observed
    EXPECT_TRUE(rig.link.SendRaw(3, std::string("a\0b", 3)));

    const std::vector<Seen> expected{
        {{}, Direction::kSent, 3, kAirRateRead.bytes, "8004"},
        {{}, Direction::kReceived, 3, std::string("\x5A\x00\x0D", 3), ""},
        {{}, Direction::kSent, 3, std::string("a\0b", 3), ""},
    };
    EXPECT_EQ(rig.seen, expected);
    for (std::size_t i = 1; i < rig.seen.size(); ++i)
        EXPECT_LE(rig.seen[i - 1].at, rig.seen[i].at);
    EXPECT_EQ(rig.sio.writes, 2);
}

TEST(Link, ARefusedWriteFailsWithItsBoxAndIsNotSeenAsSent) {
    Rig rig;
    rig.sio.result = serial::kSioBadParam;
    EXPECT_FALSE(rig.link.Send(1, kAirRateRead));
    rig.sio.result = serial::kSioAbortWrite;
    EXPECT_FALSE(rig.link.SendRaw(1, "x"));
    EXPECT_TRUE(rig.seen.empty());
    EXPECT_EQ(rig.dialogs.shown,
              (std::vector<Shown>{{Shown::Error, "The parameters error when sending data!"},
                                  {Shown::Warning, "The parameters error when sending data!"}}));
}

TEST(Link, ObserversAddedOrRemovedDuringANotificationTakeEffectFromTheNextFrame) {
    Rig rig;
    int once = 0, later = 0;
    serial::Link::ObserverId self = 0;
    self = rig.link.AddObserver([&](const Traffic&) {
        ++once;
        rig.link.RemoveObserver(self);
        rig.link.AddObserver([&](const Traffic&) { ++later; });
    });
    // an observer that sends: its own frame is observed inside the first notification
    rig.link.AddObserver([&, sent = false](const Traffic&) mutable {
        if (!std::exchange(sent, true))
            rig.link.SendRaw(1, "echo");
    });
    rig.link.SendRaw(1, "first");
    rig.link.SendRaw(1, "second");
    EXPECT_EQ(once, 1);
    EXPECT_EQ(later, 2); // "echo" and "second"
    ASSERT_EQ(rig.seen.size(), 3u);
    EXPECT_EQ(rig.seen[0].bytes, "first");
    EXPECT_EQ(rig.seen[1].bytes, "echo");
    EXPECT_EQ(rig.seen[2].bytes, "second");
}
