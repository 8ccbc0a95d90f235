// The system's port watch without udevd: links to pseudo-terminals coming and going in a
// directory standing for /dev/serial/by-id, as the kernel and udev make them.
#include "serial/port_watch.h"
#include "support/pty.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

namespace fs = std::filesystem;

// Runs the event loop until `count` changes were told; false after a second.
bool ToldWithinASecond(const int& told, int count) {
    QElapsedTimer clock;
    clock.start();
    while (told < count && clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return told >= count;
}

} // namespace

TEST(PortWatch, TellsOfLinksComingAndGoingOncePerPlug) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    std::string pattern = (fs::temp_directory_path() / "qxwatch-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path dev = pattern;
    const fs::path byId = dev / "serial" / "by-id";
    // by-id is made at the first adapter, after the watch started
    serial::SystemPortWatch watch({dev, byId});
    EXPECT_STREQ(watch.Source(), "inotify");
    int told = 0;
    watch.OnChange([&told] { ++told; });

    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    fs::create_symlink(pty.SlavePath(), dev / "ttyUSB0");
    fs::create_directories(byId);
    EXPECT_TRUE(ToldWithinASecond(told, 1));
    const fs::path link = byId / "usb-FTDI_FT232R_USB_UART_A10K3TQ1-if00-port0";
    fs::create_symlink(pty.SlavePath(), link);
    EXPECT_TRUE(ToldWithinASecond(told, 2)) << "the link in by-id went unseen";

    // Pulled out: node and link go in one burst, told once.
    fs::remove(link);
    fs::remove(dev / "ttyUSB0");
    EXPECT_TRUE(ToldWithinASecond(told, 3));
    EXPECT_FALSE(ToldWithinASecond(told, 4));
    fs::remove_all(dev);
}
