// The pair test run's results: the counters and round trips the tab shows, the run's time, and
// the run saved as CSV to the file the operator chooses.
#include "pair_test_tab.h"

#include "core/services.h"
#include "form/status_panels.h"
#include "pair_test_shown.h"
#include "ui_main_window.h"

#include <fstream>

using pair_test::Count;
using pair_test::MsBetween;

void PairTestTab::ResetCounters() {
    const PairTestState& g = m_state;
    g.Tally = core::PairTally{};
    m_ui.Edit5->setText("0");
    m_ui.Edit6->setText("0");
    m_ui.Edit7->setText("0");
    m_ui.Edit8->clear();
    m_ui.Edit9->setText("0");
}

void PairTestTab::ShowRate() {
    if (const auto rate = core::SuccessRateText(m_state.Tally))
        m_ui.Edit9->setText(QString::fromStdString(*rate));
}

void PairTestTab::ShowTrips() {
    Ui::TForm1& ui = m_ui;
    auto show = [](QLineEdit* edit, std::optional<std::int64_t> ms) {
        edit->setText(ms ? QString::number(*ms) : QString());
    };
    show(ui.EditTripLast, m_trips.Last());
    show(ui.EditTripMin, m_trips.Min());
    show(ui.EditTripMax, m_trips.Max());
    // one rounding for the window and the saved results: 69.25 is 69.2 in both
    ui.EditTripMean->setText(QString::fromStdString(m_trips.MeanText()));
    ui.EditLost->setText(Count(core::ReceiptsLost(m_state.Tally)));
}

std::int64_t PairTestTab::ElapsedMs() const {
    if (m_run == 0)
        return 0;
    return MsBetween(m_runStart, m_runEnd.value_or(std::chrono::steady_clock::now()));
}

void PairTestTab::SaveResults() {
    const PairTestState& g = m_state;
    const std::string path =
        m_services.files.Choose(g.Message(core::TextId::kSaveResultsTitle), "pair_test.csv",
                                g.Message(core::TextId::kSaveResultsFilter));
    if (path.empty())
        return;
    const std::string csv = core::PairRecordCsv(m_record, g.Tally, m_trips, ElapsedMs());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << csv;
    out.close();
    if (!out) {
        m_services.dialogs.Warning(g.Message(core::TextId::kSaveResultsFail));
        return;
    }
    m_status.Set(2, Text(core::TextId::kResultsSaved));
}
