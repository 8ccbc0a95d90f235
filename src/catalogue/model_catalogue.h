// The model and base-frequency lists, the gating of the groups by model, and the channel,
// rate and frequency lists that follow from them.
#pragma once

#include "catalogue/event_hook.h"
#include "core/texts.h"
#include "form/globals.h"

#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
namespace core {
class Dialogs;
}
namespace Ui {
class TForm1;
}

// What the catalogue reads and changes of the session: the module's identity as the answers
// left it, the selections kept for a read or a write-all, the channel frequency table it builds,
// and the variant and language.
struct CatalogueState : SessionLanguage {
    const bool& AutoSnRead;
    const std::string& ModuleBaseFrequency;
    int& ModuleModelIndex;
    int& PreviousModelIndex;
    int& SavedBaseFrequencyIndex;
    const core::SelectionsSnapshot& SavedSelections;
    const std::string& SequenceMode;
    std::array<std::string, 20>& ChannelFrequencyTable;
};

class ModelCatalogue {
public:
    ModelCatalogue(Ui::TForm1& ui, const CatalogueState& state, core::Dialogs& dialogs);

    // Both model lists (ComboBox15 and the serial number's ComboBox11) with the 36 names:
    // "QX861" for variant 1, "NUV861" for 2, "861" for any other.
    void FillModelLists(int modelListVariant);

    // The model list's selection changed (by the operator or by a serial-number answer):
    // rebuilds the base-frequency, channel and rate lists and the frequency table, gates the
    // optional groups. ComboBox15Click is the operator's way here.
    void ModelChosen();
    void ComboBox15Click();
    // The base-frequency list got the focus: remember its selection for a declined change.
    void ComboBox16Enter();
    // The base-frequency list's selection changed: a change away from the module's own one asks
    // first. ComboBox16Click is the operator's way here.
    void BaseFrequencyChosen();
    void ComboBox16Click();
    // Selects the first base frequency equal to `text`; no selection when none is.
    void SelectBaseFrequency(const std::string& text);
    // The QX871 base-station box: rewrites the TX/RX table.
    void CheckBox5Click();
    // The channel list's selection changed: shows its frequency (and the RX frequency where the
    // model has one). ComboBox4Click is the operator's way here.
    void ChannelChosen();
    void ComboBox4Click();

    void FillChannelList(int count, QComboBox* list);
    void FillRateList(int maximum, QComboBox* list);
    void FillChannelFrequencies(const std::string& modelText, const std::string& baseFrequency);

    // Opening an empty list warns instead; false when the list must stay closed.
    bool ComboBox4DropDown();
    bool ComboBox1DropDown();
    bool ComboBox2DropDown();

private:
    void ConnectControls();
    void ShowTxRx(bool shown);
    bool WarnIfEmpty(const QComboBox* list, core::TextId message);

    Ui::TForm1& m_ui;
    CatalogueState m_state;
    core::Dialogs& m_dialogs;
    std::vector<std::unique_ptr<EventHook>> m_hooks;
    // The base frequency the channel frequency table was last built for.
    std::string m_tableBaseFrequency;
};
