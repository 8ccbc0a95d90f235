// One tool as the program runs it, for the benches: a real window with its real timers and
// pauses in a start directory of its own whose Config.ini maps COM1 to a device; boxes are
// recorded and questions answered from a script, file choosers answer with set paths.
#pragma once

#include "app/main_window.h"
#include "app/qt_services.h"
#include "config/config_file.h"
#include "gui_harness.h"
#include "recording_dialogs.h"
#include "serial/device_sio.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

// The offscreen platform, unless the environment names another.
inline void OffscreenUnlessSet() {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The run time of a bench: "--seconds N" among `args`, at least `least`; 60 by default.
inline int SecondsOption(const std::vector<std::string>& args, int least) {
    const auto at = std::find(args.begin(), args.end(), "--seconds");
    return at + 1 < args.end() ? std::max(least, std::stoi(*(at + 1))) : 60;
}

class BenchTool {
public:
    // `configIni` is Config.ini without its [Ports] section, which maps COM1 to `device`.
    BenchTool(const std::string& device, const std::string& configIni) {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "qxbench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a start directory");
        m_dir = pattern;
        const fs::path file = m_dir / "Config.ini";
        std::ofstream(file) << configIni << "\n[Ports]\nCOM1=" << device << "\n";
        fs::current_path(m_dir);
        m_sio = std::make_unique<serial::DeviceSio>([file](int port) {
            const auto devices = config::LoadPortMap(file);
            const auto found = devices.find(port);
            return found == devices.end() ? std::string() : found->second;
        });
        m_services = std::make_unique<Services>(Services{
            dialogs, m_later, m_shell, *m_sio, m_portWatch, files, openFiles, m_dir.string()});
        m_window = std::make_unique<TForm1>(*m_services);
        m_window->show();
    }
    ~BenchTool() {
        m_window.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    BenchTool(const BenchTool&) = delete;
    BenchTool& operator=(const BenchTool&) = delete;

    TForm1& Window() { return *m_window; }
    Ui::TForm1& Form() { return m_window->Form(); }
    const std::filesystem::path& Dir() const { return m_dir; }

    RecordingDialogs dialogs;
    ScriptedFileChooser files;
    ScriptedOpenChooser openFiles;

private:
    std::filesystem::path m_dir;
    QtLater m_later;
    RecordingShell m_shell;
    DrivenPortWatch m_portWatch;
    std::unique_ptr<serial::DeviceSio> m_sio;
    std::unique_ptr<Services> m_services;
    std::unique_ptr<TForm1> m_window;
};
