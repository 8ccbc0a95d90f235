// The radio search: walks the open port through the search's line settings, writing the search
// request at each, until a module answers, all were tried, or the operator stops it. The
// answer itself is taken by the answer handler, which sets ModuleFound.
#pragma once

#include "form/globals.h"

#include <QString>

class QTimer;
class StatusPanels;
class TfrmPortSet;
namespace core {
class Dialogs;
}
namespace serial {
class Link;
}
namespace Ui {
class TForm1;
}

// What the search reads and changes of the session.
struct SearchState : SessionLanguage {
    int& AppState;
    std::string& SequenceMode;
    bool& ChainSetAll;
    std::string& ModuleBaseFrequency;
    bool& ModuleFound;
    core::SearchWalk& Search;
    const core::LineSettings& Line;
};

// The timers the search drives: its own step timer, and the one that carries out the action
// pending after a successful search.
struct SearchTimers {
    QTimer& step;
    QTimer& sequence;
};

class RadioSearch {
public:
    RadioSearch(Ui::TForm1& ui, const SearchState& state, TfrmPortSet& portDialog,
                core::Dialogs& dialogs, StatusPanels& status, serial::Link& link,
                SearchTimers timers);

    // The plain search of the toolbar and menu: no guard (it also takes the link back from a
    // pair test), no pending action, and no set-all chain still waiting for an answer.
    void SpeedButton20Click();
    // The operator's stop; the port stays at the step last tried.
    void SpeedButton30Click();
    // The start every caller shares, from the port dialog's current setting; the caller has
    // set SequenceMode and AppState. True when the first request was written.
    bool StartSearch();
    // One tick of the step timer: the next try, or the end of the search.
    void Timer4Timer();

private:
    // Re-configures the port to `step` (1..21; kPortsOwnSetting leaves it) and writes the
    // search request. True when the request was written; otherwise panel 2 shows why.
    bool SearchAtStep(int step);
    void Carry(const core::SearchAction& action);
    QString Text(core::TextId id) const;

    Ui::TForm1& m_ui;
    SearchState m_state;
    TfrmPortSet& m_portDialog;
    core::Dialogs& m_dialogs;
    StatusPanels& m_status;
    serial::Link& m_link;
    SearchTimers m_timers;
};
