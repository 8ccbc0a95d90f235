#include "main_window.h"
#include "qt_services.h"
#include "serial/ports.h"
#include "serial/posix_sio.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("RO Devode Vivi of Velmora");
    QWidget* boxParent = nullptr;
    QtDialogs dialogs(boxParent);
    QtPause pause;
    QtShell shell;
    serial::PosixSio sio(
        [](int port) { return serial::DeviceForPort(port, {}, serial::SystemSerialDevices()); });
    Services services{dialogs, pause, shell, sio};
    TForm1 window(services);
    boxParent = &window;
    window.show();
    return QApplication::exec();
}
