// Interprets a complete answer against the command last sent and updates the window.
#pragma once

#include "core/answer.h"
#include "form/globals.h"
#include "operations/command_sequence.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

class ModelCatalogue;
class SerialNumberGroup;
class StatusPanels;
namespace core {
class Dialogs;
}
namespace serial {
class Link;
}
namespace Ui {
class TForm1;
}

// What the handler reads and changes of the session: the command awaited and the set-all chain,
// the module's identity the answers fill, the port for the automatic serial-number read, the
// pause after writing all, and the variant and language.
struct AnswerState : SessionLanguage {
    std::string& LastCommand;
    bool& ChainSetAll;
    const int& ModelListVariant;
    const int& TestDelayTime;
    const core::LineSettings& Line;
    bool& ModuleFound;
    bool& AutoSnRead;
    std::string& ModuleFamily;
    std::string& ModuleModelName;
    std::string& ModuleBaseFrequency;
    int& ModuleModelIndex;
};

// The set-all chain's steps that belong to subsystems made after the handler.
struct ChainOperations {
    std::function<void()> writeAll;
    std::function<void()> startTxTest;
};

class AnswerHandler {
public:
    // The serial-number read that follows a search answer leaves through `link`; answers with
    // the module's serial settings move the port to them through `reopenPort` (rate code,
    // parity code); the set-all chain's steps run through `sequence` as the chain's own.
    AnswerHandler(Ui::TForm1& ui, const AnswerState& state, core::Dialogs& dialogs,
                  StatusPanels& status, SerialNumberGroup& serialNumber, ModelCatalogue& models,
                  std::function<void(int, int)> reopenPort, CommandSequence& sequence,
                  ChainOperations chain, serial::Link& link);

    // An answer as the exchange read it against LastCommand: 5A5A answers and the 4040 answers
    // of the IO commands, EDED answers under "MORVANTELIS"; anything else goes to Memo2.
    void Take(const core::AnswerResult& result);
    // Model list position of a two-character model code, or -1; sets ModuleModelName on a hit.
    int ModelIndexFromCode(const std::string& code);
    // Position of the first base-frequency entry equal to `text`, or -1.
    int FindBaseFrequency(const QString& text) const;

private:
    void LogLine(const QString& line);
    void ShowStatus(std::optional<core::TextId> text, bool chineseOnly = false);
    void AppendStatus(core::TextId text);
    void RunChainStep(core::ChainStep step);

    // What each event changes in the window (answer_effects.cpp).
    void Apply(const core::answer::SearchAnswer& e);
    void Apply(const core::answer::SerialSettingsWritten& e);
    void Apply(const core::answer::SerialSettingsRead& e);
    void Apply(const core::answer::SettingRead& e);
    void Apply(const core::answer::SerialNumberWritten& e);
    void Apply(const core::answer::SerialNumber& e);
    void Apply(const core::answer::AllWritten& e);
    void Apply(const core::answer::FieldStrength& e);
    void Apply(const core::answer::PowerLevelSet& e);
    void Apply(const core::answer::AllRead& e);
    void Apply(const core::answer::IoLineWritten& e);
    void Apply(const core::answer::IoLinesRead& e);
    void Apply(const core::answer::BadChecksum& e);
    void Apply(const core::answer::NotAFrame& e);
    // Acknowledgements, refusals, unknown codes and dropped text change nothing.
    void Apply(const core::answer::Acknowledged&) {}
    void Apply(const core::answer::Refused&) {}
    void Apply(const core::answer::Ignored&) {}
    void Apply(const core::answer::Dropped&) {}

    // The operations the set-all chain starts.
    void ChainWriteSerialNumber();
    void ChainWriteAll();
    void ChainStartTxTest();

    void ReopenPort(int rateCode, int parityCode);

    Ui::TForm1& m_ui;
    AnswerState m_state;
    core::Dialogs& m_dialogs;
    StatusPanels& m_status;
    SerialNumberGroup& m_serialNumber;
    ModelCatalogue& m_models;
    std::function<void(int, int)> m_reopenPort;
    CommandSequence& m_sequence;
    ChainOperations m_chain;
    serial::Link& m_link;
};
