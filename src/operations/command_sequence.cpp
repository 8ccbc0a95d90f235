#include "command_sequence.h"

#include "core/request.h"
#include "core/services.h"
#include "form/status_panels.h"
#include "serial/link.h"

#include <QWidget>
#include <utility>

namespace {
// The air protocol, the serial number, all parameters, the TX test's start.
constexpr int kChainSteps = 4;
// Chain steps wait this long before the next operation; the step after writing all parameters
// waits TestDelayTime instead.
constexpr int kChainPauseMs = 10;
} // namespace

CommandSequence::CommandSequence(const SequenceState& state, core::Dialogs& dialogs,
                                 core::Later& later, StatusPanels& status, serial::Link& link)
    : m_state(state), m_dialogs(dialogs), m_status(status), m_link(link), m_later(later) {}

CommandSequence::~CommandSequence() {
    m_later.Cancel(m_waitingStep);
}

bool CommandSequence::StartOperation() {
    if (m_state.AppState == StatePairReply || m_state.AppState == StatePairTimed) {
        m_dialogs.Warning(m_state.Message(core::TextId::kStopPairTest));
        return false;
    }
    if (PortHeld())
        return false;
    EndWaitingChain();
    return true;
}

void CommandSequence::EndWaitingChain() {
    if (!m_inChainStep)
        EndChain();
}

void CommandSequence::EndChain() {
    m_state.ChainSetAll = false;
    m_later.Cancel(std::exchange(m_waitingStep, 0));
    // Another operation's progress, a search's, stays.
    if (std::exchange(m_chainSteps, 0) > 0)
        m_status.HideProgress();
}

void CommandSequence::RunChainStep(const std::function<void()>& step) {
    // A step's warning box lets the receive poll run, and so perhaps the next step, inside it.
    const bool outer = std::exchange(m_inChainStep, true);
    ++m_chainSteps;
    m_status.ShowProgress(Text(core::TextId::kSetAllStep).arg(m_chainSteps).arg(kChainSteps),
                          m_chainSteps - 1, kChainSteps);
    const int sends = m_sends;
    step();
    m_inChainStep = outer;
    if (m_sends == sends)
        m_status.HideProgress();
}

void CommandSequence::RunChainStepAfter(int ms, std::function<void()> step) {
    m_later.Cancel(m_waitingStep);
    m_waitingStep = m_later.After(ms, [this, step = std::move(step)] {
        m_waitingStep = 0;
        // A search or another operation may have ended the chain during the pause.
        if (m_state.ChainSetAll)
            RunChainStep(step);
    });
}

core::Framing CommandSequence::FramingOf(const core::Command& command) const {
    return core::FramingFor(command, m_state.VariantType);
}

bool CommandSequence::Send(const core::Command& command, core::Framing framing,
                           std::string_view payload, const OperationTexts& texts,
                           std::string_view id) {
    if (SendQuietly(command, framing, payload, id)) {
        m_state.AppState = StateCommand;
        m_status.Set(2, Text(texts.progress));
        return true;
    }
    m_status.Set(2, Text(texts.failureStatus));
    m_dialogs.Warning(m_state.Message(texts.failureBox));
    return false;
}

bool CommandSequence::SendQuietly(const core::Command& command, core::Framing framing,
                                  std::string_view payload, std::string_view id) {
    const core::Request request = core::BuildRequest(command, framing, payload, id);
    m_state.LastCommand = request.pendingCommand;
    if (!m_link.Send(m_state.Line.CurrentPort, request))
        return false;
    ++m_sends;
    return true;
}

void CommandSequence::OnChainStep(core::ChainNext step, std::function<void()> run) {
    m_stepRuns.at(static_cast<std::size_t>(step)) = std::move(run);
}

void CommandSequence::Take(const core::AnswerResult& result) {
    if (!result.textAfter)
        ShowStatus(result);
    if (const auto& effect = m_effects[result.event.index()])
        effect(result.event);
    if (result.textAfter)
        ShowStatus(result);
    if (result.endsChain && m_state.ChainSetAll)
        EndChain();
    if (result.chain && m_state.ChainSetAll)
        RunChainStepAfter(result.chain->testDelay ? m_state.TestDelayTime : kChainPauseMs,
                          m_stepRuns.at(static_cast<std::size_t>(result.chain->next)));
}

void CommandSequence::ShowStatus(const core::AnswerResult& result) {
    if (const char* text = core::AnswerText(result, m_state.Texts()))
        m_status.Set(2, QString::fromUtf8(text));
}

void CommandSequence::SetStatus(core::TextId text) {
    m_status.Set(2, Text(text));
}

void CommandSequence::AppendStatus(core::TextId text) {
    m_status.Set(2, m_status.Text(2) + Text(text));
}

void CommandSequence::Refuse(core::TextId message, QWidget* focus) {
    m_dialogs.Warning(m_state.Message(message));
    if (focus != nullptr)
        focus->setFocus();
}

QString CommandSequence::Text(core::TextId text) const {
    return QString::fromUtf8(m_state.Message(text));
}
