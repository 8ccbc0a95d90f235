// The data communication terminal: operator-typed data goes to the port raw, and what the module
// delivers shows in ASCII or hex (the receive poll writes it). Also the rules of changing tabs,
// which move the tool into and out of the pair test and the terminal.
#pragma once

#include "form/globals.h"

#include <QString>
#include <memory>
#include <vector>

class CommandSequence;
class EventHook;
class PairTestTab;
class QKeyEvent;
class StatusPanels;
namespace core {
class Dialogs;
}
namespace Ui {
class TForm1;
}

struct TerminalState : SessionLanguage {
    int& AppState;
};

class DataTerminal {
public:
    DataTerminal(Ui::TForm1& ui, const TerminalState& state, core::Dialogs& dialogs,
                 StatusPanels& status, PairTestTab& pairTest, CommandSequence& sequence);
    ~DataTerminal();

    void SpeedButton37Click();
    void CheckBox3Click();
    // After the operator selected tab `page`: the questions that leave the pair test or the
    // terminal, or enter the terminal.
    void PageControl1Change(int page);

private:
    // The terminal starts: the receive state on, and a waiting set-all chain ended.
    void Enter();
    bool Memo3KeyPress(const QKeyEvent& key);
    // Selects `page` again without asking anything: the operator answered No.
    void ReturnTo(int page);
    bool Ask(core::TextId question);

    Ui::TForm1& m_ui;
    TerminalState m_state;
    core::Dialogs& m_dialogs;
    StatusPanels& m_status;
    PairTestTab& m_pairTest;
    CommandSequence& m_sequence;
    std::vector<std::unique_ptr<EventHook>> m_hooks;
};
