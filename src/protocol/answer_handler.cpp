#include "answer_handler.h"

#include "core/models.h"
#include "core/services.h"
#include "form/status_panels.h"
#include "memo_log.h"
#include "operations/serial_number_group.h"
#include "ui_main_window.h"

#include <utility>
#include <variant>

namespace {

using T = core::TextId;

// Chain steps wait this long before the next operation, the step after writing all parameters
// waits TestDelayTime instead.
constexpr int kChainPauseMs = 10;

} // namespace

AnswerHandler::AnswerHandler(Ui::TForm1& ui, const AnswerState& state, core::Dialogs& dialogs,
                             StatusPanels& status, SerialNumberGroup& serialNumber,
                             ModelCatalogue& models, std::function<void(int, int)> reopenPort,
                             CommandSequence& sequence, ChainOperations chain, serial::Link& link)
    : m_ui(ui), m_state(state), m_dialogs(dialogs), m_status(status), m_serialNumber(serialNumber),
      m_models(models), m_reopenPort(std::move(reopenPort)), m_sequence(sequence),
      m_chain(std::move(chain)), m_link(link) {}

void AnswerHandler::Take(const core::AnswerResult& result) {
    if (!result.textAfter)
        ShowStatus(result.text, result.chineseOnly);
    std::visit([this](const auto& event) { Apply(event); }, result.event);
    if (result.textAfter)
        ShowStatus(result.text, result.chineseOnly);
    if (result.endsChain && m_state.ChainSetAll)
        m_sequence.EndChain();
    if (result.chain && m_state.ChainSetAll)
        RunChainStep(*result.chain);
}

void AnswerHandler::RunChainStep(core::ChainStep step) {
    const int pauseMs = step.testDelay ? m_state.TestDelayTime : kChainPauseMs;
    m_sequence.RunChainStepAfter(pauseMs, [this, next = step.next] {
        switch (next) {
        case core::ChainNext::kWriteSerialNumber:
            ChainWriteSerialNumber();
            return;
        case core::ChainNext::kWriteAll:
            ChainWriteAll();
            return;
        case core::ChainNext::kStartTxTest:
            ChainStartTxTest();
            return;
        }
    });
}

void AnswerHandler::LogLine(const QString& line) {
    AddMemoLine(m_ui.Memo2, line);
}

void AnswerHandler::ShowStatus(std::optional<core::TextId> text, bool chineseOnly) {
    if (!text)
        return;
    const char* shown = chineseOnly ? core::ChineseText(*text) : m_state.Message(*text);
    m_status.Set(2, QString::fromUtf8(shown));
}

void AnswerHandler::AppendStatus(core::TextId text) {
    m_status.Set(2, m_status.Text(2) + QString::fromUtf8(m_state.Message(text)));
}

int AnswerHandler::ModelIndexFromCode(const std::string& code) {
    const int position = core::ModelIndexFromCode(code);
    if (position >= 0)
        m_state.ModuleModelName = core::AnswerModelName(position, m_state.ModelListVariant);
    return position;
}

int AnswerHandler::FindBaseFrequency(const QString& text) const {
    return m_ui.ComboBox16->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

void AnswerHandler::ReopenPort(int rateCode, int parityCode) {
    m_reopenPort(rateCode, parityCode);
}

void AnswerHandler::ChainWriteSerialNumber() {
    m_serialNumber.SpeedButton25Click();
}

void AnswerHandler::ChainWriteAll() {
    m_chain.writeAll();
}

void AnswerHandler::ChainStartTxTest() {
    m_chain.startTxTest();
}
