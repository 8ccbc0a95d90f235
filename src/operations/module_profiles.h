// Saving the module's settings into a profile file, and applying a profile to the module after
// the operator has seen what changes: the profile steps the command line runs, on the window's
// own exchange without blocking its thread, their progress beside the status panels, and their
// frames shown in the frame monitor and the session log as the engine judged them. While one
// runs, other operations are refused.
#pragma once

#include "config/module_profile.h"
#include "core/session.h"
#include "serial/module_profile_io.h"

#include <QObject>
#include <functional>

class CommandSequence;
class StatusPanels;
class TfrmPortSet;
namespace core {
class Dialogs;
class OpenFileChooser;
class SaveFileChooser;
} // namespace core

// The platform the two operations ask.
struct ProfileServices {
    core::Dialogs& dialogs;
    core::SaveFileChooser& files;
    core::OpenFileChooser& openFiles;
};

class ModuleProfiles {
public:
    // The steps go through `port`, the window's own exchange with the module.
    ModuleProfiles(core::Session& g, const ProfileServices& services, CommandSequence& sequence,
                   StatusPanels& status, serial::Exchanger& port, TfrmPortSet& portDialog);
    ~ModuleProfiles();

    // "Save module settings…": reads the module at the port's line into the chosen file.
    void Save();
    // "Apply settings…": reads the chosen profile and the module, asks with the differences,
    // writes on Yes in the order that never loses the module, follows it to its new serial
    // settings and reads it back.
    void Apply();

private:
    // The exchange begins: other operations are refused until it ends.
    void Begin();
    // On the next turn, once the exchange's callback has returned: the progress goes; then
    // `then` reports.
    void End(std::function<void()> then);
    // Ends the entry with the failure `outcome` holds; whether it held one.
    template <class T> bool Ended(serial::Outcome<T>& outcome);
    // The progress of each request, in `text`.
    serial::StepProgress Progress(core::TextId text);
    // Apply, once the module is read: the question, then the write and the read-back.
    void Confirm(const config::ModuleProfile& wanted, const serial::Module& module,
                 const core::SettingValues& current);
    void Applied(const config::ModuleProfile& wanted, const std::string& refused,
                 const core::SettingValues& held);
    void Store(const std::string& path, const std::string& text);
    // While an entry runs, the operator's other operations get a warning.
    bool Holding();
    // A success: panel 2 and an information box.
    void Report(const std::string& text);
    void Fail(const std::string& reason);
    const char* Message(core::TextId id) const;

    core::Session& m_g;
    ProfileServices m_services;
    CommandSequence& m_sequence;
    StatusPanels& m_status;
    serial::Exchanger& m_port;
    TfrmPortSet& m_portDialog;
    bool m_running = false; // an entry's exchange is under way
    QObject m_turns;        // drops an ending still due when the window goes
};
