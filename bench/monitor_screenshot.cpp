// The README's picture of the frame monitor during a radio search: a simulated module at 38400
// baud, the tool starting at 9600, the monitor grabbed on the offscreen platform once the
// module has been found and its serial number read.
// Usage: monitor_screenshot FILE.png
#include "app/frame_monitor.h"
#include "gui_harness.h"
#include "sim_process.h"
#include "ui_main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTableView>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: monitor_screenshot FILE.png\n");
        return 2;
    }
    SimProcess sim;
    if (!sim.Start({"--serial-rate", "7", "--channel", "4"})) {
        std::fprintf(stderr, "qxsim did not start: %s\n", sim.error().c_str());
        return 1;
    }
    GuiHarness h("[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n[COM]\nRate=4\nVerify=2\n", sim.paths()[0]);
    h.Start();
    h.Window().Form().FrameMonitorItem->trigger();
    FrameMonitor& monitor = h.Window().Monitor();
    monitor.resize(monitor.width(), 320); // its default width; only the rows' height
    h.Click("SpeedButton20");
    QElapsedTimer clock;
    clock.start();
    // The search's steps, its answer, the serial-number read and its answer, then a moment.
    while (!(h.G().ModuleFound && h.G().ModuleModelIndex >= 0) && clock.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 found = clock.elapsed();
    while (clock.elapsed() < found + 500)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    monitor.Flush();
    // The columns as the monitor sizes them itself.
    monitor.findChild<QTableView*>("MonitorTable")->scrollToBottom();
    QApplication::processEvents();
    const bool saved = monitor.grab().save(QString::fromLocal8Bit(argv[1]));
    sim.Stop();
    if (!saved) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("screenshot: %s (%d rows)\n", argv[1], monitor.Rows().rowCount());
    return 0;
}
