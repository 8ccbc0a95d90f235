// What every subsystem of the window works with: the form, the shared state, the platform
// services, the serial link, the status bar, the timers, and the other subsystems.
#pragma once

#include "config/config_file.h"
#include "globals.h"

#include <filesystem>

class QTimer;
class TCommFun;
class TfrmPortSet;
class StatusPanels;
class ReceiveLoop;
class AnswerHandler;
class CommandSequence;
class ParameterCommands;
class SerialNumberGroup;
class ModelCatalogue;

namespace Ui {
class TForm1;
}
namespace core {
class Dialogs;
class Pause;
class Shell;
} // namespace core
namespace serial {
class Sio;
}

// The platform behind the window; main() passes the real ones, tests recorders.
struct Services {
    core::Dialogs& dialogs;
    core::Pause& pause;
    core::Shell& shell;
    serial::Sio& sio;
};

struct Context {
    Ui::TForm1& ui;
    Globals& g;
    core::Dialogs& dialogs;
    core::Pause& pause;
    core::Shell& shell;
    TCommFun& CommFun; // opens, configures and closes the port; data passes the window's Link
    StatusPanels& status;
    QTimer& Timer1; // receive poll
    QTimer& Timer2; // step after a successful search
    QTimer& Timer3; // timed sending of the pair test
    QTimer& Timer4; // radio search

    // Set by the main window once every subsystem exists.
    TfrmPortSet* frmPortSet = nullptr;
    ReceiveLoop* receive = nullptr;
    AnswerHandler* answers = nullptr;
    CommandSequence* sequence = nullptr;
    ParameterCommands* parameters = nullptr;
    SerialNumberGroup* serialNumber = nullptr;
    ModelCatalogue* models = nullptr;

    std::filesystem::path ConfigPath() const { return config::ConfigPath(g.StartDir); }
};
