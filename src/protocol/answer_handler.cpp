#include "answer_handler.h"

#include "app/context.h"
#include "app/status_panels.h"
#include "core/models.h"
#include "core/services.h"
#include "memo_log.h"
#include "operations/serial_number_group.h"
#include "serial/dialog/port_dialog.h"
#include "ui_main_window.h"

#include <algorithm>

namespace {

using T = core::TextId;

// Chain steps wait this long before the next operation, the step after writing all parameters
// waits TestDelayTime instead.
constexpr int kChainPauseMs = 10;

} // namespace

AnswerHandler::AnswerHandler(Context& ctx, serial::Link& link) : m_ctx(ctx), m_link(link) {}

void AnswerHandler::HandleAnswer5A5A(const std::string& text) {
    const core::AnswerFrame answer = core::ParseTrailerAnswer(text);
    switch (answer.check) {
    case core::AnswerCheck::kNotFrame:
        LogLine(QString::fromStdString(text));
        return;
    case core::AnswerCheck::kBadChecksum:
        LogBadChecksum(text, answer.framing == core::Framing::k4040 ? T::kIoChecksumError
                                                                    : T::kChecksumError);
        return;
    case core::AnswerCheck::kFrame:
        if (answer.framing == core::Framing::k4040)
            HandleAnswer4040(answer);
        else
            Dispatch(answer);
        return;
    }
}

void AnswerHandler::HandleAnswerEDED(const std::string& text) {
    const core::AnswerFrame answer = core::ParseEDEDAnswer(text);
    switch (answer.check) {
    case core::AnswerCheck::kNotFrame:
        // Under this variant only 5A5A answers are read besides EDED ones; the rest is noise.
        if (text.starts_with("5A5A"))
            HandleAnswer5A5A(text);
        return;
    case core::AnswerCheck::kBadChecksum:
        LogBadChecksum(text, T::kChecksumError);
        return;
    case core::AnswerCheck::kFrame:
        Dispatch(answer);
        return;
    }
}

void AnswerHandler::Dispatch(const core::AnswerFrame& answer) {
    const bool eded = answer.framing == core::Framing::kEDED;
    const auto rows = Rows();
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const Row& r) {
        return !(eded && (r.flags & kNoEDED)) &&
               answer.code == core::AnswerCode(r.code, answer.framing);
    });
    if (row == rows.end())
        return;
    // The short framing's answers to the first eight commands speak Chinese only.
    const bool chineseOnly = eded && row->code <= core::cmd::kEndTxTest;
    const bool accepted = (row->flags & kAlways) != 0 ||
                          m_ctx.g.LastCommand == core::RequestCode(row->code, core::Framing::k5A5A);
    if (accepted) {
        const bool textAfter = (row->flags & kTextAfter) != 0;
        if (!textAfter)
            ShowStatus(row->accepted, chineseOnly);
        if (row->effect != nullptr)
            (this->*row->effect)(answer);
        if (textAfter)
            ShowStatus(row->accepted, chineseOnly);
    } else {
        ShowStatus(row->refused, chineseOnly);
    }
    if (row->code == core::cmd::kStartTxTest)
        m_ctx.g.ChainSetAll = false;
    RunChainStep(answer, row->code);
}

void AnswerHandler::RunChainStep(const core::AnswerFrame& answer, std::uint8_t code) {
    if (!m_ctx.g.ChainSetAll)
        return;
    for (const ChainStep& step : ChainSteps()) {
        if (step.framing != answer.framing || step.code != code)
            continue;
        m_ctx.pause.Sleep(step.testDelay ? m_ctx.g.TestDelayTime : kChainPauseMs);
        (this->*step.next)();
        return;
    }
}

void AnswerHandler::HandleAnswer4040(const core::AnswerFrame& answer) {
    const bool write = answer.code == core::AnswerCode(core::cmd::kIoWrite, core::Framing::k4040);
    const bool read = answer.code == core::AnswerCode(core::cmd::kIoRead, core::Framing::k4040);
    if (!write && !read)
        return;
    const core::Command* command =
        core::FindCommand(write ? core::cmd::kIoWrite : core::cmd::kIoRead, true);
    if (m_ctx.g.LastCommand != core::LastCommandText(*command)) {
        ShowStatus(write ? T::kIoWriteRefused : T::kIoReadRefused);
        return;
    }
    if (write) {
        ShowStatus(T::kIoLineWritten);
        IoLineWritten(answer);
    } else {
        ShowStatus(T::kIoLinesRead);
        IoLinesRead(answer);
    }
}

void AnswerHandler::LogBadChecksum(const std::string& text, core::TextId line) {
    // Both lines in one go: a log that is full is cleared before the frame, never between the
    // frame and its verdict.
    LogLine(QString::fromStdString(text) + '\n' + QString::fromUtf8(m_ctx.g.Message(line)));
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
