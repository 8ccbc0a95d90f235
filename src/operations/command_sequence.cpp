#include "command_sequence.h"

#include "app/context.h"
#include "core/request.h"
#include "form/status_panels.h"
#include "serial/link.h"

#include <QWidget>

CommandSequence::CommandSequence(Context& ctx, serial::Link& link) : m_ctx(ctx), m_link(link) {}

bool CommandSequence::PairTestGuard() {
    if (m_ctx.g.AppState != StatePairReply && m_ctx.g.AppState != StatePairTimed)
        return true;
    m_ctx.dialogs.Warning(m_ctx.g.Message(core::TextId::kStopPairTest));
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
    if (m_link.Send(m_ctx.g.Line.CurrentPort, request)) {
        m_ctx.g.AppState = StateCommand;
        m_ctx.status.Set(2, Text(texts.progress));
        return true;
    }
    m_ctx.status.Set(2, Text(texts.failureStatus));
    m_ctx.dialogs.Warning(m_ctx.g.Message(texts.failureBox));
    return false;
}

void CommandSequence::Refuse(core::TextId message, QWidget* focus) {
    m_ctx.dialogs.Warning(m_ctx.g.Message(message));
    if (focus != nullptr)
        focus->setFocus();
}

QString CommandSequence::Text(core::TextId text) const {
    return QString::fromUtf8(m_ctx.g.Message(text));
}
