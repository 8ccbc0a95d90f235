#include "main_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("RO Devode Vivi of Velmora");
    TForm1 window;
    window.show();
    return QApplication::exec();
}
