// The three Designer forms as built from their .ui files: the names, classes, texts and initial
// states that the windows' handlers rely on. A renamed control or a changed start state fails here.
#include "readable_forms.h"
#include "ui_about_box.h"
#include "ui_main_window.h"
#include "ui_port_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

// Failure messages show texts as text, not as UTF-16 code units.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

std::vector<std::string> Numbered(const std::string& stem, std::initializer_list<int> numbers) {
    std::vector<std::string> names;
    for (int n : numbers)
        names.push_back(stem + std::to_string(n));
    return names;
}

std::vector<std::string> Range(const std::string& stem, int first, int last) {
    std::vector<std::string> names;
    for (int n = first; n <= last; ++n)
        names.push_back(stem + std::to_string(n));
    return names;
}

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Names of the widgets a box layout holds, in order; spacers are left out.
QStringList LayoutOrder(const QLayout* layout) {
    QStringList names;
    for (int i = 0; i < layout->count(); ++i)
        if (QWidget* widget = layout->itemAt(i)->widget())
            names << widget->objectName();
    return names;
}

// Speed buttons never take the focus: a click leaves it in the field being edited, so the
// field's exit handling does not run before the button's operation reads it.
void ExpectSpeedButtonsTakeNoFocus(const QWidget* form, int count) {
    const auto buttons =
        form->findChildren<QAbstractButton*>(QRegularExpression("^SpeedButton\\d+$"));
    EXPECT_EQ(buttons.size(), count);
    for (const QAbstractButton* button : buttons)
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
}

class MainForm : public ::testing::Test {
protected:
    void SetUp() override { ui.setupUi(&window); }

    template <class T = QWidget> T* Get(const std::string& name) {
        T* found = window.findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QMainWindow window;
    Ui::TForm1 ui;
};

TEST_F(MainForm, EveryControlExistsOnceWithItsClass) {
    struct Kind {
        const char* className;
        std::vector<std::string> names;
    };
    const std::vector<Kind> kinds = {
        {"QPushButton", Range("SpeedButton", 1, 18)},
        {"QPushButton", Range("SpeedButton", 20, 33)},
        {"QPushButton", Range("SpeedButton", 37, 40)},
        {"QPushButton", {"Button1", "Button2"}},
        {"QComboBox", Range("ComboBox", 1, 16)},
        {"QComboBox", {"ComboBox21"}},
        {"QLineEdit", Range("Edit", 1, 13)},
        {"QLineEdit", Range("Edit", 15, 21)},
        {"QPlainTextEdit", Range("Memo", 1, 4)},
        {"QCheckBox", Range("CheckBox", 1, 5)},
        {"QRadioButton", Range("RadioButton", 1, 8)},
        {"QRadioButton", Range("RadioButton", 13, 16)},
        {"QSpinBox", Range("SpinEdit", 1, 4)},
        {"QGroupBox", Range("GroupBox", 1, 25)},
        {"QLabel", Range("Label", 1, 13)},
        {"QLabel", Numbered("Label", {15, 17, 19, 49, 50, 51, 54, 55, 56, 57})},
        {"QLabel", Range("Label", 21, 41)},
        {"QLabel", {"Image1"}},
        {"QFrame", Range("Shape", 1, 4)},
        {"QFrame", {"Panel1"}},
        {"QWidget", {"TabSheet1", "TabSheet2", "TabSheet3", "SpinButton1"}},
        {"QToolButton", {"SpinButton1Up", "SpinButton1Down"}},
        {"QTabWidget", {"PageControl1"}},
        {"QStatusBar", {"StatusBar1"}},
        {"QMenu", Numbered("N", {1, 3, 4, 7, 10})},
        {"QAction", Numbered("N", {2, 5, 6, 8, 9, 11, 13, 14, 15, 18, 19, 20})},
    };
    for (const Kind& kind : kinds)
        for (const std::string& name : kind.names) {
            const auto found = window.findChildren<QObject*>(QString::fromStdString(name));
            ASSERT_EQ(found.size(), 1) << name;
            EXPECT_STREQ(found.front()->metaObject()->className(), kind.className) << name;
        }
}

TEST_F(MainForm, StartsWithTheGatedControlsDisabledAndTheTxRxDisplayHidden) {
    // Disabled until a model is chosen, a search answers or the operator switches a mode.
    for (const char* name : {"SpeedButton2", "SpeedButton4", "SpeedButton5", "Label33",
                             "ComboBox14", "SpeedButton31", "SpeedButton33", "SpeedButton12",
                             "SpeedButton13", "SpeedButton32", "GroupBox15", "Edit11", "SpinEdit1"})
        EXPECT_FALSE(Get(name)->isEnabled()) << name;
    // Their neighbours must stay usable.
    for (const char* name : {"SpeedButton8", "SpeedButton9", "SpeedButton10", "SpeedButton11",
                             "SpeedButton22", "SpeedButton23", "SpeedButton24", "SpeedButton25",
                             "SpeedButton26", "SpeedButton27", "Edit15", "Edit10", "ComboBox4",
                             "CheckBox4", "Button1", "Button2", "SpeedButton17", "SpeedButton37"})
        EXPECT_TRUE(Get(name)->isEnabled()) << name;
    for (const char* name : {"Label54", "Label55", "Edit19", "CheckBox5"})
        EXPECT_TRUE(Get(name)->isHidden()) << name;
    for (const char* name : {"Edit1", "GroupBox12", "GroupBox13", "SpeedButton25", "CheckBox4"})
        EXPECT_FALSE(Get(name)->isHidden()) << name;
}

TEST_F(MainForm, ListsHoldTheirEntriesAndStartWithoutSelection) {
    struct List {
        const char* name;
        QStringList items;
        bool editable;
    };
    const QStringList levels = {"低电平", "高低平"};
    QStringList powerLevels;
    for (int level = 0; level <= 15; ++level)
        powerLevels << QString("%1级").arg(level);
    // Lists filled at start-up or by the model choice are empty in the form.
    const std::vector<List> lists = {
        {"ComboBox1", {}, false},
        {"ComboBox2", {}, false},
        {"ComboBox3", {"偶校验", "奇校验", "无校验"}, false},
        {"ComboBox4", {}, false},
        {"ComboBox5", {"Velmora", "兼容"}, false},
        {"ComboBox6", {"无休眠模式", "硬件唤醒", "串口唤醒", "空中唤醒"}, false},
        {"ComboBox7", levels, false},
        {"ComboBox8", levels, false},
        {"ComboBox9", levels, false},
        {"ComboBox10", levels, false},
        {"ComboBox11", {}, false},
        {"ComboBox12", {}, true},
        {"ComboBox13", {}, true},
        {"ComboBox14", {"1W", "2W"}, false},
        {"ComboBox15", {}, false},
        {"ComboBox16", {"433MHZ", "490MHZ", "915MHZ", "868MHZ", "230MHZ"}, false},
        {"ComboBox21", powerLevels, false},
    };
    for (const List& list : lists) {
        auto* box = Get<QComboBox>(list.name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Items(box), list.items) << list.name;
        EXPECT_EQ(box->currentIndex(), -1) << list.name;
        EXPECT_TRUE(box->currentText().isEmpty()) << list.name;
        EXPECT_EQ(box->isEditable(), list.editable) << list.name;
    }
}

TEST_F(MainForm, SpinBoxesHaveTheirRangesAndDesignValues) {
    struct Spin {
        const char* name;
        int minimum, maximum, value;
    };
    for (const Spin& spin : {Spin{"SpinEdit1", 100, 10000, 1000}, Spin{"SpinEdit2", 60, 3000, 300},
                             Spin{"SpinEdit3", 10, 500, 30}, Spin{"SpinEdit4", 10, 1000, 20}}) {
        auto* box = Get<QSpinBox>(spin.name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->minimum(), spin.minimum) << spin.name;
        EXPECT_EQ(box->maximum(), spin.maximum) << spin.name;
        EXPECT_EQ(box->value(), spin.value) << spin.name;
    }
}

TEST_F(MainForm, ChoicesStartCheckedAndEachPairExcludesOnlyItsPartner) {
    for (const char* name : {"CheckBox1", "CheckBox2"})
        EXPECT_TRUE(Get<QAbstractButton>(name)->isChecked()) << name;
    for (const char* name : {"CheckBox3", "CheckBox4", "CheckBox5"})
        EXPECT_FALSE(Get<QAbstractButton>(name)->isChecked()) << name;

    // Each pair: the option checked at start, then its alternative.
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"RadioButton13", "RadioButton14"}, {"RadioButton15", "RadioButton16"},
        {"RadioButton4", "RadioButton3"},   {"RadioButton1", "RadioButton2"},
        {"RadioButton5", "RadioButton6"},   {"RadioButton7", "RadioButton8"}};
    for (const auto& [first, second] : pairs) {
        EXPECT_TRUE(Get<QAbstractButton>(first)->isChecked()) << first;
        EXPECT_FALSE(Get<QAbstractButton>(second)->isChecked()) << second;
    }
    for (const auto& [first, second] : pairs) {
        Get<QAbstractButton>(second)->setChecked(true);
        EXPECT_FALSE(Get<QAbstractButton>(first)->isChecked()) << first;
        for (const auto& [otherFirst, otherSecond] : pairs) {
            if (otherFirst != first) {
                EXPECT_TRUE(Get<QAbstractButton>(otherFirst)->isChecked())
                    << second << " also unchecked " << otherFirst;
            }
        }
        Get<QAbstractButton>(first)->setChecked(true);
    }
}

TEST_F(MainForm, ControlsCarryTheDesignCaptions) {
    const std::vector<std::pair<const char*, QString>> captions = {
        {"SpeedButton2", "读取(&1)"},
        {"SpeedButton8", "设置(&2)"},
        {"SpeedButton4", "读取(&3)"},
        {"SpeedButton9", "设置(&4)"},
        {"SpeedButton5", "读取(&5)"},
        {"SpeedButton10", "设置(&6)"},
        {"SpeedButton22", "读取(&F)"},
        {"SpeedButton23", "设置(&G)"},
        {"SpeedButton24", "读取(&7)"},
        {"SpeedButton25", "设置(&8)"},
        {"SpeedButton26", "读取(&H)"},
        {"SpeedButton27", "设置(&I)"},
        {"SpeedButton33", "设置"},
        {"SpeedButton11", "读取(&C)"},
        {"SpeedButton28", "设置(&D)"},
        {"SpeedButton29", "串口唤醒(&E)"},
        {"SpeedButton39", "设置"},
        {"SpeedButton13", "读取(&J)"},
        {"SpeedButton12", "设置(&K)"},
        {"SpeedButton32", "设置(&M)"},
        {"Button1", "读取"},
        {"Button2", "设置"},
        {"SpeedButton14", "启动测试(&A)"},
        {"SpeedButton15", "结束测试(&B)"},
        {"SpeedButton38", "全设(G-8-W-A)"},
        {"SpeedButton40", "校准"},
        {"SpeedButton17", "发送"},
        {"SpeedButton18", "停止"},
        {"SpeedButton16", "清零"},
        {"SpeedButton37", "发送"},
        {"GroupBox3", "信道与频率"},
        {"GroupBox1", "空中速率"},
        {"GroupBox2", "串口参数"},
        {"GroupBox13", "空中协议"},
        {"GroupBox19", "电台ID与QX875功率"},
        {"GroupBox4", "省电模式"},
        {"GroupBox25", "空中唤醒占空比时间"},
        {"GroupBox6", "IO开关量(仅对 QX872/QX873 ID 协议)"},
        {"GroupBox20", "场强与功率"},
        {"GroupBox18", "出厂系列号"},
        {"GroupBox12", "电台测试"},
        {"GroupBox15", "指定接收数据"},
        {"GroupBox11", "发送"},
        {"GroupBox10", "接收"},
        {"Label39", "产品型号"},
        {"Label40", "基频"},
        {"Label41", "请先选择型号基频或先检测电台："},
        {"Label33", "QX875/885/230C功率"},
        {"Label54", "TX"},
        {"Label55", "RX"},
        {"Label56", "工作(毫秒):"},
        {"Label57", "睡眠(秒):"},
        {"Label51", "电容值"},
        {"Label30", "目标ID"},
        {"Label23", "0"},
        {"Label25", "0"},
        {"CheckBox1", "回发纠错"},
        {"CheckBox2", "指定帧间延时"},
        {"CheckBox3", "进入接收状态"},
        {"CheckBox4", "参数锁定"},
        {"CheckBox5", "基站用QX871"},
        {"RadioButton13", "收发相同"},
        {"RadioButton14", "指定接收数据"},
        {"RadioButton15", "主发"},
        {"RadioButton16", "主收"},
        {"RadioButton4", "ASCII"},
        {"RadioButton3", "HEX"},
        {"RadioButton1", "返回后发送"},
        {"RadioButton2", "定时发送"},
        {"Label35", "接收周期"},
        {"Label37", "收发转换"},
        {"Label13", "发送"},
        {"Label15", "接收"},
        {"Label17", "成功"},
        {"Label19", "错误"},
        {"Label21", "成功率"},
        // The statistics start at zero; the success rate stays empty until something is sent.
        {"Edit5", "0"},
        {"Edit6", "0"},
        {"Edit7", "0"},
        {"Edit8", "0"},
        {"Edit9", ""},
    };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(Caption(Get<QObject>(name)), caption) << name;
    EXPECT_EQ(window.windowTitle(), "radarodedud V30.6 ");
}

TEST_F(MainForm, SpeedButtonsTakeNoFocus) {
    ExpectSpeedButtonsTakeNoFocus(&window, 36);
}

TEST_F(MainForm, ToolbarHoldsItsButtonsInOrder) {
    EXPECT_EQ(LayoutOrder(ui.Panel1->layout()),
              QStringList({"SpeedButton1", "SpeedButton20", "SpeedButton30", "SpeedButton3",
                           "SpeedButton21", "SpeedButton6", "SpeedButton7"}));
    const QStringList captions = {"串口(&P)",   "电台检测(&T)", "停止检测", "读参数(&R)",
                                  "写参数(&W)", "帮助(&H)",     "退出(&X)"};
    const QStringList names = LayoutOrder(ui.Panel1->layout());
    for (int i = 0; i < names.size() && i < captions.size(); ++i)
        EXPECT_EQ(Caption(Get<QObject>(names[i].toStdString())), captions[i]);
}

TEST_F(MainForm, TabsAreTheThreePagesWithTheFirstShown) {
    ASSERT_EQ(ui.PageControl1->count(), 3);
    const QStringList names = {"TabSheet1", "TabSheet2", "TabSheet3"};
    const QStringList titles = {"电台参数", "对传测试", "数据通讯"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ui.PageControl1->widget(i)->objectName(), names[i]);
        EXPECT_EQ(ui.PageControl1->tabText(i), titles[i]);
    }
    EXPECT_EQ(ui.PageControl1->currentIndex(), 0);
}

TEST_F(MainForm, MenusHoldTheirItemsWithTheSearchCheckOn) {
    // Each menu: its name and title, then its items by name ("-" a separator) with their texts.
    struct Menu {
        const char* name;
        QString title;
        QStringList items, texts;
    };
    const std::vector<Menu> menus = {
        {"N1",
         "串口设置",
         {"N2", "-", "FrameMonitorItem", "SessionLogItem"},
         {"串口设置", "", "帧监视器", "会话日志"}},
        {"N3", "电台检测", {"N14", "N19"}, {"电台检测", "停止检测"}},
        {"N4",
         "读写参数",
         {"N5", "N6", "-", "N18", "-", "SaveProfileItem", "ApplyProfileItem"},
         {"参数全读", "参数全写", "", "读写前检测", "", "保存模块设置…", "应用设置…"}},
        {"N7", "电台测试", {"N8", "N15", "-", "N9"}, {"发射调试", "接收调试", "", "对传测试"}},
        {"N10",
         "帮助",
         {"N20", "N11", "-", "ActionSaveResults", "N13"},
         {"帮助", "关于", "", "保存对传结果…", "退出"}},
    };
    QStringList bar;
    for (QAction* action : window.menuBar()->actions())
        bar << action->menu()->objectName();
    EXPECT_EQ(bar, QStringList({"N1", "N3", "N4", "N7", "MenuLanguage", "N10"}));
    for (const Menu& menu : menus) {
        auto* found = Get<QMenu>(menu.name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->title(), menu.title);
        QStringList items, texts;
        for (QAction* action : found->actions()) {
            items << (action->isSeparator() ? QString("-") : action->objectName());
            texts << action->text();
        }
        EXPECT_EQ(items, menu.items) << menu.name;
        EXPECT_EQ(texts, menu.texts) << menu.name;
    }
    EXPECT_TRUE(ui.N18->isCheckable());
    EXPECT_TRUE(ui.N18->isChecked());
    for (QAction* action :
         {ui.N2, ui.N5, ui.N6, ui.N8, ui.N9, ui.N11, ui.N13, ui.N14, ui.N15, ui.N19, ui.N20})
        EXPECT_FALSE(action->isCheckable()) << action->objectName().toStdString();
}

TEST_F(MainForm, FieldsOnlyTheProgramWritesAreReadOnly) {
    for (const char* name : {"Edit1", "Edit19", "Edit16", "Edit17", "Edit3", "Edit12", "Edit13",
                             "Edit5", "Edit6", "Edit7", "Edit8", "Edit9"})
        EXPECT_TRUE(Get<QLineEdit>(name)->isReadOnly()) << name;
    for (const char* name :
         {"Edit2", "Edit4", "Edit10", "Edit11", "Edit15", "Edit18", "Edit20", "Edit21"})
        EXPECT_FALSE(Get<QLineEdit>(name)->isReadOnly()) << name;
    EXPECT_EQ(ui.Edit2->maxLength(), 5);

    struct Memo {
        const char* name;
        bool readOnly;
        QString hint;
    };
    for (const Memo& memo :
         {Memo{"Memo1", true, "双击清空"}, Memo{"Memo2", true, "双击清空"},
          Memo{"Memo3", false, "双击可清空"}, Memo{"Memo4", true, "双击可清空"}}) {
        auto* edit = Get<QPlainTextEdit>(memo.name);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->isReadOnly(), memo.readOnly) << memo.name;
        EXPECT_EQ(edit->toolTip(), memo.hint) << memo.name;
    }
}

TEST_F(MainForm, IndicatorsStartSilverAndTheNumberArrowsPointUpAndDown) {
    for (const char* name : {"Shape1", "Shape2", "Shape3", "Shape4"})
        EXPECT_TRUE(Get(name)->styleSheet().contains("background-color: silver")) << name;
    EXPECT_EQ(ui.SpinButton1Up->arrowType(), Qt::UpArrow);
    EXPECT_EQ(ui.SpinButton1Down->arrowType(), Qt::DownArrow);
    EXPECT_EQ(ui.SpinButton1Up->parentWidget(), ui.SpinButton1);
    EXPECT_EQ(ui.SpinButton1Down->parentWidget(), ui.SpinButton1);
}

TEST_F(MainForm, GroupsThatVariantsMoveShareAColumnLayout) {
    EXPECT_EQ(LayoutOrder(ui.layoutModelRow),
              QStringList({"Image1", "Label41", "Label39", "ComboBox15", "Label40", "ComboBox16"}));
    EXPECT_EQ(LayoutOrder(ui.layoutLeftColumn),
              QStringList({"GroupBox3", "GroupBox1", "GroupBox2"}));
    // The IO group sits directly below the power-saving group in every layout.
    EXPECT_EQ(LayoutOrder(ui.layoutMiddleColumn), QStringList({"GroupBox4", "GroupBox6"}));
    // Customer layouts put the ID group below field strength by re-inserting it in this column.
    EXPECT_EQ(LayoutOrder(ui.layoutRightColumn),
              QStringList({"GroupBox13", "GroupBox18", "GroupBox19", "GroupBox20", "GroupBox12"}));
}

TEST_F(MainForm, EveryPageIsLaidOutReadably) {
    window.resize(757, 606);
    window.show();
    for (int page = 0; page < ui.PageControl1->count(); ++page) {
        ui.PageControl1->setCurrentIndex(page);
        QCoreApplication::processEvents();
        ExpectReadable(&window);
    }
}

class PortForm : public ::testing::Test {
protected:
    void SetUp() override { ui.setupUi(&dialog); }
    QDialog dialog;
    Ui::TfrmPortSet ui;
};

TEST_F(PortForm, ListsStartAtCom1With2400BaudNoParityAndFixedFraming) {
    QStringList ports;
    for (int n = 1; n <= 36; ++n)
        ports << QString("COM%1").arg(n);
    struct List {
        QComboBox* box;
        QStringList items;
        int index;
        bool enabled;
    };
    const std::vector<List> lists = {
        {ui.ComboBox1, ports, 0, true},
        {ui.ComboBox2, {"600", "1200", "2400", "4800", "9600", "19200", "38400", "57600"}, 2, true},
        {ui.ComboBox3, {"EVEN(偶校验)", "ODD(奇校验)", "NONE(无校验)"}, 2, true},
        {ui.ComboBox4, {"8", "7", "5", "6"}, 0, false},
        {ui.ComboBox5, {"1", "2"}, 0, false},
        {ui.ComboBox6, {"1", "1.5", "2"}, 0, false},
    };
    for (const List& list : lists) {
        const std::string name = list.box->objectName().toStdString();
        EXPECT_EQ(Items(list.box), list.items) << name;
        EXPECT_EQ(list.box->currentIndex(), list.index) << name;
        EXPECT_EQ(list.box->isEnabled(), list.enabled) << name;
        EXPECT_FALSE(list.box->isEditable()) << name;
    }
}

TEST_F(PortForm, SpeedButtonsTakeNoFocus) {
    ExpectSpeedButtonsTakeNoFocus(&dialog, 3);
}

TEST_F(PortForm, LabelsAndButtonsCarryTheDesignCaptions) {
    const std::vector<std::pair<QObject*, QString>> captions = {
        {ui.Label1, "串口"},       {ui.Label2, "波特率"},     {ui.Label3, "校验"},
        {ui.Label4, "数据位"},     {ui.Label5, "起始位"},     {ui.Label6, "停止位"},
        {ui.SpeedButton1, "打开"}, {ui.SpeedButton2, "关闭"}, {ui.SpeedButton3, "取消"}};
    for (const auto& [control, caption] : captions)
        EXPECT_EQ(Caption(control), caption) << control->objectName().toStdString();
    dialog.show();
    QCoreApplication::processEvents();
    ExpectReadable(&dialog);
}

TEST(AboutForm, ShowsProductFamiliesAndANeutralVendorLine) {
    QDialog dialog;
    Ui::TFrm_about ui;
    ui.setupUi(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "关于");
    EXPECT_EQ(ui.Label1->text(), "radarodedud");
    EXPECT_EQ(ui.Label6->text(), "for QX86X/QX87X/QX88X/QX230X");
    EXPECT_EQ(ui.Label8->text(), "网址：");
    EXPECT_EQ(ui.Label2->text(), "qxtool project");
    EXPECT_FALSE(ui.Label7->text().isEmpty());
    dialog.show();
    QCoreApplication::processEvents();
    ExpectReadable(&dialog);
}

} // namespace
