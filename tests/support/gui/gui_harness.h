// A real main window on the offscreen platform, in a start directory of its own whose
// Config.ini maps COM1 to a device of the test's choosing (a pseudo-terminal the test plays
// the module on, or a qxsim module). Boxes, pauses and the shell are recorded, not shown.
#pragma once

#include "app/main_window.h"
#include "port_dialog/port_dialog.h"
#include "recording_dialogs.h"
#include "serial/device_sio.h"
#include "serial/port_watch.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Devices come and go when the test says so.
class DrivenPortWatch : public serial::PortWatch {
public:
    void OnChange(std::function<void()> changed) override { m_changed = std::move(changed); }
    void Changed() {
        if (m_changed)
            m_changed();
    }

private:
    std::function<void()> m_changed;
};

// Timed work that waits until the test fires it, or, once `flowing`, runs on the event loop's
// next turn: the pauses' lengths are recorded, never waited out.
class RecordingLater : public core::Later {
public:
    std::vector<int> pauses;
    bool flowing = false;

    Ticket After(int ms, std::function<void()> work) override {
        pauses.push_back(ms);
        const Ticket ticket = ++m_last;
        m_waiting.emplace(ticket, std::move(work));
        if (flowing)
            QTimer::singleShot(0, &m_context, [this, ticket] { Run(ticket); });
        return ticket;
    }
    void Cancel(Ticket ticket) override { m_waiting.erase(ticket); }
    std::size_t Waiting() const { return m_waiting.size(); }
    // Runs the work asked for first of those still waiting; false when none waits.
    bool FireNext() {
        if (m_waiting.empty())
            return false;
        Run(m_waiting.begin()->first);
        return true;
    }

private:
    void Run(Ticket ticket) {
        const auto found = m_waiting.find(ticket);
        if (found == m_waiting.end())
            return;
        const std::function<void()> work = std::move(found->second);
        m_waiting.erase(found);
        work();
    }

    std::map<Ticket, std::function<void()>> m_waiting;
    Ticket m_last = 0;
    QObject m_context; // drops the turns still due when the harness goes
};

class RecordingShell : public core::Shell {
public:
    std::vector<std::string> opened;
    bool result = false;
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return result;
    }
};

// A save's file chooser that answers with the path a test set; empty means cancelled.
class ScriptedFileChooser : public core::SaveFileChooser {
public:
    std::string path;
    std::string Choose(const std::string&, const std::string&, const std::string&) override {
        return path;
    }
};

// An open's file chooser that answers with the path a test set; empty means cancelled.
class ScriptedOpenChooser : public core::OpenFileChooser {
public:
    std::string path;
    std::string ChooseOpen(const std::string&, const std::string&) override { return path; }
};

// The parts of the window the tests look at.
struct Context {
    Ui::TForm1& ui;
    Globals& g;
    StatusPanels& status;
    TCommFun& CommFun;
    QTimer& Timer1;
    QTimer& Timer2;
    QTimer& Timer3;
    QTimer& Timer4;
    TfrmPortSet* frmPortSet;
    ReceiveLoop* receive;
    SerialNumberGroup* serialNumber;
    ModelCatalogue* models;
};

class GuiHarness {
public:
    // `configIni` is the Config.ini text without [Ports]; when `com1Device` is not empty a
    // [Ports] section mapping COM1 to it is appended. No file is written when both are empty.
    GuiHarness(const std::string& configIni, const std::string& com1Device);
    ~GuiHarness();
    GuiHarness(const GuiHarness&) = delete;
    GuiHarness& operator=(const GuiHarness&) = delete;

    // Creates the window (its creation loads Config.ini and opens the port) and shows it.
    TForm1& Start();
    // From now on only [Ports] of Config.ini maps ports to devices, so a test does not depend
    // on the serial adapters of the machine it runs on (a port without a key has no device).
    void IgnoreSystemPorts() { m_systemPorts = false; }

    TForm1& Window() { return *m_window; }
    Context Ctx() {
        TForm1& w = *m_window;
        return {w.Form(),        w.G(),        w.Status(),        w.CommFun(),
                w.Timer(1),      w.Timer(2),   w.Timer(3),        w.Timer(4),
                &w.PortDialog(), &w.Receive(), &w.SerialNumber(), &w.Models()};
    }
    Globals& G() { return m_window->G(); }
    // The serial calls the window makes, for looking at a port without the window.
    serial::Sio& Sio() { return *m_sio; }
    const std::filesystem::path& Dir() const { return m_dir; }
    std::filesystem::path ConfigFile() const { return m_dir / "Config.ini"; }
    std::string ReadConfigFile() const;

    // A control of the main window or of its dialogs by objectName; fails the test when absent.
    // A control of the main window itself, never one of the port settings dialog's namesakes.
    template <class T> T* Find(const char* name) {
        for (T* widget : m_window->findChildren<T*>(QString::fromLatin1(name))) {
            if (widget->window() == m_window.get())
                return widget;
        }
        AddFailure(name);
        return nullptr;
    }
    void Click(const char* buttonName);
    // A control of the port settings dialog, whose names repeat those of the main window.
    template <class T> T* InPortDialog(const char* name) {
        auto* widget = Ctx().frmPortSet->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            AddFailure(name);
        return widget;
    }

    QString Status(int panel) const;
    // The progress beside the panels as "text [done/all]"; empty while it is hidden.
    QString Progress();
    // Lets timers run until panel `panel` shows `text`; false after `timeoutMs`.
    bool WaitStatus(int panel, const QString& text, int timeoutMs = 5000);
    // The same until the progress has gone: an operation that shows it has ended.
    bool WaitProgressGone(int timeoutMs = 5000);
    // Texts of the boxes shown so far, in order.
    std::vector<std::string> Boxes() const { return dialogs.Texts(); }

    RecordingDialogs dialogs;
    RecordingLater later;
    RecordingShell shell;
    ScriptedFileChooser files;
    ScriptedOpenChooser openFiles;
    DrivenPortWatch portWatch;

private:
    static void AddFailure(const char* name);

    std::filesystem::path m_previousDir;
    std::filesystem::path m_dir;
    bool m_systemPorts = true;
    std::unique_ptr<serial::DeviceSio> m_sio;
    std::unique_ptr<Services> m_services;
    std::unique_ptr<TForm1> m_window;
};
