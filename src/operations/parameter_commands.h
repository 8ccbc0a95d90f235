// The read and write buttons of the parameter groups on the first tab. Each button runs its
// row of parameter_table.cpp through the command sequence.
#pragma once

#include "core/catalogue.h"

#include <string>

class CommandSequence;
namespace core {
struct OperationTexts;
}
struct ParameterCommand;
class QWidget;
namespace Ui {
class TForm1;
}

// What the buttons read of the session: the model list variant and the module's family.
struct ParameterState {
    const int& ModelListVariant;
    const std::string& ModuleFamily;
};

class ParameterCommands {
public:
    ParameterCommands(Ui::TForm1& ui, const ParameterState& state, CommandSequence& sequence);

    // The buttons of the parameter groups run their rows of parameter_table.cpp when clicked;
    // the set-all chain writes the air protocol as its first step.
    void SpeedButton23Click();

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

    Ui::TForm1& m_ui;
    ParameterState m_state;
    CommandSequence& m_sequence;
};
