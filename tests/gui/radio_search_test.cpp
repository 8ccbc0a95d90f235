// The radio search walking a real port: the test ticks the search timer itself, so each step
// is tried at once rather than 1.1 s after the last.
#include "core/frame.h"
#include "core/hex.h"
#include "models_test_widgets.h"
#include "operations/radio_search.h"
#include "pty.h"
#include "ser2net_process.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>

namespace {

// Module and dialog at 9600 baud, no parity: step 15.
const char* const kEnglishAt9600None = "[Ver]\nCEO=EN\n[COM]\nRate=4\nVerify=2\n";

// The test ticks the search timer itself; its own ticks would come between the test's.
// 5A5A 0000 5A 8000 02 0000, sum, 0D0A.
constexpr std::size_t kRequestBytes = 13;

void TakeOverSearchTimer(GuiHarness& h) {
    h.Window().Timer(4).setInterval(std::numeric_limits<int>::max());
}

void Tick(GuiHarness& h, int times = 1) {
    for (int i = 0; i < times; ++i)
        h.Window().Search().Timer4Timer();
}

// Bytes of the tool's writes that qxsim has read so far, heard or dropped, from its log.
std::size_t BytesReadBy(const SimProcess& sim) {
    std::istringstream log(sim.ErrorOutput());
    std::size_t bytes = 0;
    for (std::string line; std::getline(log, line);) {
        std::istringstream words(line);
        std::string time, module, index, kind, hex;
        if (words >> time >> module >> index >> kind >> hex && (kind == "drop" || kind == "in"))
            bytes += hex.size() / 2;
    }
    return bytes;
}

// A tick once the module has had each earlier request on the line; otherwise bytes still on
// their way would reach it at the next step's setting.
void TickAfterRead(GuiHarness& h, const SimProcess& sim) {
    const std::size_t written = static_cast<std::size_t>(h.G().Search.attempts) * kRequestBytes;
    ASSERT_TRUE(QTest::qWaitFor([&] { return BytesReadBy(sim) >= written; }, 5000));
    Tick(h);
}

} // namespace

TEST(RadioSearch, ModuleAt600EvenIsFoundFrom1200EvenAtTheNineteenthTry) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--serial-rate", "1", "--parity", "1", "--verbose"})) << sim.error();
    // Chinese texts; the dialog at 1200 baud, even parity: step 4.
    GuiHarness h("[COM]\nRate=1\nVerify=0\n", sim.paths()[0]);
    h.Start();
    TakeOverSearchTimer(h);
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    auto* baud = h.InPortDialog<QComboBox>("ComboBox2");
    auto* parity = h.InPortDialog<QComboBox>("ComboBox3");

    h.Click("SpeedButton20");
    EXPECT_EQ(Utf8(h.Status(1)), "COM1,1200,EVEN(偶校验),8,1,1");
    EXPECT_TRUE(h.Window().Timer(4).isActive());
    // Steps 5..21, then the wrap to step 1 (600 even): the module hears none before it.
    for (int i = 0; i < 18; ++i)
        TickAfterRead(h, sim);
    EXPECT_EQ(Utf8(h.Status(1)), "COM1,600,EVEN(偶校验),8,1,1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.G().ModuleFound; }, 10000)) << sim.ErrorOutput();
    EXPECT_EQ(Utf8(h.Status(2)).rfind("成功检测到电台！", 0), 0u) << Utf8(h.Status(2));
    h.G().SequenceMode = "Read";
    Tick(h);
    EXPECT_FALSE(h.Window().Timer(4).isActive());
    EXPECT_TRUE(h.Window().Timer(2).isActive()) << "the pending action does not move on";
    EXPECT_EQ(h.G().Search.attempts, 19);
    EXPECT_EQ(baud->currentText(), "600");
    EXPECT_EQ(Utf8(parity->currentText()), "EVEN(偶校验)");
    EXPECT_EQ(h.G().Line.PortBaudCode, 6);
    EXPECT_EQ(h.G().Line.BaudRate, 600);
    EXPECT_EQ(h.G().Line.PortParityCode, 0x18);
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(RadioSearch, AModuleAtTheDialogs57600IsFoundAtOnceAndTheReadFollowsThere) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--serial-rate", "8", "--parity", "0", "--verbose"})) << sim.error();
    // 57600 baud, no parity: a setting none of the search's steps holds.
    GuiHarness h("[Ver]\nCEO=EN\n[COM]\nRate=7\nVerify=2\n", sim.paths()[0]);
    h.Start();
    TakeOverSearchTimer(h);
    h.Window().Timer(2).setInterval(std::numeric_limits<int>::max());
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    const QString summary = h.Status(1);

    // Read parameters, "Search before R/W" on: the first request goes out as the port stands.
    h.Click("SpeedButton3");
    EXPECT_EQ(h.Status(1), summary);
    EXPECT_EQ(h.G().Search.attempts, 0);
    EXPECT_EQ(h.G().Line.BaudRate, 57600);
    // the search answer, and the serial-number read it sends
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.G().ModuleModelIndex >= 0; }, 5000))
        << sim.ErrorOutput();
    Tick(h);
    EXPECT_FALSE(h.Window().Timer(4).isActive());
    ASSERT_TRUE(h.Window().Timer(2).isActive()) << "the pending read does not move on";
    h.Window().Timer2Timer();
    ASSERT_TRUE(h.WaitStatus(2, "Read All Parameters OK!")) << Utf8(h.Status(2));
    EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox2")->currentText(), "57600");
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(RadioSearch, NoModuleAt57600TriesThePortsOwnSettingThenAllTwentyOne) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h("[Ver]\nCEO=EN\n[COM]\nRate=7\nVerify=2\n", pty.SlavePath());
    h.Start();
    TakeOverSearchTimer(h);
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";

    h.Click("SpeedButton20");
    EXPECT_EQ(h.G().Search.attempts, 0);
    EXPECT_EQ(Utf8(h.Progress()), "Search try 0 of 21: the port's own setting [0/21]");
    // steps 1..21 after it, the last 38400 none
    Tick(h, 21);
    EXPECT_EQ(Utf8(h.Status(1)), "COM1,38400,NONE,8,1,1");
    EXPECT_EQ(Utf8(h.Progress()), "Search try 21 of 21: 38400 8N1 [21/21]");
    EXPECT_EQ(pty.Read(22 * kRequestBytes).size(), 22 * kRequestBytes);
    EXPECT_TRUE(h.Boxes().empty());
    Tick(h);
    EXPECT_EQ(Utf8(h.Status(2)), "Search Fail！");
    EXPECT_EQ(h.Progress(), "");
    EXPECT_FALSE(h.Window().Timer(4).isActive());
}

TEST(RadioSearch, NoModuleFailsAfterTwentyOneTriesOnePerSetting) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h(kEnglishAt9600None, pty.SlavePath());
    h.Start();
    TakeOverSearchTimer(h);
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";

    h.Click("SpeedButton20");
    EXPECT_EQ(Utf8(h.Status(2)), "Searching......");
    EXPECT_EQ(Utf8(h.Status(1)), "COM1,9600,NONE,8,1,1");
    EXPECT_EQ(Utf8(h.Progress()), "Search try 1 of 21: 9600 8N1 [1/21]");
    // 16..21, 1..14: the last try is the step below the start.
    Tick(h, 20);
    EXPECT_EQ(Utf8(h.Status(1)), "COM1,9600,ODD,8,1,1");
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_TRUE(h.Window().Timer(4).isActive());
    // One search request per try, none recorded as the command awaited.
    const std::string request = core::BytesToHex(core::BuildFrame5A5A("0000", "8000", "0000"));
    std::string expected;
    for (int i = 0; i < 21; ++i)
        expected += request;
    EXPECT_EQ(core::BytesToHex(pty.Read(21 * kRequestBytes)), expected);
    EXPECT_EQ(h.G().LastCommand, "");

    Tick(h);
    EXPECT_EQ(Utf8(h.Status(2)), "Search Fail！");
    EXPECT_EQ(h.Boxes(),
              std::vector<std::string>{"Not Searched Radio，Please check Power or Data line！"});
    EXPECT_FALSE(h.Window().Timer(4).isActive());
}

TEST(RadioSearch, StopKeepsTheLastSettingAndASearchDuringAPairTestRestartsThere) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h(kEnglishAt9600None, pty.SlavePath());
    h.Start();
    TakeOverSearchTimer(h);
    auto* baud = h.InPortDialog<QComboBox>("ComboBox2");
    auto* parity = h.InPortDialog<QComboBox>("ComboBox3");

    h.Click("SpeedButton20");
    Tick(h, 2); // steps 16 and 17: 19200 odd
    EXPECT_EQ(Utf8(h.Progress()), "Search try 3 of 21: 19200 8O1 [3/21]");
    h.Click("SpeedButton30");
    EXPECT_EQ(Utf8(h.Status(2)), "Search stoped!");
    EXPECT_EQ(h.Progress(), "");
    EXPECT_FALSE(h.Window().Timer(4).isActive());
    Tick(h); // a tick already queued when the timer stopped
    EXPECT_EQ(Utf8(h.Status(2)), "Search stoped!");
    EXPECT_EQ(baud->currentText(), "19200");
    EXPECT_EQ(parity->currentText(), "ODD");
    EXPECT_EQ(h.G().Line.PortBaudCode, 13);
    EXPECT_EQ(h.G().Line.PortParityCode, 0x08);
    EXPECT_EQ(pty.Read(3 * kRequestBytes).size(), 3 * kRequestBytes);
    EXPECT_TRUE(pty.Read(1, 100).empty()) << "the stopped search wrote again";

    // The search is not refused during a pair test: it takes the link back, drops the pending
    // action of an earlier search and begins at the setting the stop left.
    h.G().AppState = StatePairTimed;
    h.G().SequenceMode = "Read";
    // the menu twin starts the same search
    h.Window().Form().N14->trigger();
    EXPECT_EQ(h.G().AppState, StateCommand);
    EXPECT_EQ(h.G().SequenceMode, "");
    EXPECT_EQ(Utf8(h.Status(1)), "COM1,19200,ODD,8,1,1");
    EXPECT_EQ(h.G().Search.attempts, 1);
    EXPECT_TRUE(h.Window().Timer(4).isActive());
    EXPECT_TRUE(h.Boxes().empty());
}

// A module behind ser2net: found through RFC 2217 at the dialog's setting; a raw socket keeps
// the server's line, so the search says at once that it cannot walk it and tries nothing.
TEST(RadioSearch, ANetworkPortIsSearchedThroughRfc2217AndARawSocketIsNotWalked) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--serial-rate", "5", "--turnaround", "5"})) << sim.error();
    Ser2netProcess server;
    ASSERT_TRUE(server.Start(sim.paths()[0])) << server.error();
    {
        GuiHarness h(kEnglishAt9600None, server.Rfc2217Url());
        h.Start();
        ASSERT_TRUE(h.Boxes().empty()) << h.Boxes().front();
        h.Click("SpeedButton20");
        ASSERT_TRUE(QTest::qWaitFor([&] { return h.G().ModuleFound; }, 10000));
        EXPECT_TRUE(h.Boxes().empty());
    }
    // a new server: the last one lets the device go only a moment after its session
    server.Stop();
    ASSERT_TRUE(server.Start(sim.paths()[0])) << server.error();
    GuiHarness h(kEnglishAt9600None, server.SocketUrl());
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << h.Boxes().front();
    h.Click("SpeedButton20");
    ASSERT_EQ(h.Boxes().size(), 1u);
    EXPECT_EQ(h.Boxes()[0], "The search cannot walk a raw socket (socket://): its line is the "
                            "server's. Choose the server's baud rate and parity, or serve the "
                            "port as rfc2217://!");
    EXPECT_FALSE(h.Window().Timer(4).isActive());
    EXPECT_EQ(h.G().Search.attempts, 0);
}
