#include "late_answer.h"

namespace core {

namespace {

// Scheduling of the PC and a USB adapter's burst timer.
constexpr std::chrono::milliseconds kMargin(20);

} // namespace

std::vector<StepRetry> StepsALateAnswerMayBelongTo(std::span<const StepSent> sent,
                                                   std::chrono::milliseconds answerAt,
                                                   std::chrono::milliseconds longest) {
    std::vector<StepRetry> retries;
    for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
        const std::chrono::milliseconds took = answerAt - it->at;
        if (took > longest)
            break;
        retries.push_back({it->step, 2 * took + kMargin});
    }
    return retries;
}

} // namespace core
