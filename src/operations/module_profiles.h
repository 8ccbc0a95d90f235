// Saving the module's settings into a profile file, and applying a profile to the module after
// the operator has seen what changes: the blocking exchange the command line uses, on the
// window's own port, with the receive poll held so no answer is taken twice, and its frames
// shown in the frame monitor and the session log as that exchange judged them.
#pragma once

#include "core/session.h"

class CommandSequence;
class StatusPanels;
class TCommFun;
class TfrmPortSet;
namespace core {
class Dialogs;
class OpenFileChooser;
class SaveFileChooser;
} // namespace core
namespace serial {
class Link;
class RecordSink;
} // namespace serial

// The platform the two operations ask.
struct ProfileServices {
    core::Dialogs& dialogs;
    core::SaveFileChooser& files;
    core::OpenFileChooser& openFiles;
};

class ModuleProfiles {
public:
    // `records` shows the exchange's own records of every frame (the frame monitor's feed).
    ModuleProfiles(core::Session& g, const ProfileServices& services, CommandSequence& sequence,
                   StatusPanels& status, TCommFun& commFun, serial::Link& link,
                   serial::RecordSink& records, TfrmPortSet& portDialog);

    // "Save module settings…": reads the module at the port's line into the chosen file.
    void Save();
    // "Apply settings…": reads the chosen profile and the module, asks with the differences,
    // writes on Yes in the order that never loses the module, follows it to its new serial
    // settings and reads it back.
    void Apply();

private:
    // Runs `operation` with the poll held; a failure goes to panel 2 and a box.
    template <class Operation> void Run(Operation operation);
    // A success: panel 2 and an information box.
    void Report(const std::string& text);
    void Fail(const std::string& reason);
    const char* Message(core::TextId id) const;

    core::Session& m_g;
    ProfileServices m_services;
    CommandSequence& m_sequence;
    StatusPanels& m_status;
    TCommFun& m_commFun;
    serial::Link& m_link;
    serial::RecordSink& m_records;
    TfrmPortSet& m_portDialog;
};
