// A real window whose COM1 is a pseudo-terminal the test plays the module on, with the
// parameter lists filled and every parameter button enabled, so that each button can be
// pressed without the model catalogue and its frame read back from the far end.
#pragma once

#include "core/hex.h"
#include "gui_harness.h"
#include "pty.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class OperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        // 9600 baud, no parity: the port the module listens on.
        h = std::make_unique<GuiHarness>("[COM]\nRate=4\nVerify=2\n", pty.SlavePath());
        h->Start();
        h->dialogs.shown.clear();
        for (const char* name :
             {"SpeedButton2",  "SpeedButton8",  "SpeedButton4",  "SpeedButton9",  "SpeedButton5",
              "SpeedButton10", "SpeedButton22", "SpeedButton23", "SpeedButton26", "SpeedButton27",
              "SpeedButton33", "SpeedButton11", "SpeedButton28", "SpeedButton29", "SpeedButton39",
              "SpeedButton13", "SpeedButton12", "SpeedButton32", "Button1",       "Button2"})
            h->Find<QAbstractButton>(name)->setEnabled(true);
        h->Find<QComboBox>("ComboBox14")->setEnabled(true);
    }

public:
    QComboBox* List(const char* name) { return h->Find<QComboBox>(name); }
    QLineEdit* Field(const char* name) { return h->Find<QLineEdit>(name); }

    // Replaces a list's entries without running its handlers (the catalogue's business).
    void Fill(const char* name, const QStringList& items, int selected) {
        QComboBox* list = List(name);
        const QSignalBlocker quiet(list);
        list->clear();
        list->addItems(items);
        list->setCurrentIndex(selected);
    }
    void Select(const char* name, int position) {
        QComboBox* list = List(name);
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(position);
    }
    void SetText(const char* name, const QString& text) {
        QLineEdit* edit = Field(name);
        const QSignalBlocker quiet(edit);
        edit->setText(text);
    }

    // A value in every control the buttons read or clear. With no model chosen and no module
    // family known, the model check passes on the filled lists.
    void FillParameters() {
        const QStringList rates{"1200", "2400", "4800", "9600", "19200"};
        Fill("ComboBox15", {"QX861", "QX862"}, -1);
        Fill("ComboBox4", {"1", "2", "3", "4", "5", "6", "7", "8"}, 2); // channel 3
        Fill("ComboBox1", rates, 3);                                    // 9600: code 05
        Fill("ComboBox2", rates, 4);                                    // 19200: code 06
        Select("ComboBox3", 1);                                         // odd: 02
        Select("ComboBox5", 1);                                         // compatible: 01
        Select("ComboBox6", 3);                                         // air wake-up: 03
        Select("ComboBox7", 1);
        Select("ComboBox8", 1);
        Select("ComboBox9", 1);   // output 1 high
        Select("ComboBox10", 0);  // output 2 low
        Select("ComboBox14", 1);  // 2 W: 01
        Select("ComboBox21", 15); // level 15: 0F
        SetText("Edit1", "433.000");
        SetText("Edit19", "434.000");
        SetText("Edit10", "300"); // target ID 012C
        SetText("Edit15", "300"); // module ID 012C
        SetText("Edit16", "1F");
        SetText("Edit17", "31");
        SetText("Edit20", "500"); // 01F4 ms
        SetText("Edit21", "2");   // 07D0 ms
        SetText("Edit18", "100"); // capacitance 64
        h->G().ModuleFamily.clear();
    }

    // What the tool wrote, as hex text, once `bytes` bytes arrived.
    std::string Sent(std::size_t bytes) { return core::BytesToHex(pty.Read(bytes)); }
    // Nothing reaches the module within a short bounded wait.
    bool NothingSent() { return pty.Read(1, 300).empty(); }
    bool HasFocus(const char* name) {
        QWidget* widget = h->Find<QWidget>(name);
        return QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }, 1000);
    }
    std::vector<std::string> Boxes() const { return h->Boxes(); }

    PtyPair pty;
    std::unique_ptr<GuiHarness> h;
};
