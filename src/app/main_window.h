// The main window: owns the form, the shared state, the serial link and the subsystems that
// act on the form.
#pragma once

#include "form/globals.h"

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>

class CommandSequence;
class FormTexts;
class FrameFeed;
class FrameMonitor;
class DataTerminal;
class ModelCatalogue;
class ModuleProfiles;
class PairTestChart;
class PairTestTab;
class ParameterCommands;
class RadioSearch;
class ReadWriteAll;
class ReceiveLoop;
class RfTest;
class SerialNumberGroup;
class SessionLogSwitch;
class StatusPanels;
class TCommFun;
class TFrm_about;
class TfrmPortSet;
namespace core {
class Dialogs;
class OpenFileChooser;
class Later;
class SaveFileChooser;
class Shell;
} // namespace core
namespace serial {
class Link;
class PortWatch;
class Sio;
} // namespace serial

namespace Ui {
class TForm1;
}

// The platform behind the window; main() passes the real ones, tests recorders.
struct Services {
    core::Dialogs& dialogs;
    core::Later& later;
    core::Shell& shell;
    serial::Sio& sio;
    // Tells the port dialog's device list when adapters come or go.
    serial::PortWatch& portWatch;
    core::SaveFileChooser& files;
    core::OpenFileChooser& openFiles;
    // Where Config.ini, the session logs and readme.doc are: config::StartDirectory.
    std::string startDir;
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Services& services, QWidget* parent = nullptr);
    ~TForm1() override;

    // What the window is made of, for tests that look inside.
    Ui::TForm1& Form() { return *m_ui; }
    Globals& G() { return m_g; }
    StatusPanels& Status() { return *m_status; }
    TCommFun& CommFun() { return *m_commFun; }
    TfrmPortSet& PortDialog() { return *m_frmPortSet; }
    ReceiveLoop& Receive() { return *m_receive; }
    SerialNumberGroup& SerialNumber() { return *m_serialNumber; }
    ModelCatalogue& Models() { return *m_models; }
    RadioSearch& Search() { return *m_search; }
    ReadWriteAll& ReadWrite() { return *m_readWriteAll; }
    RfTest& RfGroup() { return *m_rfTest; }
    TFrm_about& About() { return *m_about; }
    PairTestTab& PairTest() { return *m_pairTest; }
    DataTerminal& Terminal() { return *m_terminal; }
    PairTestChart& Chart() { return *m_chart; }
    // 1 the receive period (the receive polls on it only where the port cannot tell it has
    // bytes, or while it is suspended), 2 the step after a successful search, 3 the timed sending
    // of the pair test, 4 the radio search.
    QTimer& Timer(int number) { return m_timers.at(static_cast<std::size_t>(number - 1)); }
    // Every frame and chunk the subsystems exchange with the port passes here.
    serial::Link& SerialLink() { return *m_link; }
    // The same traffic as trace records, the frame monitor that lists them and the session log.
    FrameFeed& Feed() { return *m_feed; }
    FrameMonitor& Monitor() { return *m_monitor; }

    // Config.ini's SN, Ver and Option sections into the widgets and globals, then the variant
    // layout and the language.
    void LoadConfig();
    // The Option keys the operator can change, from their widgets.
    void SaveOptions();
    // The sequence timer's tick after a successful search: stops the timer, then carries out
    // the pending read, write or transmit test.
    void Timer2Timer();
    // The window's captions, caption and branding in the operator's language; again whenever
    // the language changes.
    void ApplyLanguage();
    // The language menu's choice, for this session only: Config.ini keeps its own.
    void SwitchLanguage(const std::string& langCode);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void CentreOnScreen();
    void StartTimers();
    void ConnectToolbarAndMenu();
    void ShowPortDialog();
    void LayOutModelRow(bool english);
    // Opens readme.doc of the start directory.
    void N20Click();

    std::unique_ptr<Ui::TForm1> m_ui;
    Services m_services;
    Globals m_g;
    std::unique_ptr<FormTexts> m_texts;
    std::array<QTimer, 4> m_timers;
    std::unique_ptr<StatusPanels> m_status;
    std::unique_ptr<TCommFun> m_commFun;
    std::unique_ptr<serial::Link> m_link;

    // In the order they are made: each gets the ones before it that it uses.
    std::unique_ptr<CommandSequence> m_sequence;
    std::unique_ptr<ParameterCommands> m_parameters;
    std::unique_ptr<SerialNumberGroup> m_serialNumber;
    std::unique_ptr<ModelCatalogue> m_models;
    std::unique_ptr<PairTestTab> m_pairTest;
    std::unique_ptr<DataTerminal> m_terminal;
    std::unique_ptr<ReceiveLoop> m_receive;
    std::unique_ptr<FrameFeed> m_feed;
    std::unique_ptr<SessionLogSwitch> m_sessionLog;
    std::unique_ptr<TfrmPortSet> m_frmPortSet;
    std::unique_ptr<RadioSearch> m_search;
    std::unique_ptr<ReadWriteAll> m_readWriteAll;
    std::unique_ptr<RfTest> m_rfTest;
    std::unique_ptr<TFrm_about> m_about;
    std::unique_ptr<FrameMonitor> m_monitor;
    std::unique_ptr<ModuleProfiles> m_profiles;
    PairTestChart* m_chart = nullptr; // owned by its place on the pair test tab
};
