#include "rf_test.h"

#include "command_sequence.h"
#include "digit_filter.h"
#include "form/status_panels.h"
#include "parameter_commands.h"
#include "ui_main_window.h"

#include <optional>

namespace {

using T = core::TextId;

constexpr char kTxtest[] = "Txtest";

} // namespace

RfTest::RfTest(Ui::TForm1& ui, const RfTestState& state, CommandSequence& sequence,
               StatusPanels& status, ParameterCommands& parameters)
    : m_ui(ui), m_state(state), m_sequence(sequence), m_status(status), m_parameters(parameters) {
    QObject::connect(ui.SpeedButton38, &QAbstractButton::clicked, ui.SpeedButton38,
                     [this] { SpeedButton38Click(); });
    QObject::connect(ui.SpeedButton40, &QAbstractButton::clicked, ui.SpeedButton40,
                     [this] { SpeedButton40Click(); });
    // Edit18KeyPress: digits only, so no negative value can be typed.
    AcceptDigitsOnly(ui.Edit18);
    sequence.OnAnswer<core::answer::FieldStrength>([this](const auto& e) { Apply(e); });
    sequence.OnAnswer<core::answer::PowerLevelSet>([this](const auto& e) { Apply(e); });
    sequence.OnChainStep(core::ChainNext::kStartTxTest, [this] { StartTxTest(); });
}

void RfTest::SpeedButton14Click() {
    StartTxTest();
}

void RfTest::StartTxTest() {
    if (!m_sequence.StartOperation())
        return;
    // Whether or not the frame goes out, answers are taken as answers from here on.
    m_state.AppState = StateCommand;
    m_status.Set(2, m_sequence.Text(T::kStartTxTestProgress));
    // A search still running sends the start again once it found the module.
    m_state.SequenceMode = kTxtest;
    const core::Command& start = core::CommandAt(core::cmd::kStartTxTest);
    const core::Framing framing = m_sequence.FramingOf(start);
    m_sequence.Send(start, framing, core::ReadPayload(framing),
                    {T::kStartTxTestProgress, T::kStartTxTestFailStatus, T::kStartTxTestFail});
}

void RfTest::SpeedButton15Click() {
    if (!m_sequence.StartOperation())
        return;
    // As for the start: command mode whatever the write does.
    m_state.AppState = StateCommand;
    m_status.Set(2, m_sequence.Text(T::kEndTxTestEntering));
    const core::Command& end = core::CommandAt(core::cmd::kEndTxTest);
    const core::Framing framing = m_sequence.FramingOf(end);
    m_sequence.Send(end, framing, core::ReadPayload(framing),
                    {T::kEndTxTestProgress, T::kEndTxTestFailStatus, T::kEndTxTestFail});
}

void RfTest::SpeedButton38Click() {
    // Also ends an earlier chain still waiting for its answer.
    if (!m_sequence.StartOperation())
        return;
    m_state.ChainSetAll = true;
    m_sequence.RunChainStep([this] { m_parameters.WriteAirProtocol(); });
}

void RfTest::SpeedButton40Click() {
    // The value is checked before the state, so a wrong value is told even during a pair test.
    const std::string typed = m_ui.Edit18->text().toStdString();
    if (typed.empty()) {
        m_sequence.Refuse(T::kCapacitanceNull, m_ui.Edit18);
        return;
    }
    const std::optional<std::string> payload = core::CapacitancePayload(typed);
    if (!payload) {
        m_sequence.Refuse(T::kCapacitanceRange, m_ui.Edit18);
        return;
    }
    if (!m_sequence.StartOperation())
        return;
    m_sequence.Send(core::CommandAt(core::cmd::kAdjustCapacitance), core::Framing::k5A5A, *payload,
                    {T::kCapacitanceProgress, T::kCapacitanceFailStatus, T::kSetFail});
}

void RfTest::SetTxTest() {
    if (m_state.SequenceMode != kTxtest)
        return;
    m_status.Set(2, m_sequence.Text(T::kTxTestStepEntering));
    // Unlike the button's, the repeat goes in 5A5A under every variant.
    m_sequence.Send(core::CommandAt(core::cmd::kStartTxTest), core::Framing::k5A5A,
                    core::ReadPayload(core::Framing::k5A5A),
                    {T::kTxTestStepProgress, T::kTxTestStepFailStatus, T::kSetFail});
}

void RfTest::Apply(const core::answer::FieldStrength& e) {
    m_ui.Edit16->setText(QString::fromStdString(e.hex));
    m_ui.Edit17->setText(QString::number(e.value));
}

void RfTest::Apply(const core::answer::PowerLevelSet& e) {
    // Only the Chinese text carries the power value.
    if (!m_state.Texts().EnglishMessages())
        m_status.Set(2, m_status.Text(2) + QString::number(e.value));
}
