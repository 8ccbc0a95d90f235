// The port settings dialog against pseudo-terminals: what it opens and with which line
// settings (read back from the terminal), its flags and buttons, its messages and what it
// stores in Config.ini.
#include "config/config_file.h"
#include "form/status_panels.h"
#include "gui_harness.h"
#include "protocol/receive_loop.h"
#include "pty.h"
#include "serial/link.h"
#include "ui_main_window.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// 9600 baud, no parity: the module's factory setting.
constexpr const char* kAt9600None = "[COM]\nPort=0\nRate=4\nVerify=2\n";

termios LineOf(const PtyPair& pty) {
    termios tio{};
    EXPECT_EQ(::tcgetattr(pty.MasterFd(), &tio), 0);
    return tio;
}

speed_t SpeedOf(const PtyPair& pty) {
    const termios tio = LineOf(pty);
    return ::cfgetospeed(&tio);
}

// The tool holds the slave open exactly while the master sees a hang-up no longer; a slave
// that was never opened shows none, so tests that expect no open start with Untouched().
bool SlaveOpen(const PtyPair& pty) {
    pollfd p{pty.MasterFd(), POLLIN, 0};
    ::poll(&p, 1, 0);
    return (p.revents & POLLHUP) == 0;
}

void Untouched(const PtyPair& pty) {
    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_FALSE(SlaveOpen(pty));
}

std::vector<int> FlaggedPorts(const Globals& g) {
    std::vector<int> ports;
    for (std::size_t i = 0; i < g.PortOpenFlags.size(); ++i)
        if (g.PortOpenFlags[i])
            ports.push_back(static_cast<int>(i) + 1);
    return ports;
}

void Choose(QComboBox* box, int entry) {
    box->setCurrentIndex(entry);
    emit box->activated(entry);
}

} // namespace

TEST(PortDialog, OpensSavedSettingsAndCaptionsFollowTheLanguage) {
    struct Row {
        const char* ver;
        const char* summary;
        const char* title;
        const char* openButton;
        const char* parityNone;
    };
    const Row rows[] = {
        {"", "COM1,9600,NONE(无校验),8,1", "串口设置", "打开", "NONE(无校验)"},
        {"[Ver]\nCEO=EN\n", "COM1,9600,NONE,8,1", "COM Option", "Open", "NONE"},
        {"[Ver]\nCEO=EN\ntype=GERMAN\n", "COM1,9600,NONE,8,1", "COM EINSTELLUNGEN", "OEFFNEN",
         "NONE"},
        // Only exactly "EN" switches the dialog.
        {"[Ver]\nCEO=ENGLISH\n", "COM1,9600,NONE(无校验),8,1", "串口设置", "打开", "NONE(无校验)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ver);
        PtyPair pty;
        ASSERT_TRUE(pty.Ok());
        GuiHarness h(std::string(kAt9600None) + row.ver, pty.SlavePath());
        h.Start();
        EXPECT_TRUE(h.Boxes().empty());
        EXPECT_EQ(h.Status(1), QString::fromUtf8(row.summary));
        EXPECT_EQ(h.Ctx().frmPortSet->windowTitle(), QString::fromUtf8(row.title));
        EXPECT_EQ(h.InPortDialog<QPushButton>("SpeedButton1")->text(),
                  QString::fromUtf8(row.openButton));
        EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox3")->itemText(2),
                  QString::fromUtf8(row.parityNone));

        const Globals& g = h.G();
        EXPECT_EQ(FlaggedPorts(g), std::vector<int>{1});
        EXPECT_EQ(g.Line.CurrentPort, 1);
        EXPECT_EQ(g.Line.PortBaudCode, 12);
        EXPECT_EQ(g.Line.BaudRate, 9600);
        EXPECT_EQ(g.Line.PortParityCode, 0x00);
        EXPECT_EQ(g.Line.PortDataBitsCode, 3);
        EXPECT_EQ(g.Line.PortStopBitsCode, 0);
        EXPECT_FALSE(h.InPortDialog<QPushButton>("SpeedButton1")->isEnabled());
        EXPECT_TRUE(h.InPortDialog<QPushButton>("SpeedButton2")->isEnabled());

        const termios tio = LineOf(pty);
        EXPECT_EQ(::cfgetospeed(&tio), B9600);
        EXPECT_EQ(tio.c_cflag & (CSTOPB | PARODD), 0u);
        EXPECT_TRUE(SlaveOpen(pty));

        // Beside the list: which device COM1 stands for.
        const QString device = QString::fromStdString(pty.SlavePath());
        EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox1")->itemData(0, Qt::ToolTipRole), device);
        EXPECT_EQ(h.InPortDialog<QLabel>("LabelPortDevice")->text(), device);
    }
}

TEST(PortDialog, DefaultsOpenAt2400AndAreSaved) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h("", pty.SlavePath());
    h.Start();
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_EQ(h.Status(1), QString::fromUtf8("COM1,2400,NONE(无校验),8,1"));
    EXPECT_EQ(SpeedOf(pty), B2400);
    EXPECT_EQ(config::LoadPortSettings(h.ConfigFile()), (config::PortSettings{0, 2, 2}));
    EXPECT_NE(h.ReadConfigFile().find("[COM]"), std::string::npos);
}

TEST(PortDialog, OpeningAnotherPortClosesTheFirstAndCloseClearsItsFlag) {
    PtyPair first, second;
    ASSERT_TRUE(first.Ok() && second.Ok());
    GuiHarness h(std::string(kAt9600None) + "[Ports]\nCOM1=" + first.SlavePath() +
                     "\nCOM2=" + second.SlavePath() + "\n",
                 "");
    h.Start();
    ASSERT_TRUE(SlaveOpen(first));
    auto* ports = h.InPortDialog<QComboBox>("ComboBox1");
    auto* open = h.InPortDialog<QPushButton>("SpeedButton1");
    auto* close = h.InPortDialog<QPushButton>("SpeedButton2");

    // An unflagged entry offers Open only.
    Choose(ports, 1);
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(close->isEnabled());
    EXPECT_EQ(h.InPortDialog<QLabel>("LabelPortDevice")->text(),
              QString::fromStdString(second.SlavePath()));
    open->click();
    EXPECT_EQ(h.G().Line.CurrentPort, 2);
    EXPECT_EQ(FlaggedPorts(h.G()), std::vector<int>{2});
    EXPECT_FALSE(SlaveOpen(first));
    EXPECT_TRUE(SlaveOpen(second));
    EXPECT_EQ(h.Status(1), QString::fromUtf8("COM2,9600,NONE(无校验),8,1"));
    EXPECT_EQ(config::LoadPortSettings(h.ConfigFile()).port, 1);

    // A flagged entry offers Close only.
    Choose(ports, 0);
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(close->isEnabled());
    Choose(ports, 1);
    EXPECT_FALSE(open->isEnabled());
    EXPECT_TRUE(close->isEnabled());
    close->click();
    EXPECT_TRUE(FlaggedPorts(h.G()).empty());
    EXPECT_FALSE(SlaveOpen(second));
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(close->isEnabled());

    // Closing what is already closed fails with both texts.
    close->setEnabled(true);
    close->click();
    ASSERT_FALSE(h.Boxes().empty());
    EXPECT_EQ(h.Boxes().back(), "关闭端口失败！");
    EXPECT_EQ(h.Status(1), QString::fromUtf8("串口关闭失败！"));
}

TEST(PortDialog, ChoosingBaudOrParityShowsTheSummaryAtOnce) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h(kAt9600None, pty.SlavePath());
    h.Start();
    auto* baud = h.InPortDialog<QComboBox>("ComboBox2");
    QTest::keyClick(baud, Qt::Key_Up); // 9600 -> 4800
    EXPECT_EQ(h.Status(1), QString::fromUtf8("COM1,4800,NONE(无校验),8,1"));
    Choose(h.InPortDialog<QComboBox>("ComboBox3"), 1);
    EXPECT_EQ(h.Status(1), QString::fromUtf8("COM1,4800,ODD(奇校验),8,1"));
    // Shown only: the port still runs at what it was opened with.
    EXPECT_EQ(SpeedOf(pty), B9600);
}

TEST(PortDialog, ReopenPortFollowsTheModuleSettings) {
    struct Row {
        int rate, parity;    // the module's codes
        const char* summary; // what the dialog then shows
        int parityCode;      // the line code it opens with
        speed_t speed;
        tcflag_t parityFlags; // PARODD on the terminal
    };
    const Row rows[] = {
        {1, 1, "COM1,600,EVEN(偶校验),8,1", 0x18, B600, 0},
        {4, 2, "COM1,4800,ODD(奇校验),8,1", 0x08, B4800, PARODD},
        {8, 2, "COM1,57600,ODD(奇校验),8,1", 0x08, B57600, PARODD},
        {7, 0, "COM1,38400,NONE(无校验),8,1", 0x00, B38400, 0},
    };
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    GuiHarness h(kAt9600None, pty.SlavePath());
    h.Start();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.summary);
        h.Ctx().frmPortSet->ReopenPort(row.rate, row.parity);
        EXPECT_EQ(h.Status(1), QString::fromUtf8(row.summary));
        EXPECT_EQ(h.G().Line.PortParityCode, row.parityCode);
        const termios tio = LineOf(pty);
        EXPECT_EQ(::cfgetospeed(&tio), row.speed);
        // Pseudo-terminals always clear PARENB, so only the odd flag can be seen there.
        EXPECT_EQ(tio.c_cflag & PARODD, row.parityFlags);
        EXPECT_EQ(FlaggedPorts(h.G()), std::vector<int>{1});
        EXPECT_TRUE(SlaveOpen(pty));
    }
    EXPECT_TRUE(h.Boxes().empty());
    EXPECT_EQ(config::LoadPortSettings(h.ConfigFile()), (config::PortSettings{0, 6, 2}));

    // A rate the list does not hold stops at the baud warning with the port closed, and the
    // dialog says so: Open is offered again.
    h.Ctx().frmPortSet->ReopenPort(9, 0);
    EXPECT_EQ(h.Boxes(), std::vector<std::string>{"波特率的选项超过可选范围！"});
    EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox2")->currentIndex(), -1);
    EXPECT_FALSE(SlaveOpen(pty));
    EXPECT_TRUE(FlaggedPorts(h.G()).empty());
    EXPECT_TRUE(h.InPortDialog<QPushButton>("SpeedButton1")->isEnabled());
    EXPECT_EQ(config::LoadPortSettings(h.ConfigFile()), (config::PortSettings{0, 6, 2}));
}

TEST(PortDialog, StoredPortOutsideTheListWarnsAndOpensNothing) {
    struct Row {
        const char* ver;
        const char* warning;
    };
    const Row rows[] = {{"", "端口的选项超过可选范围！"},
                        {"[Ver]\nCEO=EN\n", "COM port is out of range！"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.warning);
        PtyPair pty;
        ASSERT_TRUE(pty.Ok());
        Untouched(pty);
        GuiHarness h(std::string("[COM]\nPort=50\nRate=4\nVerify=2\n") + row.ver, pty.SlavePath());
        h.Start();
        EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox1")->currentIndex(), -1);
        EXPECT_EQ(h.Boxes(), std::vector<std::string>{row.warning});
        EXPECT_TRUE(FlaggedPorts(h.G()).empty());
        EXPECT_FALSE(SlaveOpen(pty));
        EXPECT_EQ(config::LoadPortSettings(h.ConfigFile()).port, 50);
    }
}

TEST(PortDialog, UnopenableDeviceGivesBothFailureTexts) {
    struct Row {
        const char* ver;
        const char* warning;
        const char* status;
    };
    const Row rows[] = {{"", "打开端口失败！", "串口打开失败！"},
                        {"[Ver]\nCEO=EN\n", "COM port Open fail！", "COM port Open fail！"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.warning);
        // "Rate=04" would be rewritten as "Rate=4" by a save. COM5, not the COM1 the tool
        // starts with, shows that the port number is taken before the open is tried.
        GuiHarness h(std::string("[COM]\nPort=4\nRate=04\nVerify=2\n") + row.ver +
                         "[Ports]\nCOM5=/nonexistent/ttyQX9\n",
                     "");
        h.IgnoreSystemPorts();
        h.Start();
        // The serial layer's own box first, then the dialog's.
        const auto boxes = h.Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].rfind("The port open fail", 0), 0u) << boxes[0];
        EXPECT_EQ(boxes[1], row.warning);
        EXPECT_EQ(h.Status(1), QString::fromUtf8(row.status));
        EXPECT_EQ(h.G().Line.CurrentPort, 5);
        EXPECT_TRUE(FlaggedPorts(h.G()).empty());
        EXPECT_TRUE(h.InPortDialog<QPushButton>("SpeedButton1")->isEnabled());
        // Nothing is saved for an open that failed.
        EXPECT_NE(h.ReadConfigFile().find("Rate=04"), std::string::npos);
    }
}

TEST(PortDialog, AVanishedDeviceLeavesThePortClosedAndOpensAgainWhenBack) {
    GuiHarness h(std::string(kAt9600None) + "[Ver]\nCEO=EN\n", "");
    // The adapter's stable name, as /dev/serial/by-id gives it, points at whichever device
    // stands for it now.
    const std::filesystem::path name = h.Dir() / "ttyUSB-adapter";
    std::ofstream(h.ConfigFile(), std::ios::app) << "[Ports]\nCOM1=" << name.string() << "\n";
    PtyPair first;
    ASSERT_TRUE(first.Ok());
    std::filesystem::create_symlink(first.SlavePath(), name);
    h.Start();
    ASSERT_TRUE(h.Boxes().empty()) << "the port did not open";
    auto* open = h.InPortDialog<QPushButton>("SpeedButton1");
    auto* close = h.InPortDialog<QPushButton>("SpeedButton2");

    // Pulled out: the receive wakes, finds it gone, and says so once.
    first.CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.Boxes().empty(); }, 2000));
    for (int step = 0; step < 5; ++step)
        h.Window().Receive().Timer1Timer();
    QTest::qWait(50);
    EXPECT_EQ(h.Boxes(), std::vector<std::string>{"The Port NOT be opened!\n" + name.string() +
                                                  ": the device was disconnected (Input/output "
                                                  "error)"});
    EXPECT_TRUE(FlaggedPorts(h.G()).empty());
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(close->isEnabled());
    // and its name goes with it; the list says so as soon as the system tells
    auto* list = h.InPortDialog<QComboBox>("ComboBox1");
    auto* shown = h.InPortDialog<QLabel>("LabelPortDevice");
    const QString device = QString::fromStdString(name.string());
    EXPECT_EQ(list->itemData(0, Qt::ToolTipRole), device);
    std::filesystem::remove(name);
    h.portWatch.Changed();
    EXPECT_EQ(list->itemData(0, Qt::ToolTipRole), device + " (not plugged in)");
    EXPECT_EQ(shown->text(), device + " (not plugged in)");

    // Plugged in again: the list shows it and Open works at once.
    PtyPair second;
    ASSERT_TRUE(second.Ok());
    std::filesystem::create_symlink(second.SlavePath(), name);
    h.portWatch.Changed();
    EXPECT_EQ(shown->text(), device);
    open->click();
    EXPECT_EQ(h.Boxes().size(), 1u);
    EXPECT_EQ(FlaggedPorts(h.G()), std::vector<int>{1});
    EXPECT_FALSE(open->isEnabled());
    EXPECT_TRUE(close->isEnabled());
    ASSERT_TRUE(h.Window().SerialLink().SendRaw(1, "back"));
    EXPECT_EQ(second.Read(4), "back");
    // and the receive wakes for the new device's bytes
    h.G().AppState = StateDataComm;
    h.Window().Form().RadioButton7->setChecked(true);
    ASSERT_TRUE(second.Write("here"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return h.Window().Form().Memo4->toPlainText().contains("here"); }, 3000));
}
