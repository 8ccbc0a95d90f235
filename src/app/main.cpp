#include "config/config_file.h"
#include "config/replace_file.h"
#include "main_window.h"
#include "qt_services.h"
#include "serial/port_devices.h"
#include "serial/posix_sio.h"

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
    // The start directory is the current directory; Config.ini is looked for there.
    const auto configFile = config::ConfigPath(std::filesystem::current_path());
    // Saves cut short by a kill or a power cut leave temporaries that nothing else removes.
    config::RemoveLeftoverTemporaries(configFile);
    serial::PosixSio sio([&configFile](int port) { return DeviceOfPort(configFile, port); });
    Services services{dialogs, later, shell, sio, files, openFiles};
    TForm1 window(services);
    boxParent = &window;
    window.show();
    return QApplication::exec();
}
