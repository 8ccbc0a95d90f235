// A module slower than a search step's wait answers while the walk is already at a later step,
// where it may not hear: the answer tells that a module is there, not at which step. The steps
// it may answer are asked again, each with a wait that covers the time the answer took.
#pragma once

#include <chrono>
#include <span>
#include <vector>

namespace core {

struct StepSent {
    int step;
    std::chrono::milliseconds at; // when its request went out, on any one clock
};

struct StepRetry {
    int step;
    std::chrono::milliseconds wait; // for the first byte of its answer
};

// `sent` are the walk's steps in the order tried, the last one the step the answer came at,
// which began at `answerAt`. The steps whose request went out at most `longest` before it,
// newest first, each waiting twice as long as the answer took after its request and 20 ms.
std::vector<StepRetry> StepsALateAnswerMayBelongTo(std::span<const StepSent> sent,
                                                   std::chrono::milliseconds answerAt,
                                                   std::chrono::milliseconds longest);

} // namespace core
