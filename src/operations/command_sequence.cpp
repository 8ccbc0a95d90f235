#include "command_sequence.h"

#include "core/request.h"
#include "form/status_panels.h"
#include "serial/link.h"

#include <QWidget>

CommandSequence::CommandSequence(Globals& g, core::Dialogs& dialogs, StatusPanels& status,
                                 serial::Link& link)
    : m_g(g), m_dialogs(dialogs), m_status(status), m_link(link) {}

bool CommandSequence::PairTestGuard() {
    if (m_g.AppState != StatePairReply && m_g.AppState != StatePairTimed)
        return true;
    m_dialogs.Warning(m_g.Message(core::TextId::kStopPairTest));
    return false;
}

core::Framing CommandSequence::FramingOf(const core::Command& command) const {
    return core::FramingFor(command, m_g.VariantType);
}

bool CommandSequence::Send(const core::Command& command, core::Framing framing,
                           std::string_view payload, const OperationTexts& texts,
                           std::string_view id) {
    const core::Request request = core::BuildRequest(command, framing, payload, id);
    m_g.LastCommand = request.pendingCommand;
    if (m_link.Send(m_g.Line.CurrentPort, request)) {
        m_g.AppState = StateCommand;
        m_status.Set(2, Text(texts.progress));
        return true;
    }
    m_status.Set(2, Text(texts.failureStatus));
    m_dialogs.Warning(m_g.Message(texts.failureBox));
    return false;
}

void CommandSequence::Refuse(core::TextId message, QWidget* focus) {
    m_dialogs.Warning(m_g.Message(message));
    if (focus != nullptr)
        focus->setFocus();
}

QString CommandSequence::Text(core::TextId text) const {
    return QString::fromUtf8(m_g.Message(text));
}
