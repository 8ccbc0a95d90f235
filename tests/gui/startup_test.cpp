// The window's start and end: what it shows without Config.ini, what it takes from the file,
// the variant layouts, the timers, the toolbar and menu, and the Option keys written at close.
#include "app/variant_layout.h"
#include "config/config_file.h"
#include "gui_harness.h"
#include "ui_main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The window's height in its form, at 96 dpi.
constexpr int kDesignWindowHeight = 606;

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

TEST(Startup, FirstStartWithoutConfigFile) {
    GuiHarness h("", "");
    h.IgnoreSystemPorts();
    TForm1& w = h.Start();
    Ui::TForm1& ui = h.Ctx().ui;
    const Globals& g = h.G();

    EXPECT_EQ(g.StartDir, std::filesystem::current_path().string());
    EXPECT_EQ(g.AppState, StateCommand);
    EXPECT_FALSE(g.PollSuspended);
    EXPECT_EQ(g.LangCode, "CN");
    EXPECT_EQ(g.VariantType, "");
    EXPECT_EQ(g.TestDelayTime, 1500);
    EXPECT_EQ(ui.PageControl1->currentIndex(), 0);

    EXPECT_FALSE(ui.CheckBox2->isChecked());
    EXPECT_EQ(ui.SpinEdit2->value(), 333);
    EXPECT_EQ(ui.SpinEdit3->value(), 30);
    EXPECT_EQ(ui.SpinEdit4->value(), 20);
    EXPECT_TRUE(ui.N18->isChecked());
    // The standard customer layout.
    EXPECT_FALSE(ui.GroupBox12->isVisible());
    EXPECT_FALSE(ui.GroupBox13->isVisible());

    // Lists the module fills stay empty; year and month lists are full but show nothing.
    EXPECT_EQ(ui.ComboBox4->count(), 0);
    EXPECT_EQ(ui.ComboBox3->currentIndex(), -1);
    const QStringList years = Items(ui.ComboBox12);
    ASSERT_EQ(years.size(), 101);
    EXPECT_EQ(years.front(), "2000");
    EXPECT_EQ(years.back(), "2100");
    EXPECT_EQ(Items(ui.ComboBox13), QString("01 02 03 04 05 06 07 08 09 10 11 12").split(' '));
    for (const QComboBox* box : {ui.ComboBox11, ui.ComboBox12, ui.ComboBox13}) {
        EXPECT_EQ(box->currentIndex(), -1) << box->objectName().toStdString();
        EXPECT_EQ(box->currentText(), "") << box->objectName().toStdString();
    }
    EXPECT_EQ(ui.Edit2->text(), "");

    // No timer runs: the receive waits for the port's bytes, at its period of 20 ms where it
    // has to poll.
    const Context& ctx = h.Ctx();
    EXPECT_FALSE(ctx.Timer1.isActive());
    EXPECT_EQ(ctx.Timer1.interval(), 20);
    for (const auto& [timer, interval] :
         {std::pair{&ctx.Timer2, 1000}, {&ctx.Timer3, 1000}, {&ctx.Timer4, 1100}}) {
        EXPECT_FALSE(timer->isActive());
        EXPECT_EQ(timer->interval(), interval);
    }

    // The port dialog at its defaults: COM1, 2400, no parity.
    EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox1")->currentText(), "COM1");
    EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox2")->currentText(), "2400");
    EXPECT_EQ(h.InPortDialog<QComboBox>("ComboBox3")->currentText(),
              QString::fromUtf8("NONE(无校验)"));
    // COM1 has no device: both open-failure boxes, in order, and nothing saved.
    const auto boxes = h.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].rfind("The port open fail", 0), 0u) << boxes[0];
    EXPECT_EQ(boxes[1], "打开端口失败！");
    EXPECT_EQ(h.Status(1), QString::fromUtf8("串口打开失败！"));
    EXPECT_FALSE(std::filesystem::exists(h.ConfigFile()));

    // Closing writes the defaults of the Option section, and only those keys.
    w.close();
    EXPECT_NE(h.ReadConfigFile().find("Delay time=333"), std::string::npos);
    EXPECT_EQ(config::LoadConfig(h.ConfigFile()).option, config::OptionValues{});
    EXPECT_EQ(h.ReadConfigFile().find("Test Delay Time"), std::string::npos);
}

TEST(Startup, OptionsAreClampedAndSavedOnClose) {
    GuiHarness h("[Option]\nFrame delay=1\nDelay time=10\nRX timer=9999\nRX/TX conversion=400\n"
                 "Search before R/W=0\nTest Delay Time=777\nResend=1\nResend time=50\n",
                 "");
    h.IgnoreSystemPorts();
    h.Start();
    Ui::TForm1& ui = h.Ctx().ui;
    EXPECT_TRUE(ui.CheckBox2->isChecked());
    EXPECT_EQ(ui.SpinEdit2->value(), 60);
    EXPECT_EQ(ui.SpinEdit3->value(), 500);
    EXPECT_EQ(ui.SpinEdit4->value(), 400);
    EXPECT_FALSE(ui.N18->isChecked());
    EXPECT_EQ(h.G().TestDelayTime, 777);
    EXPECT_TRUE(ui.CheckBoxResend->isChecked());
    EXPECT_EQ(ui.SpinEditResend->value(), 100);

    // Each click of N18 toggles its check.
    ui.N18->trigger();
    EXPECT_TRUE(ui.N18->isChecked());
    ui.SpinEdit3->setValue(45);
    ui.CheckBox2->setChecked(false);
    ui.CheckBoxResend->setChecked(false);
    h.Click("SpeedButton7");
    EXPECT_FALSE(h.Window().isVisible());

    config::OptionValues saved;
    saved.frameDelay = false;
    saved.delayTime = 60;
    saved.rxTimer = 45;
    saved.rxTxConversion = 400;
    saved.searchBeforeRw = true;
    saved.TestDelayTime = 777; // never written, so the file keeps it
    EXPECT_EQ(config::LoadConfig(h.ConfigFile()).option, saved);
    EXPECT_EQ(config::LoadResendOption(h.ConfigFile()), (config::ResendOption{false, 100}));
}

TEST(Startup, VariantLayouts) {
    struct Row {
        const char* ver;
        bool factory;       // every group shown, serial-number fields from the file kept
        bool morvantelis;   // TX and RX frequency rows, channel buttons in one row
        bool frequencyEdit; // Edit1 shown
        bool qx87id;        // air-rate and serial-parameter buttons disabled
    };
    const Row rows[] = {
        {"type=QXTEST\n", true, false, true, false},
        {"type=QXTEST\nModel=QX87ID\n", true, false, true, true},
        {"", false, false, true, false},
        {"type=ORW\nModel=QX87ID\n", false, false, true, true},
        {"type=MORVANTELIS\n", false, true, true, false},
        {"type=KWTRLP\n", false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ver);
        GuiHarness h(std::string("[Ver]\n") + row.ver + "[SN]\nYear=2023\nMonth=05\nNO=00042\n",
                     "");
        h.IgnoreSystemPorts();
        TForm1& w = h.Start();
        Ui::TForm1& ui = h.Ctx().ui;

        for (QWidget* shownInFactory :
             {static_cast<QWidget*>(ui.GroupBox12), static_cast<QWidget*>(ui.GroupBox13),
              static_cast<QWidget*>(ui.SpeedButton25), static_cast<QWidget*>(ui.CheckBox4)})
            EXPECT_EQ(shownInFactory->isVisible(), row.factory)
                << shownInFactory->objectName().toStdString();
        EXPECT_EQ(ui.N7->menuAction()->isVisible(), row.factory);
        EXPECT_EQ(ui.ComboBox12->currentText(), row.factory ? "2023" : "");
        EXPECT_EQ(ui.ComboBox13->currentText(), row.factory ? "05" : "");
        EXPECT_EQ(ui.Edit2->text(), row.factory ? "00042" : "");
        // The factory layout keeps the form's height, a customer layout takes its own; either
        // grows only to the least its layout needs.
        const int wanted =
            row.factory ? kDesignWindowHeight : kCustomerWindowHeight * w.logicalDpiY() / 96;
        EXPECT_EQ(w.height(), std::max(wanted, w.minimumSizeHint().height()));
        if (!row.factory) {
            EXPECT_GT(ui.GroupBox19->y(), ui.GroupBox20->y());
        }
        // On the screen and centred on it at its final height; a window wider than the screen
        // keeps its left edge on it.
        const QRect area = w.screen()->availableGeometry();
        const QRect frame = w.frameGeometry();
        EXPECT_LE(frame.height(), area.height());
        EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
        if (frame.width() <= area.width())
            EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
        else
            EXPECT_EQ(frame.left(), area.left());

        EXPECT_EQ(ui.Edit19->isVisible(), row.morvantelis);
        EXPECT_EQ(ui.Label55->isVisible(), row.morvantelis);
        if (row.morvantelis) {
            EXPECT_EQ(ui.SpeedButton8->y(), ui.SpeedButton2->y());
        }
        EXPECT_EQ(ui.Edit1->isVisible(), row.frequencyEdit);
        if (row.qx87id) {
            for (const QPushButton* button :
                 {ui.SpeedButton4, ui.SpeedButton9, ui.SpeedButton5, ui.SpeedButton10})
                EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
        }
    }
}

TEST(Startup, ToolbarAndMenu) {
    GuiHarness h("[Ver]\ntype=QXTEST\n", "");
    h.IgnoreSystemPorts();
    TForm1& w = h.Start();
    Ui::TForm1& ui = h.Ctx().ui;

    // N9 only shows the pair test tab.
    ui.N9->trigger();
    EXPECT_EQ(ui.PageControl1->currentIndex(), 1);
    EXPECT_EQ(h.G().AppState, StateCommand);

    // The toolbar button and the menu item show the port dialog modally; Cancel closes it.
    for (const auto& show : std::vector<std::function<void()>>{[&] { h.Click("SpeedButton1"); },
                                                               [&] { ui.N2->trigger(); }}) {
        bool wasModal = false;
        QTimer::singleShot(0, [&] {
            TfrmPortSet* dialog = h.Ctx().frmPortSet;
            wasModal = dialog->isVisible() && dialog->isModal();
            h.InPortDialog<QPushButton>("SpeedButton3")->click();
        });
        show();
        EXPECT_TRUE(wasModal);
        EXPECT_FALSE(h.Ctx().frmPortSet->isVisible());
    }

    ui.N13->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(std::filesystem::exists(h.ConfigFile()));
}
