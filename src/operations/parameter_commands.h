// The read and write buttons of the parameter groups on the first tab. Each button runs its
// row of parameter_table.cpp through the command sequence, and the groups show what the
// answers to their commands report.
#pragma once

#include "core/answer.h"
#include "core/catalogue.h"
#include "core/line_settings.h"

#include <functional>
#include <string>

class CommandSequence;
class ModelCatalogue;
namespace core {
struct OperationTexts;
}
struct ParameterCommand;
class QWidget;
namespace Ui {
class TForm1;
}

// What the buttons read of the session: the model list variant and the module's family; the
// line the module answered at, for its serial settings.
struct ParameterState {
    const int& ModelListVariant;
    const std::string& ModuleFamily;
    const core::LineSettings& Line;
};

class ParameterCommands {
public:
    // Answers with the module's serial settings move the port to them through `reopenPort`
    // (rate code, parity code); the channel's frequency follows its list through `models`.
    ParameterCommands(Ui::TForm1& ui, const ParameterState& state, CommandSequence& sequence,
                      ModelCatalogue& models, std::function<void(int, int)> reopenPort);

    // The buttons of the parameter groups run their rows of parameter_table.cpp when clicked;
    // the set-all chain writes the air protocol as its first step.
    void WriteAirProtocol();

    // True when the model chosen suits the answer's list `listName` (ComboBox4, 1 or 2):
    // the list has entries, and the module's family matches the model or a model and a base
    // frequency are both chosen. Otherwise the warning, and false.
    bool ModelCheck(const char* listName);

private:
    void Run(const ParameterCommand& row);
    bool Prepare(const ParameterCommand& row);
    std::string Payload(const ParameterCommand& row, core::Framing framing) const;
    core::OperationTexts Texts(const ParameterCommand& row) const;
    std::string FieldText(const char* name) const;
    QWidget* Control(const char* name) const;

    // What the answers to the groups' commands change (parameter_answers.cpp).
    void Apply(const core::answer::SerialSettingsWritten& e);
    void Apply(const core::answer::SerialSettingsRead& e);
    void Apply(const core::answer::SettingRead& e);
    void Apply(const core::answer::IoLineWritten& e);
    void Apply(const core::answer::IoLinesRead& e);

    Ui::TForm1& m_ui;
    ParameterState m_state;
    CommandSequence& m_sequence;
    ModelCatalogue& m_models;
    std::function<void(int, int)> m_reopenPort;
};
