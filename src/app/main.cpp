#include "config/config_file.h"
#include "config/replace_file.h"
#include "config/start_directory.h"
#include "main_window.h"
#include "qt_services.h"
#include "serial/port_devices.h"
#include "serial/device_sio.h"
#include "serial/port_watch.h"
#include "serial/serial_permission_check.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("RO Devode Vivi of Velmora");
    QWidget* boxParent = nullptr;
    QtDialogs dialogs(boxParent);
    QtLater later;
    QtShell shell;
    QtSaveFileChooser files(boxParent);
    QtOpenFileChooser openFiles(boxParent);
    // The current directory, or the per-user one for an installed tool started elsewhere.
    const auto startDir =
        config::ProcessStartDirectory(QApplication::applicationDirPath().toStdString());
    const auto configFile = config::ConfigPath(startDir);
    // Saves cut short by a kill or a power cut leave temporaries that nothing else removes.
    config::RemoveLeftoverTemporaries(configFile);
    serial::DeviceSio sio([&configFile](int port) { return DeviceOfPort(configFile, port); });
    serial::SystemPortWatch portWatch;
    Services services{dialogs, later, shell, sio, portWatch, files, openFiles, startDir.string()};
    TForm1 window(services);
    boxParent = &window;
    window.show();
    // Once, over the window: a user who may open no serial device at all learns the fix.
    if (const std::string problem = serial::SerialPermissionProblem(); !problem.empty())
        dialogs.Warning(problem);
    return QApplication::exec();
}
