// The blocking module exchange against a pseudo-terminal: the test plays the module on the
// master, byte for byte, including what a real line does that qxsim does not.
#include "core/frame.h"
#include "serial/module_exchange.h"
#include "support/pty.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace serial;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

const core::Command& Command(std::uint8_t code) {
    return core::CommandAt(code);
}

// The 5A5A answer with `code` ("0000") and `payload`, as a module sends it.
core::Bytes Answer(std::string_view code, std::string_view payload) {
    return core::BuildFrame5A5A("0000", code, payload);
}

class Exchange : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        port.Open();
        port.SetLine(9600, 0);
    }
    // Sends `code`'s read and, once the request is on the master, puts `reply` on the line.
    std::optional<core::AnswerResult> Ask(std::uint8_t code, const core::Bytes& reply,
                                          std::chrono::milliseconds wait = 300ms) {
        std::thread module([&] {
            pty.Read(13, 2000);
            pty.Write(reply);
        });
        auto result = port.Exchange(Command(code), "0000", wait);
        module.join();
        return result;
    }

    PtyPair pty;
    std::vector<std::string> trace;
    ModulePort port{"COM1", pty.SlavePath(),
                    [this](const std::string& line) { trace.push_back(line); }, false};
};

} // namespace

// An answer and what follows it in the same read: the answer is taken, the rest is left for
// the next request's drain. An answer to another request that comes first is passed over for
// the one awaited; alone, it is the verdict once the wait is over.
TEST_F(Exchange, TheAnswerIsTakenWhateverComesWithIt) {
    const auto search = Ask(core::cmd::kSearch, Answer("0000", "201202") + "\xFF");
    ASSERT_TRUE(search);
    EXPECT_EQ(search->event, core::AnswerEvent(core::answer::SearchAnswer{0x20, 0x12, 0x02}));

    const auto serial =
        Ask(core::cmd::kReadSerial, Answer("000B", "211A0C002A") + Answer("0002", "0501") + "\x5A");
    ASSERT_TRUE(serial);
    EXPECT_EQ(serial->event, core::AnswerEvent(core::answer::SerialSettingsRead{5, 1}));
    // the late search answer while the serial settings are awaited is no answer to them either
    const auto again =
        Ask(core::cmd::kReadSerial, Answer("0000", "201202") + Answer("0002", "0502"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->event, core::AnswerEvent(core::answer::SerialSettingsRead{5, 2}));

    const auto start = Clock::now();
    const auto wrong = Ask(core::cmd::kReadChannel, Answer("0004", "0500"));
    ASSERT_TRUE(wrong);
    EXPECT_EQ(wrong->event, core::AnswerEvent(core::answer::Refused{core::cmd::kReadAirRate}));
    EXPECT_GE(Clock::now() - start, 300ms);

    std::string lines;
    for (const std::string& line : trace)
        lines += line + "\n";
    // the byte after the serial answer was drained before the next request, as received bytes
    EXPECT_NE(lines.find("\tin\tCOM1\t9600 8N1\traw\t-\t1\t5A\t"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\t000B answer to read serial number, awaited 8002\t16\t"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("\t0000 search = 86X V1.2 433MHZ\t14\t5A 5A 00 00 5A 00 00 03 20 12 02 "
                         "45 0D 0A\trefused\t"),
              std::string::npos)
        << lines;
    EXPECT_EQ(std::count(trace.begin(), trace.end(), trace.back()), 1) << lines;
}

// A line that sends a short header and then zeros without end: the answer's beginning is
// bounded, every wait ends at its deadline, and the exchange returns what it got.
TEST_F(Exchange, ALineThatNeverStopsTalkingEndsAtTheDeadline) {
    std::atomic<bool> talking = true;
    std::thread line([&] {
        pty.Read(13, 2000);
        pty.Write("\xED\xED");
        const std::string zeros(64, '\0');
        for (const auto end = Clock::now() + 8s; talking && Clock::now() < end;) {
            ::write(pty.MasterFd(), zeros.data(), zeros.size());
            std::this_thread::sleep_for(1ms);
        }
    });
    const auto start = Clock::now();
    const auto result = port.Exchange(Command(core::cmd::kSearch), "0000", 300ms);
    const auto took = Clock::now() - start;
    talking = false;
    line.join();
    ASSERT_TRUE(result);
    EXPECT_TRUE(std::holds_alternative<core::answer::NotAFrame>(result->event));
    EXPECT_LT(took, 1s);
}

// A write the device never takes (its output is full and nobody reads the far end) names why.
TEST_F(Exchange, AWriteTheDeviceNeverTakesSaysWhy) {
    const int fd = ::open(pty.SlavePath().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        GTEST_SKIP() << "the pseudo-terminal does not open a second time";
    // the kernel moves bytes on between the two ends a moment later: fill until it stays full
    const std::string block(4096, 'x');
    for (int full = 0; full < 5; std::this_thread::sleep_for(20ms))
        full = ::write(fd, block.data(), block.size()) > 0 ? 0 : full + 1;
    ::close(fd);
    try {
        port.Exchange(Command(core::cmd::kSearch), "0000", 300ms);
        ADD_FAILURE() << "the write went through";
    } catch (const ExchangeError& error) {
        EXPECT_EQ(error.fault, ExchangeFault::kPort);
        EXPECT_NE(error.message.find("COM1: cannot write: " + pty.SlavePath() +
                                     ": took 0 of 13 "
                                     "bytes in "),
                  std::string::npos)
            << error.message;
    }
}
