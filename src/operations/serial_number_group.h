// The factory serial number group: read, write, the running number and the parameter lock;
// the serial number answer, which also tells the module's model and ends a search.
#pragma once

#include "catalogue/event_hook.h"
#include "core/answer.h"
#include "core/session.h"
#include "form/globals.h"

#include <memory>
#include <string>
#include <vector>

class CommandSequence;
class ModelCatalogue;
class QKeyEvent;
namespace core {
class Dialogs;
}
namespace Ui {
class TForm1;
}

// What the group reads and changes of the session: a read forgets the module's model and
// keeps the list selections for the answer, which tells the model again, and after a search
// the base frequency the search answer gave; a write records its command; the start directory
// holds Config.ini.
struct SerialNumberState : SessionLanguage {
    bool& AutoSnRead;
    std::string& LastCommand;
    int& ModuleModelIndex;
    std::string& ModuleModelName;
    const std::string& ModuleBaseFrequency;
    const int& ModelListVariant;
    int& PreviousModelIndex;
    core::SelectionsSnapshot& SavedSelections;
    const std::string& StartDir;
};

class SerialNumberGroup {
public:
    // The answer selects the module's model and base frequency through `models`.
    SerialNumberGroup(Ui::TForm1& ui, const SerialNumberState& state, CommandSequence& sequence,
                      ModelCatalogue& models, core::Dialogs& dialogs);

    // Read (800B): empties the four fields, which the answer fills.
    void SpeedButton24Click();
    // Write (800A) from the four fields, after checking each of them; also the set-all chain's
    // step.
    void SpeedButton25Click();
    void WriteSerialNumber();

    // The running number one up (at most 65534) or one down (at least 0).
    void SnIncrement();
    void SnDecrement();
    // Up and Down arrows step the running number; true when the key was one of them.
    bool Edit2KeyDown(const QKeyEvent& key);
    void SpinButton1UpClick();
    void SpinButton1DownClick();
    // Leaving the running number pads it with zeros to five digits.
    void Edit2Exit();
    // The lock greys the model, date and parameter lists; numbers and buttons stay usable.
    void CheckBox4Click();

    // Config.ini keeps the four fields after a write the module accepted.
    void SaveSerialNoFields();

private:
    void ConnectControls();
    void StepRunningNumber(int delta);
    void Apply(const core::answer::SerialNumberWritten& e);
    void Apply(const core::answer::SerialNumber& e);

    Ui::TForm1& m_ui;
    SerialNumberState m_state;
    CommandSequence& m_sequence;
    ModelCatalogue& m_models;
    core::Dialogs& m_dialogs;
    std::vector<std::unique_ptr<EventHook>> m_hooks;
};
