#include "core/search_order.h"
#include "core/search_walk.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

using namespace core;

namespace {

// Steps first..last in order, for each range given.
std::vector<int> Runs(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> steps;
    for (const auto& [first, last] : ranges)
        for (int s = first; s <= last; ++s)
            steps.push_back(s);
    return steps;
}

} // namespace

TEST(SearchWalk, WalkFromTheDialogsSetting) {
    constexpr int kNoModule = -1;
    struct Row {
        int start_step;
        int module_step; // the step the module answers at (0: the port's own setting)
        std::vector<int> tries;
        SearchDo end;
        int attempts; // steps of the 21 tried
    };
    const Row rows[] = {
        {15, kNoModule, Runs({{15, 21}, {1, 14}}), SearchDo::Failed, 21}, // 9600 none: up, wrap
        {21, kNoModule, Runs({{21, 21}, {1, 20}}), SearchDo::Failed, 21}, // first tick wraps to 1
        {1, kNoModule, Runs({{1, 21}}), SearchDo::Failed, 21},
        // no usable dialog setting (57600): once at the port's own setting, then all 21
        {0, kNoModule, Runs({{0, 21}}), SearchDo::Failed, 21},
        {22, kNoModule, Runs({{0, 21}}), SearchDo::Failed, 21}, // as for 0
        {0, 0, {0}, SearchDo::Found, 0},                        // the port already talks to it
        {0, 7, Runs({{0, 7}}), SearchDo::Found, 7},
        {4, 1, Runs({{4, 21}, {1, 1}}), SearchDo::Found, 19}, // 600 even found at the 19th try
        {13, 13, {13}, SearchDo::Found, 1},                   // answered at the first try
    };
    for (const Row& r : rows) {
        SearchWalk walk;
        std::vector<int> tries;
        SearchAction a = StartSearchWalk(walk, r.start_step);
        int ticks = 0;
        while (a.what == SearchDo::Try) {
            tries.push_back(a.step);
            a = TickSearchWalk(walk, walk.step == r.module_step);
            ++ticks;
        }
        EXPECT_EQ(tries, r.tries) << r.start_step;
        EXPECT_EQ(a.what, r.end) << r.start_step;
        EXPECT_EQ(walk.attempts, r.attempts) << r.start_step;
        // the end comes at the tick after the last try, and the port keeps that try's setting
        EXPECT_EQ(ticks, static_cast<int>(r.tries.size())) << r.start_step;
        EXPECT_EQ(walk.step, r.tries.back()) << r.start_step;
        EXPECT_EQ(TickSearchWalk(walk, true).what, SearchDo::Nothing) << r.start_step;
    }
}

TEST(SearchWalk, StopEndsTheWalkAtTheStepLastTried) {
    SearchWalk walk;
    EXPECT_EQ(TickSearchWalk(walk, false).what, SearchDo::Nothing); // never started
    StartSearchWalk(walk, 20);
    const SearchAction a = TickSearchWalk(walk, false);
    EXPECT_EQ(a.step, 21); // 38400 baud, no parity
    EXPECT_EQ(a.line.baud_code, 14);
    EXPECT_EQ(a.line.parity_code, 0x00);
    StopSearchWalk(walk);
    EXPECT_EQ(walk.state, SearchState::Stopped);
    // an answer that comes after the stop finds nothing waiting for it
    EXPECT_EQ(TickSearchWalk(walk, true).what, SearchDo::Nothing);
    EXPECT_EQ(walk.state, SearchState::Stopped);
    EXPECT_EQ(walk.step, 21);
    // a new search restarts the walk from the dialog's setting
    EXPECT_EQ(StartSearchWalk(walk, 21).step, 21);
    EXPECT_EQ(TickSearchWalk(walk, false).step, 1);
}

// The command line's search: where the module was last found, the factory setting, the 21
// steps from the slowest, then 57600; each line once, so a remembered step is not tried twice.
TEST(SearchOrder, LikeliestFirstThenTheStepsThen57600) {
    const auto fresh = SearchOrder(std::nullopt);
    ASSERT_EQ(fresh.size(), 24u); // 9600 none is one of the 21 steps
    EXPECT_EQ(fresh[0], kFactoryLine);
    EXPECT_EQ(fresh[1], (SearchLine{600, 1}));
    EXPECT_EQ(fresh[20], (SearchLine{38400, 0}));
    EXPECT_EQ(fresh[21], (SearchLine{57600, 1}));
    EXPECT_EQ(fresh[23], (SearchLine{57600, 0}));

    const auto remembered = SearchOrder(SearchLine{57600, 2});
    ASSERT_EQ(remembered.size(), 24u);
    EXPECT_EQ(remembered[0], (SearchLine{57600, 2}));
    EXPECT_EQ(remembered[1], kFactoryLine);
    EXPECT_EQ(remembered[23], (SearchLine{57600, 0}));

    EXPECT_EQ(SearchLineText({19200, 2}), "19200 odd");
    EXPECT_EQ(ParseSearchLine("19200 odd"), (SearchLine{19200, 2}));
    EXPECT_EQ(ParseSearchLine("57600 none"), (SearchLine{57600, 0}));
    for (const char* bad : {"", "19200", "115200 none", "19200 odd ", "300 even"})
        EXPECT_FALSE(ParseSearchLine(bad)) << bad;
}
