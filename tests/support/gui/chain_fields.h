// The fields the set-all chain writes, filled for the tests and the benches that run it.
#pragma once

#include "ui_main_window.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStringList>

// Air protocol 01; serial number 2012-05 00258; channel 3, 9600 on the air and on the line,
// no parity, the module's own line setting.
inline void FillChainFields(Ui::TForm1& ui) {
    const auto fill = [](QComboBox* list, const QStringList& items, int selected) {
        const QSignalBlocker quiet(list);
        list->clear();
        list->addItems(items);
        list->setCurrentIndex(selected);
    };
    const QStringList rates{"1200", "2400", "4800", "9600", "19200"};
    fill(ui.ComboBox4, {"1", "2", "3", "4"}, 2);
    fill(ui.ComboBox1, rates, 3);
    fill(ui.ComboBox2, rates, 3);
    ui.ComboBox3->setCurrentIndex(2);
    ui.ComboBox5->setCurrentIndex(1);
    ui.ComboBox11->setCurrentIndex(18);
    ui.ComboBox12->setCurrentText("2012");
    ui.ComboBox13->setCurrentText("05");
    ui.Edit2->setText("00258");
    ui.N18->setChecked(false);
    ui.SpeedButton23->setEnabled(true);
}
