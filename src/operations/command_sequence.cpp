#include "command_sequence.h"

#include "app/context.h"
#include "app/status_panels.h"
#include "core/request.h"
#include "serial/link.h"

#include <QWidget>

namespace {

const Bilingual kStopPairTest{"Please Stop Transmiting both sides!", "请先停止对传测试!"};

} // namespace

CommandSequence::CommandSequence(Context& ctx, serial::Link& link) : m_ctx(ctx), m_link(link) {}

bool CommandSequence::PairTestGuard() {
    if (m_ctx.g.AppState != StatePairReply && m_ctx.g.AppState != StatePairTimed)
        return true;
    m_ctx.dialogs.Warning(Utf8(kStopPairTest));
    return false;
}

core::Framing CommandSequence::FramingOf(const core::Command& command) const {
    return core::FramingFor(command, m_ctx.g.VariantType);
}

bool CommandSequence::Send(const core::Command& command, core::Framing framing,
                           std::string_view payload, const OperationTexts& texts,
                           std::string_view id) {
    const core::Request request = core::BuildRequest(command, framing, payload, id);
    m_ctx.g.LastCommand = request.pendingCommand;
    if (m_link.Send(m_ctx.g.CurrentPort, request)) {
        m_ctx.g.AppState = StateCommand;
        m_ctx.status.Set(2, Text(texts.progress));
        return true;
    }
    m_ctx.status.Set(2, Text(texts.failureStatus));
    m_ctx.dialogs.Warning(Utf8(texts.failureBox));
    return false;
}

void CommandSequence::Refuse(const Bilingual& message, QWidget* focus) {
    m_ctx.dialogs.Warning(Utf8(message));
    if (focus != nullptr)
        focus->setFocus();
}

QString CommandSequence::Text(const Bilingual& text) const {
    return QString::fromUtf8(Utf8(text));
}

std::string CommandSequence::Utf8(const Bilingual& text) const {
    return m_ctx.g.Text(text.english, text.chinese);
}
