// The profile's write steps where each reply comes after Submit has returned, as on the
// window's port: the same requests, line change and verdicts as on the blocking port, the
// verdict once, after the last reply.
#include "serial/module_profile_io.h"

#include <gtest/gtest.h>

#include <deque>

using namespace serial;
using namespace std::chrono_literals;

namespace {

// Notes each request, progress and line change; a reply goes out when the test hands it on.
class LaterExchanger : public Exchanger {
public:
    std::vector<std::string> log;
    std::string followFailure;

    void Submit(const core::Command& command, std::string_view, std::chrono::milliseconds,
                std::string_view, Done done) override {
        log.push_back(core::CommandLogName(command.code, command.io));
        m_waiting.push_back(std::move(done));
    }
    std::string FollowLine(int baud, int parity, std::chrono::milliseconds settle) override {
        log.push_back("line " + std::to_string(baud) + " " + std::to_string(parity) + " after " +
                      std::to_string(settle.count()) + " ms");
        return followFailure;
    }
    core::Framing FramingOf(const core::Command& command) const override {
        return core::FramingFor(command, m_variant);
    }
    const std::string& Name() const override { return m_name; }
    const std::string& Variant() const override { return m_variant; }
    int Parity() const override { return 0; }
    const std::string& RefusalHint() const override { return m_variant; }

    // Hands the waiting request its reply of `kind`; false when none waits.
    bool Reply(core::ReplyKind kind) {
        if (m_waiting.empty())
            return false;
        core::ExchangeReply reply;
        reply.kind = kind;
        if (kind == core::ReplyKind::kAnswer)
            reply.result = core::AnswerResult{core::answer::Acknowledged{}};
        reply.cause = "the device was disconnected";
        const Done done = std::move(m_waiting.front());
        m_waiting.pop_front();
        done(reply);
        return true;
    }

private:
    std::string m_name = "COM1";
    std::string m_variant;
    std::deque<Done> m_waiting;
};

std::string Verdict(const Outcome<std::string>& outcome) {
    if (const auto* error = std::get_if<ExchangeError>(&outcome))
        return (error->fault == ExchangeFault::kPort ? "port: " : "other fault: ") + error->message;
    const std::string& refused = std::get<std::string>(outcome);
    return refused.empty() ? "written" : "refused: " + refused;
}

} // namespace

TEST(ProfileSteps, AWriteWhoseRepliesComeLater) {
    using core::ReplyKind;
    using core::Setting;
    const std::string channel = core::CommandLogName(core::cmd::kWriteChannel);
    const std::string serial = core::CommandLogName(core::cmd::kWriteSerial);
    const std::string follow = "line 19200 0 after 100 ms"; // rate code 6
    struct Case {
        const char* what;
        std::vector<ReplyKind> replies;
        std::string followFailure;
        std::vector<std::string> log;
        std::string verdict;
    };
    const std::vector<Case> cases = {
        {"both taken",
         {ReplyKind::kAnswer, ReplyKind::kAnswer},
         "",
         {"1 of 2", channel, "2 of 2", serial, follow},
         "written"},
        {"the channel refused: nothing more goes out",
         {ReplyKind::kRefused},
         "",
         {"1 of 2", channel},
         "refused: COM1: the module did not accept " + channel},
        {"no answer to the serial settings: the line stays",
         {ReplyKind::kAnswer, ReplyKind::kNoAnswer},
         "",
         {"1 of 2", channel, "2 of 2", serial},
         "refused: COM1: no answer to " + serial + "; the module stopped answering"},
        {"the port lost",
         {ReplyKind::kPortLost},
         "",
         {"1 of 2", channel},
         "port: COM1: the device was disconnected"},
        {"the line cannot follow",
         {ReplyKind::kAnswer, ReplyKind::kAnswer},
         "COM1: cannot set 19200 baud",
         {"1 of 2", channel, "2 of 2", serial, follow},
         "port: COM1: cannot set 19200 baud"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LaterExchanger port;
        port.followFailure = c.followFailure;
        std::vector<std::string> verdicts;
        WriteSettings(
            port, {{Setting::kChannel, 3}, {Setting::kSerialRate, 6}, {Setting::kParity, 0}},
            {{Setting::kSerialRate, 4}, {Setting::kParity, 0}}, 1000ms, 100ms,
            [&](int step, int steps, const std::string& asks) {
                port.log.push_back(std::to_string(step) + " of " + std::to_string(steps));
                EXPECT_EQ(asks, step == 1 ? channel : serial);
            },
            [&](Outcome<std::string> outcome) { verdicts.push_back(Verdict(outcome)); });
        for (const ReplyKind kind : c.replies) {
            EXPECT_TRUE(verdicts.empty());
            EXPECT_TRUE(port.Reply(kind));
        }
        EXPECT_FALSE(port.Reply(ReplyKind::kAnswer)); // nothing left waiting
        EXPECT_EQ(port.log, c.log);
        EXPECT_EQ(verdicts, std::vector<std::string>{c.verdict});
    }
}
