// The radio search: walks the open port through the search's line settings, writing the search
// request at each, until a module answers, all were tried, or the operator stops it. Its
// answer sets ModuleFound, which the next tick of the walk sees.
#pragma once

#include "core/answer.h"
#include "form/globals.h"

#include <QString>

class CommandSequence;
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

// What the search reads and changes of the session; its answer tells the module's family and
// base frequency, and starts the serial-number read that tells its model.
struct SearchState : SessionLanguage {
    int& AppState;
    std::string& SequenceMode;
    bool& ChainSetAll;
    std::string& ModuleBaseFrequency;
    bool& ModuleFound;
    std::string& ModuleFamily;
    int& ModuleModelIndex;
    bool& AutoSnRead;
    std::string& LastCommand;
    const int& ModelListVariant;
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
                CommandSequence& sequence, SearchTimers timers);

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
    // A module answered: who it is, and the serial-number read that tells its model.
    void Apply(const core::answer::SearchAnswer& e);
    QString Text(core::TextId id) const;

    Ui::TForm1& m_ui;
    SearchState m_state;
    TfrmPortSet& m_portDialog;
    core::Dialogs& m_dialogs;
    StatusPanels& m_status;
    serial::Link& m_link;
    CommandSequence& m_sequence;
    SearchTimers m_timers;
};
