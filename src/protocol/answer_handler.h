// Interprets a complete answer against the command last sent and updates the window.
#pragma once

#include "core/answer_frame.h"
#include "operations/command_sequence.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

struct Context;
class QComboBox;
namespace serial {
class Link;
}

class AnswerHandler {
public:
    // The serial-number read that follows a search answer leaves through `link`.
    AnswerHandler(Context& ctx, serial::Link& link);

    // 5A5A answers, and the 4040 answers of the IO commands; anything else goes to Memo2.
    void HandleAnswer5A5A(const std::string& text);
    // EDED answers under "MORVANTELIS"; 5A5A answers are passed on, other text is dropped.
    void HandleAnswerEDED(const std::string& text);
    // Model list position of a two-character model code, or -1; sets ModuleModelName on a hit.
    int ModelIndexFromCode(const std::string& code);
    // Position of the first base-frequency entry equal to `text`, or -1.
    int FindBaseFrequency(const QString& text) const;

private:
    using Effect = void (AnswerHandler::*)(const core::AnswerFrame&);
    using Next = void (AnswerHandler::*)();

    enum RowFlag : unsigned {
        kTextFirst = 0,
        kTextAfter = 1, // the status text follows the effect instead of preceding it
        kAlways = 2,    // taken whatever LastCommand holds
        kNoEDED = 4,    // the EDED handler ignores the code
    };
    // One answer code: what an accepted answer changes and what is shown either way.
    struct Row {
        std::uint8_t code;
        Effect effect;                        // nullptr: nothing changes
        std::optional<core::TextId> accepted; // none: the effect shows its own
        std::optional<core::TextId> refused;  // none: a refused answer shows nothing
        unsigned flags;
    };
    // A step of the set-all chain: after this answer, accepted or not, wait and start the next
    // operation as if its button had been clicked.
    struct ChainStep {
        core::Framing framing;
        std::uint8_t code;
        bool testDelay; // wait TestDelayTime instead of 10 ms
        Next next;
    };
    static std::span<const Row> Rows();
    static std::span<const ChainStep> ChainSteps();

    void Dispatch(const core::AnswerFrame& answer);
    void HandleAnswer4040(const core::AnswerFrame& answer);
    void LogBadChecksum(const std::string& text, core::TextId line);
    void LogLine(const QString& line);
    void ShowStatus(std::optional<core::TextId> text, bool chineseOnly = false);
    void AppendStatus(core::TextId text);
    void RunChainStep(const core::AnswerFrame& answer, std::uint8_t code);

    // Effects of accepted answers (answer_effects.cpp).
    void SearchAnswer(const core::AnswerFrame& answer);
    void SerialSettingsWritten(const core::AnswerFrame& answer);
    void SerialSettingsRead(const core::AnswerFrame& answer);
    void AirRateRead(const core::AnswerFrame& answer);
    void ChannelRead(const core::AnswerFrame& answer);
    void SerialNumberWritten(const core::AnswerFrame& answer);
    void SerialNumberAnswer(const core::AnswerFrame& answer);
    void IdRead(const core::AnswerFrame& answer);
    void AllWritten(const core::AnswerFrame& answer);
    void PowerSaveRead(const core::AnswerFrame& answer);
    void FieldStrengthRead(const core::AnswerFrame& answer);
    void PowerLevelSet(const core::AnswerFrame& answer);
    void ProtocolRead(const core::AnswerFrame& answer);
    void AllRead(const core::AnswerFrame& answer);
    void IoLineWritten(const core::AnswerFrame& answer);
    void IoLinesRead(const core::AnswerFrame& answer);

    // The operations the set-all chain starts.
    void ChainWriteSerialNumber();
    // Write all parameters and the start of the TX test are not built yet: the chain stops at
    // these two until they are.
    void ChainWriteAll();
    void ChainStartTxTest();

    void ReopenPort(int rateCode, int parityCode);

    Context& m_ctx;
    serial::Link& m_link;
};
