#include "radio_search.h"

#include "command_sequence.h"
#include "core/catalogue.h"
#include "core/models.h"
#include "core/request.h"
#include "core/search_steps.h"
#include "core/services.h"
#include "form/pages.h"
#include "form/status_panels.h"
#include "port_dialog/port_dialog.h"
#include "serial/link.h"
#include "ui_main_window.h"

#include <QTimer>

RadioSearch::RadioSearch(Ui::TForm1& ui, const SearchState& state, TfrmPortSet& portDialog,
                         core::Dialogs& dialogs, StatusPanels& status, serial::Link& link,
                         CommandSequence& sequence, SearchTimers timers)
    : m_ui(ui), m_state(state), m_portDialog(portDialog), m_dialogs(dialogs), m_status(status),
      m_link(link), m_sequence(sequence), m_timers(timers) {
    sequence.OnAnswer<core::answer::SearchAnswer>([this](const auto& e) { Apply(e); });
}

void RadioSearch::SpeedButton20Click() {
    m_state.AppState = StateCommand;
    m_status.Set(2, Text(core::TextId::kSearching));
    // A pending read or write of an earlier, aborted search must not run after this one.
    m_state.SequenceMode.clear();
    m_state.ChainSetAll = false;
    m_state.ModuleBaseFrequency.clear();
    if (StartSearch())
        ShowPageQuietly(m_ui.PageControl1, 0);
}

void RadioSearch::SpeedButton30Click() {
    m_timers.step.stop();
    m_status.HideProgress();
    core::StopSearchWalk(m_state.Search);
    m_status.Set(2, Text(core::TextId::kSearchStopped));
}

bool RadioSearch::StartSearch() {
    // A pending action of an earlier search, found but not yet carried out, would otherwise go
    // out in the middle of this walk.
    m_timers.sequence.stop();
    m_state.ModuleFound = false;
    if (m_portDialog.FixedLine()) {
        m_status.Set(2, Text(core::TextId::kSearchFail));
        m_dialogs.Warning(m_state.Message(core::TextId::kRawSocketSearch));
        return false;
    }
    const core::SearchAction first =
        core::StartSearchWalk(m_state.Search, m_portDialog.SearchStartStep());
    if (!SearchAtStep(first.step)) {
        m_status.HideProgress();
        return false;
    }
    m_timers.step.start();
    return true;
}

void RadioSearch::Timer4Timer() {
    Carry(core::TickSearchWalk(m_state.Search, m_state.ModuleFound));
}

void RadioSearch::Carry(const core::SearchAction& action) {
    switch (action.what) {
    case core::SearchDo::Try:
        // A step that fails leaves its text in panel 2; the walk goes on at the next tick.
        SearchAtStep(action.step);
        return;
    case core::SearchDo::Found:
        m_timers.step.stop();
        m_status.HideProgress();
        if (!m_state.SequenceMode.empty())
            m_timers.sequence.start();
        return;
    case core::SearchDo::Failed:
        m_timers.step.stop();
        m_status.HideProgress();
        m_status.Set(2, Text(core::TextId::kSearchFail));
        m_dialogs.Warning(m_state.Message(core::TextId::kNotSearched));
        return;
    case core::SearchDo::Nothing:
        return;
    }
}

bool RadioSearch::SearchAtStep(int step) {
    const std::string setting = step == core::kPortsOwnSetting
                                    ? m_state.Message(core::TextId::kSearchOwnSetting)
                                    : core::SearchStepText(step);
    m_status.ShowProgress(Text(core::TextId::kSearchTry)
                              .arg(m_state.Search.attempts)
                              .arg(core::kSearchSteps)
                              .arg(QString::fromStdString(setting)),
                          m_state.Search.attempts, core::kSearchSteps);
    // At the port's own setting the port stays as it is, dialog and panel 1 included.
    const bool set =
        step == core::kPortsOwnSetting || m_portDialog.ApplySearchStep(core::SearchStepAt(step));
    // The answer is taken whatever LastCommand holds, so the search does not record itself.
    const core::Command& search = core::CommandAt(core::cmd::kSearch);
    const core::Framing framing = core::FramingFor(search, m_state.VariantType);
    const core::Request request =
        core::BuildRequest(search, framing, framing == core::Framing::kEDED ? "00" : "0000");
    if (!set || !m_link.Send(m_state.Line.CurrentPort, request)) {
        m_status.Set(2, Text(core::TextId::kSearchError));
        return false;
    }
    return true;
}

void RadioSearch::Apply(const core::answer::SearchAnswer& e) {
    const SearchState& g = m_state;
    Ui::TForm1& ui = m_ui;
    g.ModuleFound = true;
    for (QWidget* read : {ui.SpeedButton2, ui.SpeedButton4, ui.SpeedButton5})
        read->setEnabled(true);
    g.ModuleFamily = core::FamilyText(e.family, g.ModelListVariant);
    if (g.ModelListVariant == 1)
        m_status.Set(3,
                     QString::fromStdString(g.ModuleFamily + core::FirmwareVersionText(e.version)));
    g.ModuleBaseFrequency = core::BaseFrequencyText(e.baseFrequencyCode);
    // 2.4 GHz modules report their base frequency, but the model read still has to tell it.
    if (e.baseFrequencyCode >= 1 && e.baseFrequencyCode <= 5)
        m_sequence.AppendStatus(core::TextId::kModelRead);
    // The model and the base frequency follow from the serial number, read at once.
    g.ModuleModelIndex = -1;
    const core::Request read =
        core::BuildRequest(core::CommandAt(core::cmd::kReadSerialNumber), core::Framing::k5A5A,
                           core::ReadPayload(core::Framing::k5A5A));
    g.LastCommand = read.pendingCommand;
    g.AutoSnRead = true;
    m_link.Send(g.Line.CurrentPort, read);
}

QString RadioSearch::Text(core::TextId id) const {
    return QString::fromUtf8(m_state.Message(id));
}
