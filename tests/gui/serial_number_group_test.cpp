// The factory serial number group through the real window: what goes on the wire for a read and
// a write, every refused entry, the running number's keys and arrows, the lock, the saved keys.
#include "config/config_file.h"
#include "core/hex.h"
#include "models_test_widgets.h"
#include "operations/serial_number_group.h"
#include "pty.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QMenu>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Factory layout, English, module at 9600 baud without parity.
const std::string kIni = "[Ver]\ntype=QXTEST\nQX=1\nCEO=EN\n[COM]\nRate=4\nVerify=2\n";
constexpr int kQx230A = 18;

class SerialNumber : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        h = std::make_unique<GuiHarness>(kIni, pty.SlavePath());
        h->Start();
        ASSERT_EQ(h->Boxes(), std::vector<std::string>{}) << "the port did not open";
    }

    QComboBox* List(const char* name) { return h->Find<QComboBox>(name); }
    QLineEdit* Number() { return h->Find<QLineEdit>("Edit2"); }

    // The four fields as the operator fills them.
    void Fill(int model, const QString& year, const QString& month, const QString& number) {
        List("ComboBox11")->setCurrentIndex(model);
        TypeInto(List("ComboBox12")->lineEdit(), year);
        TypeInto(List("ComboBox13")->lineEdit(), month);
        // Leaving the field would pad an empty number; a read leaves it empty.
        if (number.isEmpty())
            Number()->clear();
        else
            TypeInto(Number(), number);
    }
    // Hex of what the tool wrote to the module.
    std::string Sent(std::size_t count) { return core::BytesToHex(pty.Read(count)); }
    bool HasFocus(QWidget* widget) {
        QWidget* focus = QApplication::focusWidget();
        return focus == widget || (focus != nullptr && widget->isAncestorOf(focus));
    }

    PtyPair pty;
    std::unique_ptr<GuiHarness> h;
};

TEST_F(SerialNumber, WriteSendsModelYearMonthAndNumber) {
    struct Row {
        QString month, number;
        std::string frame;
    };
    const std::vector<Row> rows = {
        // 5A5A 0000 5A 800A 05 | 11 (QX230A) 0C (2012) 05 (May) 0102 (258) | C2 0D0A
        {"05", "00258", "5A5A00005A800A05110C050102C20D0A"},
        // a one-digit month is the same month; 65534 is the highest number: FFFE
        {"5", "65534", "5A5A00005A800A05110C05FFFEBC0D0A"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.number));
        h->G().LastCommand.clear();
        h->G().AppState = StateDataComm;
        Fill(kQx230A, "2012", row.month, row.number);
        h->Click("SpeedButton25");
        EXPECT_EQ(Sent(row.frame.size() / 2), row.frame);
        EXPECT_EQ(h->G().LastCommand, "800A");
        EXPECT_EQ(h->G().AppState, StateCommand);
        EXPECT_EQ(h->Status(2), "Writing SN......");
    }
    EXPECT_TRUE(h->Boxes().empty());
}

TEST_F(SerialNumber, WriteRefusesEachBadFieldInOrderAndSendsNothing) {
    struct Row {
        int model;
        QString year, month, number;
        std::string message;
        const char* focus; // nullptr: no field gets the focus
    };
    const std::vector<Row> rows = {
        {kQx230A, "", "05", "1", "Year is NULL!", "ComboBox12"},
        {kQx230A, "2012", "", "", "Month is NULL!", "ComboBox13"},
        {kQx230A, "2012", "05", "", "SN is NULL!", "Edit2"},
        {kQx230A, "2012", "05", "65535", "SN out of Range!", "Edit2"},
        {kQx230A, "2012", "05", "99999", "SN out of Range!", "Edit2"},
        // Only two digits of the year travel: 12 or 2100 would come back as another year.
        {kQx230A, "12", "05", "1", "Year is wrong(2000-2099)!", "ComboBox12"},
        {kQx230A, "2100", "05", "1", "Year is wrong(2000-2099)!", "ComboBox12"},
        {kQx230A, "2012", "13", "1", "Month is wrong(01-12)!", "ComboBox13"},
        {-1, "2012", "00", "1", "Month is wrong(01-12)!", "ComboBox13"},
        // The model is checked last.
        {-1, "2012", "05", "1", "Model is Null!", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message + " " + Utf8(row.year) + "/" + Utf8(row.month));
        Fill(row.model, row.year, row.month, row.number);
        h->Find<QWidget>("SpeedButton24")->setFocus();
        h->G().LastCommand = "8003";
        h->dialogs.shown.clear();
        h->Click("SpeedButton25");
        EXPECT_EQ(h->Boxes(), std::vector<std::string>{row.message});
        if (row.focus != nullptr)
            EXPECT_TRUE(HasFocus(h->Find<QWidget>(row.focus)));
        else
            for (const char* field : {"ComboBox11", "ComboBox12", "ComboBox13", "Edit2"})
                EXPECT_FALSE(HasFocus(h->Find<QWidget>(field))) << field;
        // Only the model check comes after the command is recorded.
        EXPECT_EQ(h->G().LastCommand, row.focus == nullptr ? "800A" : "8003");
    }
    EXPECT_EQ(pty.Read(1, 200), "");
}

TEST_F(SerialNumber, TypedYearAndMonthStayOutOfTheirLists) {
    const std::vector<std::pair<const char*, QString>> rows = {{"ComboBox12", "12"},
                                                               {"ComboBox13", "13"}};
    for (const auto& [name, typed] : rows) {
        SCOPED_TRACE(name);
        QComboBox* list = List(name);
        const QStringList entries = Items(list);
        TypeInto(list->lineEdit(), typed);
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(Items(list), entries);
        EXPECT_EQ(list->currentText(), typed);
    }
}

TEST_F(SerialNumber, ReadEmptiesTheFieldsAndRemembersTheSelections) {
    Fill(kQx230A, "2012", "05", "00258");
    Globals& g = h->G();
    g.ModuleModelIndex = 5;
    g.AutoSnRead = true;
    h->Find<QLineEdit>("Edit1")->setText("433.5308MHZ");

    // A running pair test: only the warning, nothing cleared or sent.
    g.AppState = StatePairTimed;
    h->Click("SpeedButton24");
    EXPECT_EQ(h->Boxes(), std::vector<std::string>{"Please Stop Transmiting both sides!"});
    EXPECT_EQ(Number()->text(), "00258");
    EXPECT_EQ(pty.Read(1, 200), "");

    g.AppState = StateCommand;
    h->Click("SpeedButton24");
    // 5A5A 0000 5A 800B 02 0000 9B 0D0A
    EXPECT_EQ(Sent(13), "5A5A00005A800B0200009B0D0A");
    EXPECT_EQ(List("ComboBox11")->currentIndex(), -1);
    EXPECT_EQ(List("ComboBox12")->currentText(), "");
    EXPECT_EQ(List("ComboBox13")->currentText(), "");
    EXPECT_EQ(Number()->text(), "");
    EXPECT_EQ(g.LastCommand, "800B");
    EXPECT_FALSE(g.AutoSnRead);
    EXPECT_EQ(g.PreviousModelIndex, 5);
    EXPECT_EQ(g.ModuleModelIndex, -1);
    EXPECT_EQ(g.SavedSelections.frequency, "433.5308MHZ");
    EXPECT_EQ(h->Status(2), "Read SN......");
}

TEST_F(SerialNumber, ReadOnAClosedPortReportsTheFailure) {
    pty.CloseMaster();
    h.reset();
    h = std::make_unique<GuiHarness>(kIni, "/nonexistent/qx-tty");
    h->Start();
    h->dialogs.shown.clear();
    h->Click("SpeedButton24");
    ASSERT_FALSE(h->Boxes().empty());
    EXPECT_EQ(h->Boxes().back(), "Read Fail!");
    EXPECT_EQ(h->Status(2), "Read SN Fail!");
    EXPECT_EQ(h->G().AppState, StateCommand);
}

TEST_F(SerialNumber, RunningNumberKeysArrowsAndPadding) {
    QLineEdit* number = Number();
    TypeInto(number, "12a3");
    EXPECT_EQ(number->text(), "123");

    struct Step {
        QString start;
        std::function<void()> action;
        QString result;
    };
    auto key = [number](Qt::Key k) { return [number, k] { QTest::keyClick(number, k); }; };
    auto click = [this](const char* name) {
        return [this, name] { QTest::mouseClick(h->Find<QToolButton>(name), Qt::LeftButton); };
    };
    const std::vector<Step> steps = {
        {"65533", key(Qt::Key_Up), "65534"},
        {"65534", key(Qt::Key_Up), "65534"}, // the highest number a write takes
        {"00000", key(Qt::Key_Down), "00000"},
        {"10", key(Qt::Key_Down), "00009"},
        {"7", click("SpinButton1Up"), "00008"},
        {"65534", click("SpinButton1Up"), "65534"},
        {"00001", click("SpinButton1Down"), "00000"},
        {"", key(Qt::Key_Up), ""},
        {"", click("SpinButton1Down"), ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(Utf8(step.start));
        number->setFocus();
        number->setText(step.start);
        step.action();
        EXPECT_EQ(number->text(), step.result);
    }

    // Leaving the field pads it to five digits.
    for (const auto& [typed, shown] : {std::pair<QString, QString>{"7", "00007"}, {"", "00000"}}) {
        TypeInto(number, typed);
        List("ComboBox12")->setFocus();
        EXPECT_EQ(number->text(), shown);
    }

    // A popup over the field (its context menu) takes the focus without leaving the field: an
    // empty field stays empty, so a number pasted from the menu still fits.
    TypeInto(number, "");
    QMenu menu;
    menu.addAction(QStringLiteral("Paste"));
    menu.popup(number->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitFor([&menu] { return menu.isVisible(); }, 2000));
    EXPECT_EQ(number->text(), "");
    menu.close();
    ASSERT_TRUE(QTest::qWaitFor([number] { return number->hasFocus(); }, 2000));
    List("ComboBox12")->setFocus();
    EXPECT_EQ(number->text(), "00000");
}

TEST_F(SerialNumber, LockGreysTheListsButNotTheNumberOrButtons) {
    const std::vector<const char*> lists = {"ComboBox11", "ComboBox12", "ComboBox13", "ComboBox4",
                                            "ComboBox1",  "ComboBox2",  "ComboBox3",  "ComboBox5"};
    const std::vector<const char*> usable = {"Edit2", "SpinButton1Up", "SpinButton1Down",
                                             "SpeedButton24", "SpeedButton25"};
    auto* lock = h->Find<QCheckBox>("CheckBox4");
    for (bool locked : {true, false}) {
        SCOPED_TRACE(locked);
        QTest::mouseClick(lock, Qt::LeftButton);
        ASSERT_EQ(lock->isChecked(), locked);
        for (const char* list : lists)
            EXPECT_EQ(h->Find<QWidget>(list)->isEnabled(), !locked) << list;
        for (const char* control : usable)
            EXPECT_TRUE(h->Find<QWidget>(control)->isEnabled()) << control;
    }

    // A locked bench still steps and writes serial numbers.
    Fill(kQx230A, "2012", "05", "00258");
    QTest::mouseClick(lock, Qt::LeftButton);
    QTest::mouseClick(h->Find<QToolButton>("SpinButton1Up"), Qt::LeftButton);
    h->Click("SpeedButton25");
    // ... 0103 (259) ...
    EXPECT_EQ(Sent(16), "5A5A00005A800A05110C050103C30D0A");
}

TEST_F(SerialNumber, SavedFieldsGoToTheSnSection) {
    Fill(kQx230A, "2012", "05", "00258");
    h->Ctx().serialNumber->SaveSerialNoFields();
    const config::SerialNoFields saved = config::LoadConfig(h->ConfigFile()).sn;
    EXPECT_EQ(saved, (config::SerialNoFields{kQx230A, "2012", "05", "00258"}));
    // The other sections stay.
    EXPECT_EQ(config::LoadConfig(h->ConfigFile()).ver.VariantType, "QXTEST");
    EXPECT_EQ(config::LoadPortSettings(h->ConfigFile()).rate, 4);
}

TEST_F(SerialNumber, ClosingTheWindowWithTheNumberFocusedPadsNothing) {
    // Closing takes the focus from the field without leaving it for another control.
    QLineEdit* number = Number();
    TypeInto(number, "7");
    ASSERT_TRUE(number->hasFocus());
    h->Window().close();
    EXPECT_EQ(number->text(), "7");
    // Torn down, the window loses its subsystems before its controls (its timers go last):
    // a focus move between the controls then must reach no destroyed group.
    QString afterSubsystems;
    QObject::connect(&h->Ctx().Timer1, &QObject::destroyed, [number, &afterSubsystems] {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(number, &leave);
        afterSubsystems = number->text();
    });
    h.reset();
    EXPECT_EQ(afterSubsystems, "7");
}

} // namespace
