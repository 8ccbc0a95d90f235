// The radio search as a step machine: the search timer ticks it and carries out what it answers
// (re-configure the port and write the search request, or end the search).
#pragma once

#include "search_steps.h"

namespace core {

enum class SearchState { Idle, Walking, Found, Failed, Stopped };

struct SearchWalk {
    int start_step = 1; // where the walk began; 0: at the port's own setting
    int step = 0;       // step last tried
    int attempts = 0;   // steps tried, each once
    SearchState state = SearchState::Idle;
};

enum class SearchDo {
    Try,     // re-configure the port to `line` and write the search request
    Found,   // stop the timer; a pending sequence moves on
    Failed,  // stop the timer and report that no module answered
    Nothing, // the walk is not running: a late tick does nothing
};

// Step 0 of a Try: the port stays as it is (a setting the walk does not hold, such as 57600)
// and the request goes out there.
inline constexpr int kPortsOwnSetting = 0;

struct SearchAction {
    SearchDo what = SearchDo::Nothing;
    int step = 0;      // the step to try for Try: 1..21, or kPortsOwnSetting
    SearchStep line{}; // that step's list positions and line-setting codes (all -1 for step 0)
};

// A new walk and its first try, made at once. Start step 0 means the port dialog shows no
// setting of the search (no selection, or a rate such as 57600): the first try is made at the
// port's own setting, where a module the port already talks to answers at once, and counts as
// none of the 21; the walk then goes on at step 1 and tries all 21. Steps outside 0..21 are
// treated as 0.
SearchAction StartSearchWalk(SearchWalk& walk, int start_step);

// One tick of the search timer. `module_found` is whether a search answer has arrived since the
// walk began. The walk goes up from its start, wraps from 21 to 1, and fails at the tick after
// its 21st try.
SearchAction TickSearchWalk(SearchWalk& walk, bool module_found);

// The operator stops the search; later ticks do nothing and the port keeps the step last tried.
void StopSearchWalk(SearchWalk& walk);

} // namespace core
