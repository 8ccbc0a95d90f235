// What the answers to the parameter groups' commands change in the window.
#include "catalogue/model_catalogue.h"
#include "core/catalogue.h"
#include "core/setting_table.h"
#include "list_select.h"
#include "parameter_commands.h"
#include "ui_main_window.h"

namespace {

// The IO indicators: lime for a high line, silver otherwise.
void Paint(QFrame* shape, bool high) {
    shape->setStyleSheet(
        QString("background-color: %1; border: 1px solid gray; border-radius: 7px;")
            .arg(high ? "lime" : "silver"));
}

} // namespace

// An answer of the short framing tells the rate alone: the module keeps the parity of the
// line it answered on.
void ParameterCommands::Apply(const core::answer::SerialSettingsWritten& e) {
    m_reopenPort(e.rateCode,
                 core::ParityAfterAnswer(e.parity, core::ModuleParityCode(m_state.Line)));
}

void ParameterCommands::Apply(const core::answer::SerialSettingsRead& e) {
    const int parity = core::ParityAfterAnswer(e.parity, core::ModuleParityCode(m_state.Line));
    SelectPosition(m_ui.ComboBox2, core::RatePositionFromCode(e.rateCode));
    SelectPosition(m_ui.ComboBox3, core::ParityPositionFromCode(parity));
    m_reopenPort(e.rateCode, parity);
}

// The value goes to the setting's own control: a list shows its position, a field its number.
void ParameterCommands::Apply(const core::answer::SettingRead& e) {
    const core::SettingRow& row = core::RowOf(e.setting);
    QWidget* control = Control(row.control);
    if (auto* list = qobject_cast<QComboBox*>(control))
        SelectPosition(list, core::SettingPosition(e.setting, e.value));
    else if (auto* field = qobject_cast<QLineEdit*>(control))
        field->setText(QString::number(e.value));
    // The channel's frequency follows the list.
    if (e.setting == core::Setting::kChannel)
        m_models.ChannelChosen();
}

void ParameterCommands::Apply(const core::answer::IoLineWritten& e) {
    QFrame* shape = e.line == 1 ? m_ui.Shape3 : e.line == 2 ? m_ui.Shape4 : nullptr;
    if (shape != nullptr)
        Paint(shape, e.high);
}

void ParameterCommands::Apply(const core::answer::IoLinesRead& e) {
    Ui::TForm1& ui = m_ui;
    ui.Edit10->setText(QString::number(e.id));
    SelectPosition(ui.ComboBox7, e.level1);
    SelectPosition(ui.ComboBox8, e.level2);
    Paint(ui.Shape1, ui.ComboBox7->currentIndex() == 1);
    Paint(ui.Shape2, ui.ComboBox8->currentIndex() == 1);
}
