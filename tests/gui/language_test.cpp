// The languages: captions, hints and lists by the language code and the variant, the window
// caption and the vendor line by the model list, the about box and the help document, the
// switch while the tool runs, and English captions that fit their controls.
#include "app/about_box.h"
#include "gui_harness.h"
#include "readable_forms.h"
#include "ui_about_box.h"
#include "ui_main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}

std::string Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return Utf8(items.join('|'));
}

std::string HelpPath() {
    return (std::filesystem::current_path() / "readme.doc").string();
}

// Every text a form shows to the operator, one control a line, so two forms compare whole.
std::string TextsOf(QWidget& form) {
    QStringList texts{form.windowTitle(), form.font().family()};
    for (QObject* object : form.findChildren<QObject*>()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget != nullptr && widget->window() != &form)
            continue;
        const QString name = object->objectName();
        if (auto* action = qobject_cast<QAction*>(object))
            texts << name + action->text() + (action->isVisible() ? "" : " hidden");
        if (auto* menu = qobject_cast<QMenu*>(object))
            texts << name + menu->title();
        if (auto* group = qobject_cast<QGroupBox*>(object))
            texts << name + group->title();
        if (auto* button = qobject_cast<QAbstractButton*>(object))
            texts << name + button->text() + (button->isVisibleTo(&form) ? "" : " hidden");
        // The port and progress panels tell what happened at start, not the language.
        auto* label = qobject_cast<QLabel*>(object);
        if (label != nullptr && !qobject_cast<QStatusBar*>(label->parentWidget()))
            texts << name + label->text();
        if (auto* box = qobject_cast<QComboBox*>(object))
            texts << name + QString::fromStdString(Items(box));
        if (auto* tabs = qobject_cast<QTabWidget*>(object)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        }
        if (widget != nullptr && !widget->toolTip().isEmpty())
            texts << name + widget->toolTip();
    }
    return Utf8(texts.join('\n'));
}

std::string FormsOf(GuiHarness& h) {
    return TextsOf(h.Window()) + "\n" + Utf8(h.Status(0)) + "\n" + TextsOf(*h.Ctx().frmPortSet) +
           "\n" + TextsOf(h.Window().About());
}

} // namespace

TEST(Language, CaptionsByLanguageCode) {
    struct Row {
        const char* ver;
        bool englishCaptions;
        const char* search;    // SpeedButton20, with a German form
        const char* read;      // SpeedButton3
        const char* menu;      // N3
        const char* plainMenu; // N2, without one
        const char* tabs;
        const char* groups;  // one of each tab: GroupBox3, GroupBox11, GroupBox17
        const char* buttons; // SpeedButton4, SpeedButton37 (the terminal's Send)
        const char* parity;  // ComboBox3's entries
        const char* portDialog;
        const char* helpFail; // after the document's path
    };
    const char* kHint =
        "Two Attachable Communication RF Module/radio Must have Same channel and RF Rate!  ";
    const Row rows[] = {
        {"CEO=CN\n", false, "电台检测(&T)", "读参数(&R)", "电台检测", "串口设置",
         "电台参数|对传测试|数据通讯", "信道与频率|发送|字符类型", "读取(&3)|发送",
         "偶校验|奇校验|无校验", "串口设置", "文件打开出错！"},
        {"CEO=EN\n", true, "Search(&S)", "Read (&R)", "Search Radio", "COM Set",
         "Radio Parameters|Transmit Both Sides|Data transmit",
         "Channel and Frequency|Transmit|Character types", "Read(&3)|Send", "EVEN|ODD|NONE",
         "COM Option", " File opend fail！"},
        // Captions test two characters; messages and dialogs the whole code.
        {"CEO=ENGLISH\n", true, "Search(&S)", "Read (&R)", "Search Radio", "COM Set",
         "Radio Parameters|Transmit Both Sides|Data transmit",
         "Channel and Frequency|Transmit|Character types", "Read(&3)|Send", "EVEN|ODD|NONE",
         "串口设置", "文件打开出错！"},
        {"CEO=en\n", false, "电台检测(&T)", "读参数(&R)", "电台检测", "串口设置",
         "电台参数|对传测试|数据通讯", "信道与频率|发送|字符类型", "读取(&3)|发送",
         "偶校验|奇校验|无校验", "串口设置", "文件打开出错！"},
        {"CEO=EN\ntype=GERMAN\n", true, "SUCHEN(&S)", "EINLESEN (&R)", "FUNKMODULE SUCHEN",
         "COM Set", "FUNK EINSTELLUNGEN|BIDIREKTIONALE VERBINDUNG|DATENUEBETRAGUNG",
         "KANAL UND FREQUENZ|SENDE|Character types", "EINLESEN|SENDEN", "EVEN|ODD|NONE",
         "COM EINSTELLUNGEN", " File opend fail！"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.ver);
        GuiHarness h(std::string("[Ver]\nQX=1\n") + r.ver, "");
        h.IgnoreSystemPorts();
        h.Start();
        Ui::TForm1& ui = h.Ctx().ui;
        EXPECT_EQ(Utf8(ui.SpeedButton20->text()), r.search);
        EXPECT_EQ(Utf8(ui.SpeedButton3->text()), r.read);
        EXPECT_EQ(Utf8(ui.N3->title()), r.menu);
        EXPECT_EQ(Utf8(ui.N2->text()), r.plainMenu);
        const QTabWidget* tabs = ui.PageControl1;
        EXPECT_EQ(Utf8(tabs->tabText(0) + "|" + tabs->tabText(1) + "|" + tabs->tabText(2)), r.tabs);
        EXPECT_EQ(Utf8(ui.GroupBox3->title() + "|" + ui.GroupBox11->title() + "|" +
                       ui.GroupBox17->title()),
                  r.groups);
        EXPECT_EQ(Utf8(ui.SpeedButton4->text() + "|" + ui.SpeedButton37->text()), r.buttons);
        EXPECT_EQ(Items(ui.ComboBox3), r.parity);
        EXPECT_EQ(Utf8(ui.ComboBox4->toolTip()), r.englishCaptions ? kHint : "");
        EXPECT_EQ(Utf8(ui.Label13->text()), r.englishCaptions ? "TX " : "发送");
        EXPECT_EQ(Utf8(h.Ctx().frmPortSet->windowTitle()), r.portDialog);

        // Help is hidden in English; its failure speaks the messages' language.
        EXPECT_EQ(ui.SpeedButton6->isVisible(), !r.englishCaptions);
        EXPECT_EQ(ui.N20->isVisible(), !r.englishCaptions);
        if (r.englishCaptions) {
            // The model row packs its longer texts: each list right after its label.
            EXPECT_EQ(ui.ComboBox15->x(), ui.Label39->geometry().right() + 1);
            ui.N20->trigger();
        } else {
            h.Click("SpeedButton6");
        }
        ASSERT_EQ(h.shell.opened, std::vector<std::string>{HelpPath()});
        EXPECT_EQ(h.Boxes().back(), HelpPath() + r.helpFail);
    }
}

TEST(Language, CaptionAndVendorLineByVariant) {
    struct Row {
        const char* ver;
        const char* caption;
        bool vendorLine; // and the about box
        const char* ioGroup;
    };
    const char* kEnglish = "DE Doruva(Rizad) idavuvav  V3.06";
    const Row rows[] = {
        {"type=QXTEST\nQX=1\n", "Velmora科技radarodedud   V3.06", true,
         "IO开关量(仅对 QX872/QX873 ID 协议)"},
        {"type=MORVANTELIS\nQX=1\n", "Velmora科技radarodedud   V3.06  For  MORVANTELIS", true,
         "IO开关量(仅对 QX872/QX873 ID 协议)"},
        {"", "radarodedud   V3.06", false, "IO开关量(仅对 872/873 ID 协议)"},
        {"type=MORVANTELIS\nQX=2\n", "radarodedud   V3.06", false,
         "IO开关量(仅对 872/873 ID 协议)"},
        {"type=QXTEST\nQX=1\nCEO=EN\n", kEnglish, true,
         "IO Control(for QX872/QX873 with ID protocol)"},
        {"CEO=EN\n", kEnglish, false, "IO Control(for 872/873 with ID protocol)"},
        {"type=GERMAN\nQX=1\nCEO=EN\n", "ZA ZEDOROZEVO ZODODURU  V3.06", true,
         "IO Control(for QX872/QX873 with ID protocol)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.ver);
        GuiHarness h(std::string("[Ver]\n") + r.ver, "");
        h.IgnoreSystemPorts();
        TForm1& w = h.Start();
        EXPECT_EQ(Utf8(w.windowTitle()), r.caption);
        EXPECT_EQ(h.Status(0).isEmpty(), !r.vendorLine);
        EXPECT_EQ(h.Ctx().ui.N11->isVisible(), r.vendorLine);
        EXPECT_EQ(Utf8(h.Ctx().ui.GroupBox6->title()), r.ioGroup);
    }
}

TEST(Language, AboutBox) {
    for (const char* lang : {"EN", "CN"}) {
        SCOPED_TRACE(lang);
        const bool english = std::string(lang) == "EN";
        GuiHarness h(std::string("[Ver]\nQX=1\nCEO=") + lang + "\n", "");
        h.IgnoreSystemPorts();
        h.Start();
        TFrm_about& box = h.Window().About();
        Ui::TFrm_about& ui = box.Form();
        bool shown = false;
        QTimer::singleShot(0, [&] {
            shown = box.isVisible() && box.isModal();
            EXPECT_EQ(Utf8(ui.Label1->text()), english ? "VE Rore Dizodo Zurazaro" : "radarodedud");
            EXPECT_EQ(Utf8(ui.Label8->text()), english ? "Web:" : "网址：");
            // The full version whatever the language.
            EXPECT_EQ(Utf8(ui.Label5->text()), " V3.06.14");
            EXPECT_EQ(Utf8(ui.Label9->text()), "2009-8-21");
            // The link opens its address and leaves the box up; a click elsewhere closes it.
            QTest::mouseClick(ui.Label7, Qt::LeftButton);
            EXPECT_EQ(h.shell.opened, std::vector<std::string>{Utf8(ui.Label7->text())});
            EXPECT_TRUE(box.isVisible());
            QTest::mouseClick(ui.Label2, Qt::LeftButton);
        });
        h.Ctx().ui.N11->trigger();
        EXPECT_TRUE(shown);
        EXPECT_FALSE(box.isVisible());
    }
}

// A switch while the tool runs gives what a start in that language gives, selections kept.
TEST(Language, SwitchWhileRunning) {
    const std::string ver = "[Ver]\ntype=QXTEST\nQX=1\nCEO=";
    std::string chinese, english;
    for (auto [lang, forms] : {std::pair{"CN", &chinese}, {"EN", &english}}) {
        GuiHarness h(ver + lang + "\n", "");
        h.IgnoreSystemPorts();
        h.Start();
        *forms = FormsOf(h);
    }
    ASSERT_NE(chinese, english);

    GuiHarness h(ver + "EN\n", "");
    h.IgnoreSystemPorts();
    h.Start();
    Ui::TForm1& ui = h.Ctx().ui;
    ui.ComboBox6->setCurrentIndex(2);
    ui.ComboBox21->setCurrentIndex(15);
    ui.LanguageChinese->trigger();
    EXPECT_EQ(FormsOf(h), chinese);
    EXPECT_TRUE(ui.LanguageChinese->isChecked());
    EXPECT_EQ(h.G().LangCode, "CN");
    ui.LanguageEnglish->trigger();
    EXPECT_EQ(FormsOf(h), english);
    EXPECT_EQ(ui.ComboBox6->currentIndex(), 2);
    EXPECT_EQ(Utf8(ui.ComboBox21->currentText()), "Level 15");
    // The choice lasts for the session: the Ver section is never written.
    h.Window().close();
    EXPECT_NE(h.ReadConfigFile().find("CEO=EN"), std::string::npos);
}

// No English caption is cut short, at the design font and at twice its size.
TEST(Language, EnglishCaptionsFit) {
    const QFont design = QApplication::font();
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        QFont font = design;
        font.setPointSizeF(design.pointSizeF() * scale);
        QApplication::setFont(font);
        GuiHarness h("[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n", "");
        h.IgnoreSystemPorts();
        TForm1& w = h.Start();
        for (int tab = 0; tab < h.Ctx().ui.PageControl1->count(); ++tab) {
            h.Ctx().ui.PageControl1->setCurrentIndex(tab);
            QApplication::processEvents();
            ExpectReadable(&w);
        }
    }
    QApplication::setFont(design);
}
