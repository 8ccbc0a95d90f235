// The read and write buttons of the parameter groups on the first tab. Each handler runs its
// row of parameter_table.cpp through the command sequence.
#pragma once

#include "core/catalogue.h"

#include <string>
#include <string_view>

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

    // Channel and frequency.
    void SpeedButton2Click();
    void SpeedButton8Click();
    // Air data rate.
    void SpeedButton4Click();
    void SpeedButton9Click();
    // The module's serial settings.
    void SpeedButton5Click();
    void SpeedButton10Click();
    // Air protocol.
    void SpeedButton22Click();
    void SpeedButton23Click();
    // Module ID and output power.
    void SpeedButton26Click();
    void SpeedButton27Click();
    void SpeedButton33Click();
    // Power saving.
    void SpeedButton11Click();
    void SpeedButton28Click();
    void SpeedButton29Click();
    void SpeedButton39Click();
    // IO lines.
    void SpeedButton13Click();
    void SpeedButton12Click();
    void SpeedButton32Click();
    // Field strength and power level.
    void Button1Click();
    void Button2Click();

    // True when the model chosen suits the answer's list `listName` (ComboBox4, 1 or 2):
    // the list has entries, and the module's family matches the model or a model and a base
    // frequency are both chosen. Otherwise the warning, and false.
    bool ModelCheck(const char* listName);

private:
    void Run(std::string_view button);
    bool Prepare(const ParameterCommand& row);
    std::string Payload(const ParameterCommand& row, core::Framing framing) const;
    core::OperationTexts Texts(const ParameterCommand& row) const;
    std::string FieldText(const char* name) const;
    QWidget* Control(const char* name) const;

    Ui::TForm1& m_ui;
    ParameterState m_state;
    CommandSequence& m_sequence;
};
