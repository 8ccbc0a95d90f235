#include "command_sequence.h"

#include "app/context.h"
#include "app/status_panels.h"
#include "core/frame.h"
#include "serial/commfunction.h"

#include <QWidget>

namespace {

const Bilingual kStopPairTest{"Please Stop Transmiting both sides!", "请先停止对传测试!"};

// Every 5A5A request carries the address 0000, every 4040 request the attribute A6.
constexpr std::string_view kAddress = "0000";
constexpr std::string_view kAttribute = "A6";

} // namespace

CommandSequence::CommandSequence(Context& ctx) : m_ctx(ctx) {}

bool CommandSequence::PairTestGuard() {
    if (m_ctx.g.AppState != StatePairReply && m_ctx.g.AppState != StatePairTimed)
        return true;
    m_ctx.dialogs.Warning(Utf8(kStopPairTest));
    return false;
}

core::Framing CommandSequence::FramingOf(const core::Command& command) const {
    return core::FramingFor(command, m_ctx.g.VariantType);
}

core::Bytes CommandSequence::Frame(const core::Command& command, core::Framing framing,
                                   std::string_view payload, std::string_view id) {
    const std::string code = core::RequestCode(command.code, framing);
    switch (framing) {
    case core::Framing::kEDED:
        return core::BuildFrameEDED(code, payload);
    case core::Framing::k4040:
        return core::BuildFrame4040(id, kAttribute, code, payload);
    case core::Framing::k5A5A:
        break;
    }
    return core::BuildFrame5A5A(kAddress, code, payload);
}

bool CommandSequence::Send(const core::Command& command, core::Framing framing,
                           std::string_view payload, const OperationTexts& texts,
                           std::string_view id) {
    m_ctx.g.LastCommand = core::LastCommandText(command);
    const core::Bytes frame = Frame(command, framing, payload, id);
    if (m_ctx.CommFun.SendData(m_ctx.g.CurrentPort, frame, static_cast<int>(frame.size()))) {
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
