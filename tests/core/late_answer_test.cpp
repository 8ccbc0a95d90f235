#include "core/late_answer.h"

#include <gtest/gtest.h>

using namespace core;
using std::chrono::milliseconds;

// Steps 85 ms apart, a module answering 200 ms after its request: the answer that begins at
// step 15 may be 15's, 14's or 13's, newest first; one that began more than the longest a
// module may take after a request cannot be that request's.
TEST(LateAnswer, TheStepsAnAnswerMayBelongTo) {
    const StepSent walk[] = {{12, milliseconds(0)},
                             {13, milliseconds(85)},
                             {14, milliseconds(170)},
                             {15, milliseconds(255)}};
    struct Row {
        milliseconds answerAt;
        milliseconds longest;
        std::vector<std::pair<int, int>> retries; // step, wait in ms
    };
    const Row rows[] = {
        {milliseconds(285), milliseconds(1000), {{15, 80}, {14, 250}, {13, 420}, {12, 590}}},
        {milliseconds(285), milliseconds(150), {{15, 80}, {14, 250}}},
        // an answer that took long: the requests before 14 went out too early for it
        {milliseconds(1100), milliseconds(1000), {{15, 1710}, {14, 1880}}},
    };
    for (const Row& row : rows) {
        const auto retries = StepsALateAnswerMayBelongTo(walk, row.answerAt, row.longest);
        std::vector<std::pair<int, int>> got;
        for (const StepRetry& r : retries)
            got.emplace_back(r.step, static_cast<int>(r.wait.count()));
        EXPECT_EQ(got, row.retries) << row.answerAt.count();
    }
    EXPECT_TRUE(StepsALateAnswerMayBelongTo({}, milliseconds(5), milliseconds(1000)).empty());
    const StepSent first[] = {{1, milliseconds(0)}};
    const auto alone = StepsALateAnswerMayBelongTo(first, milliseconds(30), milliseconds(1000));
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].step, 1);
    EXPECT_EQ(alone[0].wait, milliseconds(80));
}
