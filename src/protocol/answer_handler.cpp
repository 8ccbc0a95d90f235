#include "answer_handler.h"

#include "app/context.h"
#include "core/models.h"
#include "core/services.h"
#include "form/status_panels.h"
#include "memo_log.h"
#include "operations/serial_number_group.h"
#include "serial/dialog/port_dialog.h"
#include "ui_main_window.h"

#include <variant>

namespace {

using T = core::TextId;

// Chain steps wait this long before the next operation, the step after writing all parameters
// waits TestDelayTime instead.
constexpr int kChainPauseMs = 10;

} // namespace

AnswerHandler::AnswerHandler(Context& ctx, serial::Link& link) : m_ctx(ctx), m_link(link) {}

void AnswerHandler::HandleAnswer5A5A(const std::string& text) {
    Handle(text, core::Framing::k5A5A);
}

void AnswerHandler::HandleAnswerEDED(const std::string& text) {
    Handle(text, core::Framing::kEDED);
}

void AnswerHandler::Handle(const std::string& text, core::Framing handler) {
    const core::AnswerResult result = core::AcceptAnswer(text, handler, m_ctx.g.LastCommand);
    if (!result.textAfter)
        ShowStatus(result.text, result.chineseOnly);
    std::visit([this](const auto& event) { Apply(event); }, result.event);
    if (result.textAfter)
        ShowStatus(result.text, result.chineseOnly);
    if (result.endsChain)
        m_ctx.g.ChainSetAll = false;
    if (result.chain && m_ctx.g.ChainSetAll)
        RunChainStep(*result.chain);
}

void AnswerHandler::RunChainStep(core::ChainStep step) {
    m_ctx.pause.Sleep(step.testDelay ? m_ctx.g.TestDelayTime : kChainPauseMs);
    switch (step.next) {
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
}

void AnswerHandler::LogLine(const QString& line) {
    AddMemoLine(m_ctx.ui.Memo2, line);
}

void AnswerHandler::ShowStatus(std::optional<core::TextId> text, bool chineseOnly) {
    if (!text)
        return;
    const char* shown = chineseOnly ? core::ChineseText(*text) : m_ctx.g.Message(*text);
    m_ctx.status.Set(2, QString::fromUtf8(shown));
}

void AnswerHandler::AppendStatus(core::TextId text) {
    m_ctx.status.Set(2, m_ctx.status.Text(2) + QString::fromUtf8(m_ctx.g.Message(text)));
}

int AnswerHandler::ModelIndexFromCode(const std::string& code) {
    const int position = core::ModelIndexFromCode(code);
    if (position >= 0)
        m_ctx.g.ModuleModelName = core::AnswerModelName(position, m_ctx.g.ModelListVariant);
    return position;
}

int AnswerHandler::FindBaseFrequency(const QString& text) const {
    return m_ctx.ui.ComboBox16->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

void AnswerHandler::ReopenPort(int rateCode, int parityCode) {
    if (m_ctx.frmPortSet != nullptr)
        m_ctx.frmPortSet->ReopenPort(rateCode, parityCode);
}

void AnswerHandler::ChainWriteSerialNumber() {
    m_ctx.serialNumber->SpeedButton25Click();
}

void AnswerHandler::ChainWriteAll() {}

void AnswerHandler::ChainStartTxTest() {}
