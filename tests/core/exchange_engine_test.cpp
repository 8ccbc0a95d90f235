// The exchange engine without a port or a clock: each row feeds bytes at given milliseconds
// after the request went out, and the reply must come at the moment the rule says, not later.
#include "core/exchange_engine.h"
#include "core/frame.h"
#include "core/hex.h"
#include "core/receive_timing.h"
#include "core/request.h"
#include "core/setting_table.h"
#include "core/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>

using namespace core;
using std::chrono::milliseconds;

namespace {

const ExchangeTime kT0{};

ExchangeTime At(int ms) {
    return kT0 + milliseconds(ms);
}

int MsOf(ExchangeTime t) {
    return static_cast<int>(std::chrono::duration_cast<milliseconds>(t - kT0).count());
}

ExchangeRequest Read(std::uint8_t code, Framing framing = Framing::k5A5A, int firstByte = 300,
                     int wait = 300) {
    const Command& command = CommandAt(code);
    return {BuildRequest(command, framing, ReadPayload(framing)), Completion::kFramed,
            milliseconds(firstByte), milliseconds(wait)};
}

// 5A5A answer with its code ("0006") and payload.
Bytes Long(std::string_view code, std::string_view payload) {
    return BuildFrame5A5A("0000", code, payload);
}
// EDED answer with its code ("06") and payload.
Bytes Short(std::string_view code, std::string_view payload) {
    return BuildFrameEDED(code, payload);
}

struct Fed {
    int at; // ms
    Bytes bytes;
};

struct Seen {
    ExchangeReply reply;
    int at; // ms
};

// Sends what is due, feeds `fed` in order and ticks at every deadline the engine names, until
// `until`; every reply with the moment it came.
std::vector<Seen> Drive(ExchangeEngine& engine, std::vector<Fed> fed, int until = 5000) {
    std::vector<Seen> seen;
    std::size_t next = 0;
    for (int now = 0; now <= until;) {
        if (const auto out = engine.NextToSend(At(now)))
            engine.Sent(out->id, At(now));
        if (next < fed.size() && fed[next].at == now)
            engine.Receive(fed[next++].bytes, At(now));
        else
            engine.Tick(At(now));
        for (ExchangeReply& reply : engine.TakeReplies())
            seen.push_back({std::move(reply), now});
        // the next moment anything can happen: the next bytes or the engine's own deadline
        int later = until + 1;
        if (next < fed.size())
            later = fed[next].at;
        if (const auto deadline = engine.NextDeadline())
            later = std::min(later, std::max(now + 1, MsOf(*deadline)));
        else if (next >= fed.size())
            break;
        now = later;
    }
    return seen;
}

std::vector<std::string> Verdicts(ExchangeEngine& engine) {
    std::vector<std::string> lines;
    for (const FrameTraceRecord& record : engine.TakeTrace()) {
        auto fields = FrameTraceFields(record);
        lines.push_back(fields[5] + " " + fields[6] + " " + fields[9]); // framing name verdict
    }
    return lines;
}

} // namespace

// A framed answer is whole at the length its frame declares: in pieces with pauses shorter
// than the wait it comes out at its last byte, not after a quiet time; what follows it in the
// same read waits for what comes next. A beginning that stops is bounded by the wait.
TEST(ExchangeEngine, Completion) {
    const Bytes channel = Long("0006", "0300");
    struct Row {
        const char* what;
        std::vector<Fed> fed;
        ReplyKind kind;
        int at;
    };
    const Row rows[] = {
        {"whole in one read", {{40, channel}}, ReplyKind::kAnswer, 40},
        {"in pieces",
         {{40, channel.substr(0, 5)}, {240, channel.substr(5)}},
         ReplyKind::kAnswer,
         240},
        {"followed by a stray byte", {{40, channel + "\xFF"}}, ReplyKind::kAnswer, 40},
        // cut: the rest never comes; the answer ends a wait after its last byte
        {"cut off", {{40, channel.substr(0, 9)}}, ReplyKind::kRefused, 340},
        // bytes that begin no frame end at a pause of four characters and 20 ms (25 at 9600)
        {"no frame", {{40, Bytes("\x01\x02\x03", 3)}}, ReplyKind::kRefused, 66},
    };
    for (const Row& row : rows) {
        ExchangeEngine engine(Framing::k5A5A, kT0);
        engine.Submit(Read(cmd::kReadChannel));
        const auto seen = Drive(engine, row.fed);
        ASSERT_EQ(seen.size(), 1u) << row.what;
        EXPECT_EQ(seen[0].reply.kind, row.kind) << row.what;
        EXPECT_EQ(seen[0].at, row.at) << row.what;
        if (row.kind == ReplyKind::kAnswer) {
            EXPECT_EQ(seen[0].reply.result->event,
                      AnswerEvent(answer::SettingRead{Setting::kChannel, 3}))
                << row.what;
        }
    }
}

// A request that hears nothing gets no answer at its first byte's deadline, which the engine
// names as its next, and the trace says so; silence never holds the next request.
TEST(ExchangeEngine, Silence) {
    ExchangeEngine engine(Framing::k5A5A, kT0);
    const RequestId first = engine.Submit(Read(cmd::kReadChannel, Framing::k5A5A, 120));
    const RequestId second = engine.Submit(Read(cmd::kReadAirRate, Framing::k5A5A, 80));
    ASSERT_TRUE(engine.NextToSend(At(0)));
    engine.Sent(first, At(0));
    EXPECT_FALSE(engine.NextToSend(At(1))) << "one request at a time";
    EXPECT_EQ(engine.NextDeadline(), At(120));
    const auto seen = Drive(engine, {});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].reply.id, first);
    EXPECT_EQ(seen[0].reply.kind, ReplyKind::kNoAnswer);
    EXPECT_EQ(seen[0].at, 120);
    EXPECT_EQ(seen[1].reply.id, second);
    EXPECT_EQ(seen[1].at, 200);
    EXPECT_EQ(Verdicts(engine),
              (std::vector<std::string>{
                  "5A5A 8006 read channel ", "5A5A awaited 8006 read channel no answer",
                  "5A5A 8004 read air rate ", "5A5A awaited 8004 read air rate no answer"}));
    EXPECT_FALSE(engine.NextDeadline());
    EXPECT_TRUE(engine.Idle());
}

// Noise before an answer, in the same read or before the request: traced, passed over, and the
// answer still taken at its own end. Bytes left on the line hold the next request until they
// end, so they cannot pass for its answer.
TEST(ExchangeEngine, BytesBeforeAnAnswer) {
    ExchangeEngine engine(Framing::k5A5A, kT0);
    engine.Submit(Read(cmd::kReadChannel));
    const auto seen = Drive(engine, {{30, Bytes("\x00\xFF", 2) + Long("0006", "0300")}});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].reply.kind, ReplyKind::kAnswer);
    EXPECT_EQ(seen[0].at, 30);
    EXPECT_EQ(Verdicts(engine)[1], "raw  not a frame");

    ExchangeEngine drained(Framing::k5A5A, kT0);
    drained.Receive("\x11\x22", At(0));
    drained.Submit(Read(cmd::kReadChannel));
    EXPECT_FALSE(drained.NextToSend(At(10)));
    EXPECT_EQ(drained.NextDeadline(), At(26)); // quiet for longer than 25 ms
    EXPECT_TRUE(drained.NextToSend(At(26)));
    EXPECT_EQ(Verdicts(drained), (std::vector<std::string>{"raw  not a frame"}));
}

// An answer to a request given up as unanswered comes while the next is awaited, or before it
// goes out: it is that request's late reply, and the one awaited still gets its own. An
// answer to a command nobody still awaits is the verdict only when the awaited one's never
// comes.
TEST(ExchangeEngine, LateAnswers) {
    ExchangeEngine engine(Framing::k5A5A, kT0);
    const RequestId channel = engine.Submit(Read(cmd::kReadChannel, Framing::k5A5A, 100));
    const RequestId serial = engine.Submit(Read(cmd::kReadSerial));
    const auto seen = Drive(engine, {{150, Long("0006", "0300")}, {160, Long("0002", "0501")}});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].reply.id, channel);
    EXPECT_EQ(seen[0].reply.kind, ReplyKind::kNoAnswer);
    EXPECT_EQ(seen[1].reply.id, channel);
    EXPECT_TRUE(seen[1].reply.late);
    EXPECT_EQ(seen[1].reply.result->event, AnswerEvent(answer::SettingRead{Setting::kChannel, 3}));
    EXPECT_EQ(seen[1].at, 150);
    EXPECT_EQ(seen[2].reply.id, serial);
    EXPECT_EQ(seen[2].reply.kind, ReplyKind::kAnswer);
    EXPECT_FALSE(seen[2].reply.late);
    EXPECT_EQ(seen[2].at, 160);

    // the late answer is before the next request: it ends, then the request goes out
    ExchangeEngine before(Framing::k5A5A, kT0);
    const RequestId first = before.Submit(Read(cmd::kReadChannel, Framing::k5A5A, 100));
    before.Submit(Read(cmd::kReadSerial));
    const auto drained = Drive(before, {{100, Long("0006", "0300")}, {200, Long("0002", "0501")}});
    ASSERT_EQ(drained.size(), 3u);
    EXPECT_EQ(drained[1].reply.id, first);
    EXPECT_TRUE(drained[1].reply.late);
    EXPECT_EQ(drained[2].reply.kind, ReplyKind::kAnswer);

    // nobody asked for the air rate: the channel read's verdict, once its wait is over
    ExchangeEngine other(Framing::k5A5A, kT0);
    other.Submit(Read(cmd::kReadChannel));
    const auto refused = Drive(other, {{40, Long("0004", "0500")}});
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].reply.kind, ReplyKind::kRefused);
    EXPECT_EQ(refused[0].reply.result->event, AnswerEvent(answer::Refused{cmd::kReadAirRate}));
    EXPECT_EQ(refused[0].at, 300);
    EXPECT_EQ(Verdicts(other)[1], "5A5A 0004 answer to read air rate, awaited 8006 refused");
}

// After a change of the serial settings no request goes out before the settle time is over,
// and the engine names that moment as its next deadline.
TEST(ExchangeEngine, Settle) {
    ExchangeEngine engine(Framing::k5A5A, kT0);
    engine.SetLine(2400, 0);
    engine.Settle(At(100));
    engine.Submit(Read(cmd::kReadChannel));
    EXPECT_FALSE(engine.NextToSend(At(0)));
    EXPECT_FALSE(engine.NextToSend(At(99)));
    EXPECT_EQ(engine.NextDeadline(), At(100));
    EXPECT_TRUE(engine.NextToSend(At(100)));
}

// The short framing declares no length: an answer is whole when its checksum holds, also in
// pieces; a beginning whose checksum never holds is bounded like any other.
TEST(ExchangeEngine, Eded) {
    const Bytes channel = BuildFrameEDED("06", "03");
    struct Row {
        std::vector<Fed> fed;
        ReplyKind kind;
        int at;
    };
    const Row rows[] = {
        // no length to end it: the checksum holds and the line stays quiet 25 ms at 9600
        {{{20, channel}}, ReplyKind::kAnswer, 45},
        {{{20, channel.substr(0, 3)}, {120, channel.substr(3)}}, ReplyKind::kAnswer, 145},
        {{{20, channel.substr(0, 3)}}, ReplyKind::kRefused, 320},
    };
    for (const Row& row : rows) {
        ExchangeEngine engine(Framing::kEDED, kT0);
        engine.Submit(Read(cmd::kReadChannel, Framing::kEDED));
        const auto seen = Drive(engine, row.fed);
        ASSERT_EQ(seen.size(), 1u) << row.at;
        EXPECT_EQ(seen[0].reply.kind, row.kind) << row.at;
        EXPECT_EQ(seen[0].at, row.at);
        if (row.kind == ReplyKind::kAnswer) {
            EXPECT_EQ(seen[0].reply.result->event,
                      AnswerEvent(answer::SettingRead{Setting::kChannel, 3}));
        }
    }
}

// Unframed data (a pair-test frame, terminal text) ends when the line has been quiet for longer
// than the frame delay, however it looks.
TEST(ExchangeEngine, UnframedByQuietTime) {
    ExchangeEngine engine(Framing::k5A5A, kT0);
    engine.Submit(
        {{Bytes("ABCDEFGHIJ"), {}}, Completion::kQuiet, milliseconds(1000), milliseconds(309)});
    const auto seen = Drive(engine, {{50, "ABCDE"}, {100, "FGHIJ"}});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].reply.kind, ReplyKind::kAnswer);
    EXPECT_EQ(seen[0].reply.bytes, "ABCDEFGHIJ");
    EXPECT_FALSE(seen[0].reply.result);
    EXPECT_EQ(seen[0].at, 410);
    EXPECT_EQ(MsOf(seen[0].reply.began), 50);
}

// A port that is lost ends the request awaited and every one queued, each with the cause.
TEST(ExchangeEngine, PortLost) {
    ExchangeEngine engine(Framing::k5A5A, kT0);
    const RequestId first = engine.Submit(Read(cmd::kReadChannel));
    const RequestId second = engine.Submit(Read(cmd::kReadSerial));
    engine.Sent(engine.NextToSend(At(0))->id, At(0));
    engine.Receive(Long("0006", "03").substr(0, 4), At(10));
    engine.PortLost("the device was disconnected");
    const auto replies = engine.TakeReplies();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].id, first);
    EXPECT_EQ(replies[1].id, second);
    for (const ExchangeReply& reply : replies) {
        EXPECT_EQ(reply.kind, ReplyKind::kPortLost);
        EXPECT_EQ(reply.cause, "the device was disconnected");
    }
    EXPECT_TRUE(engine.Idle());
    EXPECT_FALSE(engine.NextDeadline());
    // the answer that comes once the port is back belongs to no request of before
    engine.Receive(Long("0006", "0300"), At(20));
    engine.Tick(At(100));
    EXPECT_TRUE(engine.TakeReplies().empty());
}

// The window's way: an operator's request goes out at once and gives up the one awaited; every
// whole answer is handed on at once and judged against the last command recorded, also when no
// request awaits it or it comes twice; what begins no frame waits for the frame delay.
TEST(ExchangeEngine, AnswersForTheLastCommand) {
    const Bytes channel = Long("0006", "0300");
    ExchangeEngine engine(Framing::k5A5A, kT0);
    engine.Listen(Unasked::kAnswers, milliseconds(200));
    engine.SetLastCommand("8006");
    const RequestId first = engine.Submit(Read(cmd::kReadChannel));
    ASSERT_TRUE(engine.NextToSend(At(0)));
    engine.Sent(first, At(0));
    ExchangeRequest now = Read(cmd::kReadAirRate);
    now.immediate = true;
    const RequestId second = engine.Submit(now);
    ASSERT_EQ(engine.NextToSend(At(5))->id, second);
    engine.Sent(second, At(5));
    engine.SetLastCommand("8004");
    // the channel's answer is refused under 8004, and ends the request awaited
    const auto seen = Drive(engine, {{30, channel},
                                     {40, Long("0004", "0500")},
                                     {50, Bytes("\x01\x02", 2)},
                                     {300, channel.substr(0, 5)}});
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].reply.id, first);
    EXPECT_EQ(seen[0].reply.kind, ReplyKind::kNoAnswer);
    EXPECT_EQ(seen[1].reply.id, second);
    EXPECT_EQ(seen[1].reply.kind, ReplyKind::kRefused);
    EXPECT_EQ(seen[1].at, 30);
    EXPECT_TRUE(std::holds_alternative<answer::Refused>(seen[1].reply.result->event));
    // no request awaits it: handed on at once, accepted under 8004
    EXPECT_EQ(seen[2].reply.id, 0u);
    EXPECT_EQ(seen[2].at, 40);
    EXPECT_EQ(seen[2].reply.result->event, AnswerEvent(answer::SettingRead{Setting::kAirRate, 5}));
    // bytes of no frame, and a frame's beginning, end at the frame delay's silence
    EXPECT_EQ(seen[3].at, 251);
    EXPECT_EQ(seen[3].reply.kind, ReplyKind::kRefused);
    EXPECT_EQ(seen[4].at, 501);
    EXPECT_EQ(
        Verdicts(engine),
        (std::vector<std::string>{
            "5A5A 8006 read channel ", "5A5A awaited 8006 read channel no answer",
            "5A5A 8004 read air rate ", "5A5A 0006 answer to read channel, awaited 8004 refused",
            "5A5A 0004 air rate = 9600 accepted", "raw  not a frame", "raw  not a frame"}));
    EXPECT_EQ(engine.Held(), 0u);
}

// Test and terminal data: handed on when the line has been quiet for longer than the frame
// delay, a stream without pause at the bound; raw writes are traced and await nothing.
TEST(ExchangeEngine, DataByTheFrameDelay) {
    ExchangeEngine engine(Framing::k5A5A, kT0);
    engine.Listen(Unasked::kData, milliseconds(100));
    engine.SentRaw("ABC", At(0));
    const auto seen = Drive(engine, {{10, "hel"}, {60, "lo"}, {400, Long("0006", "0300")}});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].reply.bytes, "hello");
    EXPECT_EQ(seen[0].at, 161);
    EXPECT_EQ(seen[1].at, 501) << "a frame is data here";
    EXPECT_EQ(Verdicts(engine), (std::vector<std::string>{"raw  ", "raw  ", "raw  "}));

    engine.Receive(Bytes(kReceiveBufferLimit + 10, 'U'), At(600));
    const auto bound = engine.TakeReplies();
    ASSERT_EQ(bound.size(), 1u);
    EXPECT_EQ(bound[0].bytes.size(), kReceiveBufferLimit);
    EXPECT_EQ(engine.Held(), 10u);
}

// What the window shows for each answer the engine hands on in its way: the event, and the
// status text in the operator's language, or for a frame that fails its checks the verdict line
// the receive log adds after it.
TEST(ExchangeEngine, WindowAnswersAndTheirTexts) {
    constexpr Framing L = Framing::k5A5A;
    constexpr Framing S = Framing::kEDED; // "MORVANTELIS": 5A5A answers passed on
    // the air-rate answer with its checksum 98 as 99; an IO answer with a wrong checksum; the
    // air-rate answer without its trailer; ED ED 03 05 with the checksum E3 instead of E2
    const std::string badSum = "5A5A00005A0003020500990D0A", badIo = "4040A6000107001300000D0A";
    const std::string noTrailer = "5A5A00005A00030205009800", badShort = "EDED0305E3";
    const Bytes ioWrite = BuildFrame4040("0001", "A6", "0012", "0101");
    const Bytes ioRead = BuildFrame4040("012C", "A6", "0013", "0100");
    using namespace answer;
    using enum Setting;
    using enum TextId;
    struct Row {
        Framing handler;
        const char* last; // the command recorded last
        Bytes frame;
        AnswerEvent event;
        const char* shown; // null: panel 2 keeps what it showed
        const char* lang = "EN";
    };
    // clang-format off
    const Row rows[] = {
        {L, "8004", Long("0004", "0500"), SettingRead{kAirRate, 5}, "RF Parameters Read OK!"},
        {L, "8003", Long("0004", "0500"), Refused{0x04}, "Answer data is error!"},
        {L, "8006", Long("0006", "0300"), SettingRead{kChannel, 3}, "Read Channel and frequency OK!"},
        {L, "8010", Long("0010", "0200"), SettingRead{kPowerSaving, 2}, "Read PowerSaved Mode OK!"},
        {L, "8014", Long("0014", "0100"), SettingRead{kAirProtocol, 1}, "Read RF Protocol OK!"},
        {L, "8012", Long("0012", "5A00"), FieldStrength{"5A", 90}, "Read OK!"},
        {L, "8013", Long("0012", "1100"), Refused{0x12}, nullptr},
        // the value follows the Chinese text only: the power group adds it
        {L, "8013", Long("0013", "0900"), PowerLevelSet{9}, "Power be set OK!"},
        {L, "8013", Long("0013", "0C00"), PowerLevelSet{12}, "功率设置成功,功率值为：", "CN"},
        {L, "8002", Long("0002", "0702"), SerialSettingsRead{7, 2}, "COM Parameters Read OK!"},
        // channel, air rate, serial rate, parity; 08 = 57600; 0x11 and parity 05 as they come
        {L, "8015", Long("0015", "11080805"), AllRead{17, 8, 8, 5}, "Read All Parameters OK!"},
        {L, "800E", Long("000E", "03050801"), AllWritten{8, 1}, "Write All Parameters OK!"},
        {L, "40408012", ioWrite, IoLineWritten{1, true}, "Write IO OK!"},
        {L, "40408013", ioRead, IoLinesRead{300, 1, 0}, "Read IO status OK!"},
        {L, "8013", ioRead, Refused{0x13}, "Answer data is error!"},
        // taken whatever is awaited; the search group adds what it read
        {L, "8003", Long("0000", "201202"), SearchAnswer{0x20, 0x12, 2}, "RF Module(Radio) Searched OK!"},
        {L, "8003", HexToBytes(badSum), BadChecksum{badSum, kChecksumError}, "Checksum is error!"},
        {L, "8003", HexToBytes(badIo), BadChecksum{badIo, kIoChecksumError}, "Shecksum is error!"},
        {L, "8003", HexToBytes(badSum), BadChecksum{badSum, kChecksumError}, "返回应答校验出错！", "en"},
        {L, "8003", HexToBytes(noTrailer), NotAFrame{noTrailer}, nullptr},
        // the first eight short answers speak Chinese whatever the language, the later ones
        // follow it; the serial-settings answers tell the rate alone
        {S, "8003", Short("03", ""), Acknowledged{}, "空中参数设置成功!"},
        {S, "8004", Short("04", "08"), SettingRead{kAirRate, 8}, "空中参数读取成功!"},
        {S, "8007", Short("07", ""), Acknowledged{}, "启动测试成功!"},
        {S, "8002", Short("02", "05"), SerialSettingsRead{5, kParityNotCarried}, "串口参数读取成功!"},
        {S, "8001", Short("01", "05"), SerialSettingsWritten{5, kParityNotCarried}, "串口参数设置成功!"},
        {S, "800D", Short("0D", "012C"), SettingRead{kId, 300}, "Read ID OK!"},
        {S, "800E", Short("0E", "03050500"), AllWritten{5, 0}, "Write All Parameters OK!"},
        {S, "8003", HexToBytes(badShort), BadChecksum{badShort, kChecksumError}, "Checksum is error!"},
        {S, "8003", Long("0003", ""), Acknowledged{}, "RF Parameters Write OK!"},
        {S, "8001", Long("0001", "0501"), SerialSettingsWritten{5, 1}, "Parameters of Com Port Set OK!"},
        // neither an IO answer nor noise leaves a trace
        {S, "40408013", ioRead, Dropped{}, nullptr},
        {S, "8016", "123", Dropped{}, nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(BytesToHex(row.frame) + " under " + row.last + " " + row.lang);
        ExchangeEngine engine(row.handler, kT0);
        engine.Listen(Unasked::kAnswers, milliseconds(60));
        engine.SetLastCommand(row.last);
        const auto seen = Drive(engine, {{10, row.frame}});
        ASSERT_EQ(seen.size(), 1u);
        ASSERT_TRUE(seen[0].reply.result);
        const AnswerResult& result = *seen[0].reply.result;
        EXPECT_EQ(result.event, row.event);
        const TextRule rule(row.lang, "");
        const auto* bad = std::get_if<BadChecksum>(&result.event);
        EXPECT_STREQ(bad ? rule.Message(bad->line) : AnswerText(result, rule), row.shown);
        EXPECT_TRUE(!bad || !AnswerText(result, rule)) << "a bad frame shows no status";
    }
}
