// Read all and write all: the four basic parameters in one exchange, directly or after a radio
// search that finds the module's serial settings first.
#pragma once

#include "core/answer.h"
#include "core/session.h"
#include "core/texts.h"

#include <functional>
#include <optional>
#include <string>

class CommandSequence;
class ModelCatalogue;
class RadioSearch;
class StatusPanels;
namespace Ui {
class TForm1;
}

// What the two operations read and change of the session.
struct ReadWriteState {
    int& AppState;
    std::string& SequenceMode;
    core::SelectionsSnapshot& SavedSelections;
};

class ReadWriteAll {
public:
    // The answers move the port to the module's serial settings through `reopenPort` (rate
    // code, parity code); the channel's frequency follows its list through `models`.
    ReadWriteAll(Ui::TForm1& ui, const ReadWriteState& state, CommandSequence& sequence,
                 StatusPanels& status, RadioSearch& search, ModelCatalogue& models,
                 std::function<void(int, int)> reopenPort);

    // Read parameters (toolbar and menu).
    void SpeedButton3Click();
    // Write parameters (toolbar and menu; WriteAll is also the set-all chain's step).
    void SpeedButton21Click();
    void WriteAll();
    // The sequence timer's tick after a successful search: the pending read or write, if the
    // pending action is one.
    void RunPendingAction();

private:
    // The messages for the four empty lists, in the order they are checked.
    struct EmptyListTexts {
        core::TextId channel;
        core::TextId airRate;
        core::TextId serialRate;
        core::TextId parity;
    };

    // Shows the parameters page and passes the pair-test guard into command mode.
    bool Enter();
    void ClearParameters();
    // The write-all payload from the lists, or nothing after the warning for the first empty
    // one.
    std::optional<std::string> WritePayload(const EmptyListTexts& texts);
    void Apply(const core::answer::AllWritten& e);
    void Apply(const core::answer::AllRead& e);

    Ui::TForm1& m_ui;
    ReadWriteState m_state;
    CommandSequence& m_sequence;
    StatusPanels& m_status;
    RadioSearch& m_search;
    ModelCatalogue& m_models;
    std::function<void(int, int)> m_reopenPort;
};
