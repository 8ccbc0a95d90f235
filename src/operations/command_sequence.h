// The sequence every operator command runs: guard, record, frame, send, report; and its other
// half, the answer taken: its status text, its effect on the group that owns it, and the set-all
// chain's next step.
#pragma once

#include "core/answer.h"
#include "core/catalogue.h"
#include "core/hex.h"
#include "core/texts.h"
#include "form/globals.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>

class QWidget;
class StatusPanels;
namespace core {
class Dialogs;
class Later;
} // namespace core
namespace serial {
class Link;
}

using OperationTexts = core::OperationTexts;

// What every command reads and changes of the session: the state it guards and sets, the
// command it records, the set-all chain a new operation ends and the pause before its step after
// writing all, the port it writes to, and the variant that picks the framing.
struct SequenceState : SessionLanguage {
    int& AppState;
    std::string& LastCommand;
    bool& ChainSetAll;
    const int& TestDelayTime;
    const core::LineSettings& Line;
};

class CommandSequence {
public:
    // Every frame leaves through `link`; the chain's pauses are timed by `later`.
    CommandSequence(const SequenceState& state, core::Dialogs& dialogs, core::Later& later,
                    StatusPanels& status, serial::Link& link);
    ~CommandSequence();
    CommandSequence(const CommandSequence&) = delete;
    CommandSequence& operator=(const CommandSequence&) = delete;

    // Every operation against the module passes here first. False, after the warning, while a
    // pair transfer test runs: its data would be taken for answers and its answers for test
    // data. Otherwise a set-all chain still waiting for an answer ends, so that the answer to
    // this operation, of the same kind perhaps, cannot continue it unasked.
    bool StartOperation();
    // While `holding` says so (after its own warning), StartOperation refuses too: an operation
    // that holds the port, the profile entries. Empty for none.
    void RefuseWhile(std::function<bool()> holding) { m_holding = std::move(holding); }
    // Whether such an operation holds the port now, after its warning: the pair test and the
    // terminal, which have no StartOperation, ask before they send.
    bool PortHeld() const { return m_holding && m_holding(); }
    // Ends a set-all chain still waiting for an answer or for its next step, unless this is
    // the chain's own step: for the operations with a guard of their own, the pair test and
    // the terminal.
    void EndWaitingChain();
    // The chain ends: nothing waits for it, and its progress goes.
    void EndChain();
    // Runs `step` as the set-all chain's own: the operation it starts keeps the chain running.
    // The chain's progress shows the step; it goes when a step sends nothing, for then no
    // answer will carry the chain on.
    void RunChainStep(const std::function<void()>& step);
    // The same `ms` from now, while the window goes on; nothing runs if the chain ended
    // meanwhile. A step still waiting gives way to this one, so a repeated answer cannot
    // start a step twice.
    void RunChainStepAfter(int ms, std::function<void()> step);

    // The framing `command` goes out in under the current variant.
    core::Framing FramingOf(const core::Command& command) const;
    // Records the command in LastCommand, writes its frame on the current port and reports:
    // on success AppState becomes command mode and panel 2 shows the progress; otherwise
    // panel 2 shows the failure and a warning box follows. `payload` must be in `framing`;
    // `id` is the 4040 target ID (four hex digits), unused by the others.
    bool Send(const core::Command& command, core::Framing framing, std::string_view payload,
              const OperationTexts& texts, std::string_view id = {});

    // Records the command and writes its frame, reporting nothing and leaving AppState as it
    // is: for the steps a timer carries out, where only the serial link's own warnings show.
    bool SendQuietly(const core::Command& command, core::Framing framing, std::string_view payload,
                     std::string_view id = {});

    // Each answer's effect belongs to the group whose command it answers: the group registers
    // for the answer's event here, once.
    template <class Event> void OnAnswer(std::function<void(const Event&)> apply) {
        m_effects[core::AnswerEvent(std::in_place_type<Event>).index()] =
            [apply = std::move(apply)](const core::AnswerEvent& event) {
                apply(std::get<Event>(event));
            };
    }
    // The set-all chain's steps, each an operation of the group that owns it.
    void OnChainStep(core::ChainNext step, std::function<void()> run);
    // An answer as the exchange read it against LastCommand: the status text before or after
    // its effect, then the chain ended or carried on.
    void Take(const core::AnswerResult& result);
    // Panel 2 shows `text`, or has it added to what it shows.
    void SetStatus(core::TextId text);
    void AppendStatus(core::TextId text);

    // A failed input check: the warning, then the keyboard focus to the control concerned.
    void Refuse(core::TextId message, QWidget* focus);

    // The text in the operator's language, chosen anew at each use.
    QString Text(core::TextId text) const;

private:
    void ShowStatus(const core::AnswerResult& result);

    SequenceState m_state;
    core::Dialogs& m_dialogs;
    StatusPanels& m_status;
    serial::Link& m_link;
    core::Later& m_later;
    bool m_inChainStep = false;
    std::uint64_t m_waitingStep = 0; // the ticket of the step that waits out its pause
    int m_chainSteps = 0;            // steps the chain has started
    int m_sends = 0;                 // frames written, to tell a step that sent one
    std::array<std::function<void(const core::AnswerEvent&)>,
               std::variant_size_v<core::AnswerEvent>>
        m_effects;
    std::array<std::function<void()>, 3> m_stepRuns; // the chain's steps, by core::ChainNext
    std::function<bool()> m_holding;
};
