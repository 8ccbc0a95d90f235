#include "core/frame_tracker.h"

#include "core/hex.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace core;

namespace {

using Clock = FrameTracker::Clock;

// read power-saving mode: 5A5A 0000 5A 8010 02 0000, sum A0
constexpr const char* kRead = "5A5A00005A8010020000A00D0A";
// its answer, air wake-up, split where a slow line splits it
constexpr const char* kAnswerHead = "5A5A00005A00";
constexpr const char* kAnswerTail = "10020300230D0A";
// search: 5A5A 0000 5A 8000 02 0000, sum 90; its answer: family 20, version 12, 433 MHz
constexpr const char* kSearch = "5A5A00005A8000020000900D0A";
constexpr const char* kSearchAnswer = "5A5A00005A000003201202450D0A";
// serial-number read 800B
constexpr const char* kSnRead = "5A5A00005A800B0200009B0D0A";

struct Step {
    int ms;
    char kind; // 's' sent, 'r' received, 'p' poll
    const char* hex;
    const char* lastCommand = ""; // for 's'
    bool judged = true;
};

// Time, direction, line setting, name, verdict and round trip of each record, one a line.
std::string Records(std::initializer_list<Step> steps) {
    const Clock::time_point start{};
    std::ostringstream out;
    FrameTracker tracker(start, {}, [&](const FrameTraceRecord& record) {
        std::istringstream line(FormatFrameTrace(record));
        std::vector<std::string> f;
        for (std::string field; std::getline(line, field, '\t');)
            f.push_back(field);
        out << f[0] << ' ' << f[2] << ' ' << f[4] << ' ' << f[6] << " | " << f[9] << " | " << f[10]
            << '\n';
    });
    for (const Step& s : steps) {
        const TraceSetting setting{"COM1",   "9600 8N1",     300,
                                   s.judged, Framing::k5A5A, s.lastCommand};
        const Clock::time_point at = start + std::chrono::milliseconds(s.ms);
        const Bytes bytes = HexToBytes(s.hex);
        if (s.kind == 's')
            tracker.Sent(at, bytes, setting);
        else if (s.kind == 'r')
            tracker.Received(at, bytes, setting);
        else
            tracker.Poll(at, setting);
    }
    return out.str();
}

} // namespace

TEST(FrameTracker, PairsRequestsWithAnswersAsTheReceiveHandsThemOn) {
    struct Case {
        const char* what;
        std::initializer_list<Step> steps;
        const char* records;
    };
    const Case cases[] = {
        {"an answer in two chunks is one answer, handed on once whole",
         {{0, 's', kRead, "8010"},
          {30, 'r', kAnswerHead},
          {50, 'r', kAnswerTail},
          {350, 'p', ""},
          {351, 'p', ""}},
         "0 out 9600 8N1 8010 read power-saving mode | - | -\n"
         "50 in 9600 8N1 0010 power-saving mode = air wake-up | accepted | 50 ms\n"},
        {"nothing within the frame delay",
         {{0, 's', kRead, "8010"}, {300, 'p', ""}, {301, 'p', ""}, {900, 'p', ""}},
         "0 out 9600 8N1 8010 read power-saving mode | - | -\n"
         "301 in 9600 8N1 awaited 8010 read power-saving mode | no answer | -\n"},
        {"an answer after the delay is still judged, without a round trip",
         {{0, 's', kRead, "8010"},
          {301, 'p', ""},
          {500, 'r', "5A5A00005A0010020300240D0A"},
          {801, 'p', ""}},
         "0 out 9600 8N1 8010 read power-saving mode | - | -\n"
         "301 in 9600 8N1 awaited 8010 read power-saving mode | no answer | -\n"
         "500 in 9600 8N1 - | bad checksum | -\n"},
        {"the search answer's handler sends the serial-number read in the tick that hands it on",
         {{0, 's', kSearch, ""}, {40, 'r', kSearchAnswer}, {360, 's', kSnRead, "800B"}},
         "0 out 9600 8N1 8000 search | - | -\n"
         "40 in 9600 8N1 0000 search = 86X V1.2 433MHZ | accepted | 40 ms\n"
         "360 out 9600 8N1 800B read serial number | - | -\n"},
        {"an answer is handed on once whole, and one after it is an answer of its own",
         {{0, 's', kRead, "8010"},
          {30, 'r', "5A5A00005A0010020300230D0A5A5A"},
          {200, 'r', "00005A0010020300230D0A"},
          {501, 'p', ""}},
         "0 out 9600 8N1 8010 read power-saving mode | - | -\n"
         "30 in 9600 8N1 0010 power-saving mode = air wake-up | accepted | 30 ms\n"
         "200 in 9600 8N1 0010 power-saving mode = air wake-up | accepted | -\n"},
        {"a request sent before the last was answered leaves that one unanswered",
         {{0, 's', kSearch, ""}, {100, 's', kRead, "8010"}},
         "0 out 9600 8N1 8000 search | - | -\n"
         "100 in 9600 8N1 awaited 8000 search | no answer | -\n"
         "100 out 9600 8N1 8010 read power-saving mode | - | -\n"},
        {"terminal data is neither awaited nor judged",
         {{0, 's', "68690D0A"}, {20, 'r', "6F6B", "", false}, {400, 'p', "", "", false}},
         "0 out 9600 8N1 - | - | -\n"
         "20 in 9600 8N1 - | - | -\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Records(c.steps), c.records) << c.what;
}
