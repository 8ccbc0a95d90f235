#include "variant_layout.h"

#include "form/globals.h"
#include "ui_main_window.h"

#include <QMainWindow>

namespace {

// Places `widget` right after `anchor` in the box layout both live in.
void PutAfter(QBoxLayout& layout, QWidget* anchor, QWidget* widget) {
    layout.removeWidget(widget);
    layout.insertWidget(layout.indexOf(anchor) + 1, widget);
}

void ApplyCustomerLayout(Ui::TForm1& ui, QMainWindow& window, const Globals& g) {
    ui.GroupBox12->hide();
    ui.GroupBox13->hide();
    // The IO group already sits under the power-saving group in its column; the ID and power
    // group goes under the field strength group, the air protocol group under that.
    PutAfter(*ui.layoutRightColumn, ui.GroupBox20, ui.GroupBox19);
    PutAfter(*ui.layoutRightColumn, ui.GroupBox19, ui.GroupBox13);
    const double scale = window.logicalDpiY() / 96.0;
    window.resize(window.width(), static_cast<int>(kCustomerWindowHeight * scale + 0.5));

    ui.SpeedButton25->hide();
    ui.CheckBox4->hide();
    ui.N7->menuAction()->setVisible(false);
    // The serial-number fields read from Config.ini are for the factory bench only.
    ui.ComboBox11->setCurrentIndex(-1);
    ui.ComboBox12->setCurrentIndex(-1);
    ui.ComboBox12->clearEditText();
    ui.ComboBox13->setCurrentIndex(-1);
    ui.ComboBox13->clearEditText();
    ui.Edit2->clear();

    if (g.Morvantelis()) {
        // Both channel buttons share the channel row; the frequency rows show TX and RX.
        ui.layoutChannel->removeWidget(ui.SpeedButton8);
        ui.layoutChannel->addWidget(ui.SpeedButton8, 0, 4);
        ui.Label54->show();
        ui.Label55->show();
        ui.Edit19->show();
    } else if (g.VariantType == "KWTRLP") {
        ui.Edit1->hide();
    }
}

} // namespace

void ApplyVariantLayout(Ui::TForm1& ui, QMainWindow& window, const Globals& g) {
    if (g.VerModel == "QX87ID") {
        for (QWidget* button :
             {ui.SpeedButton4, ui.SpeedButton9, ui.SpeedButton5, ui.SpeedButton10})
            button->setEnabled(false);
    }
    // The factory layout keeps every group where the form has it.
    if (g.VariantType != "QXTEST")
        ApplyCustomerLayout(ui, window, g);
}
