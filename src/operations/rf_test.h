// The RF test group: start and end the transmit test, the set-all chain that ends in one, and
// the calibration of the working frequency through a capacitance value.
#pragma once

#include "core/answer.h"
#include "form/globals.h"

#include <string>

class CommandSequence;
class ParameterCommands;
class StatusPanels;
namespace Ui {
class TForm1;
}

// What the group reads and changes of the session.
struct RfTestState : SessionLanguage {
    int& AppState;
    std::string& SequenceMode;
    bool& ChainSetAll;
};

class RfTest {
public:
    // The chain's first step is the air protocol write of `parameters`.
    RfTest(Ui::TForm1& ui, const RfTestState& state, CommandSequence& sequence,
           StatusPanels& status, ParameterCommands& parameters);

    // Start the transmit test (button and menu; StartTxTest is also the chain's last step).
    void SpeedButton14Click();
    void StartTxTest();
    // End it (button and menu).
    void SpeedButton15Click();
    // The set-all chain: air protocol, serial number, all parameters, transmit test, each
    // started by the answer to the one before.
    void SpeedButton38Click();
    // Calibrate with the capacitance value of Edit18.
    void SpeedButton40Click();
    // The sequence timer's tick after a successful search: the start test pressed during the
    // search goes again, if it is the pending action.
    void SetTxTest();

private:
    void Apply(const core::answer::FieldStrength& e);
    void Apply(const core::answer::PowerLevelSet& e);

    Ui::TForm1& m_ui;
    RfTestState m_state;
    CommandSequence& m_sequence;
    StatusPanels& m_status;
    ParameterCommands& m_parameters;
};
