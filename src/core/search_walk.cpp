#include "search_walk.h"

namespace core {

namespace {

SearchAction TryStep(SearchWalk& walk, int step) {
    walk.step = step;
    if (step != kPortsOwnSetting)
        ++walk.attempts;
    return {SearchDo::Try, step, SearchStepAt(step)};
}

SearchAction End(SearchWalk& walk, SearchState state, SearchDo what) {
    walk.state = state;
    return {what, 0, {}};
}

} // namespace

SearchAction StartSearchWalk(SearchWalk& walk, int start_step) {
    const int start = start_step >= 1 && start_step <= kSearchSteps ? start_step : kPortsOwnSetting;
    walk = SearchWalk{start, 0, 0, SearchState::Walking};
    return TryStep(walk, start);
}

SearchAction TickSearchWalk(SearchWalk& walk, bool module_found) {
    if (walk.state != SearchState::Walking)
        return {};
    if (module_found)
        return End(walk, SearchState::Found, SearchDo::Found);
    if (walk.attempts >= kSearchSteps)
        return End(walk, SearchState::Failed, SearchDo::Failed);
    return TryStep(walk, walk.step >= kSearchSteps ? 1 : walk.step + 1);
}

void StopSearchWalk(SearchWalk& walk) {
    walk.state = SearchState::Stopped;
}

} // namespace core
