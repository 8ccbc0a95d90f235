// What accepted answers change in the window.
#include "answer_handler.h"

#include "catalogue/model_catalogue.h"
#include "core/catalogue.h"
#include "core/models.h"
#include "core/request.h"
#include "core/serial_number.h"
#include "core/services.h"
#include "core/setting_table.h"
#include "form/status_panels.h"
#include "operations/serial_number_group.h"
#include "serial/link.h"
#include "ui_main_window.h"

namespace {

using T = core::TextId;

// A list told to select a position it does not have ends with no selection.
void Select(QComboBox* list, int position) {
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

// The IO indicators: lime for a high line, silver otherwise.
void Paint(QFrame* shape, bool high) {
    shape->setStyleSheet(
        QString("background-color: %1; border: 1px solid gray; border-radius: 7px;")
            .arg(high ? "lime" : "silver"));
}

constexpr int kFirstChannel = 1;
constexpr int kLastReadAllChannel = 16;

} // namespace

void AnswerHandler::Apply(const core::answer::SearchAnswer& e) {
    const AnswerState& g = m_state;
    Ui::TForm1& ui = m_ui;
    g.ModuleFound = true;
    for (QWidget* read : {ui.SpeedButton2, ui.SpeedButton4, ui.SpeedButton5})
        read->setEnabled(true);
    g.ModuleFamily = core::FamilyText(e.family, g.ModelListVariant);
    if (g.ModelListVariant == 1)
        m_status.Set(3,
                     QString::fromStdString(g.ModuleFamily + core::FirmwareVersionText(e.version)));
    g.ModuleBaseFrequency = core::BaseFrequencyText(e.baseFrequencyCode);
    // 2.4 GHz modules report their base frequency, but the model read still has to tell it.
    if (e.baseFrequencyCode >= 1 && e.baseFrequencyCode <= 5)
        AppendStatus(T::kModelRead);
    // The model and the base frequency follow from the serial number, read at once.
    g.ModuleModelIndex = -1;
    const core::Request read =
        core::BuildRequest(core::CommandAt(core::cmd::kReadSerialNumber), core::Framing::k5A5A,
                           core::ReadPayload(core::Framing::k5A5A));
    g.LastCommand = read.pendingCommand;
    g.AutoSnRead = true;
    m_link.Send(g.Line.CurrentPort, read);
}

// An answer of the short framing tells the rate alone: the module keeps the parity of the
// line it answered on.
void AnswerHandler::Apply(const core::answer::SerialSettingsWritten& e) {
    ReopenPort(e.rateCode, core::ParityAfterAnswer(e.parity, core::ModuleParityCode(m_state.Line)));
}

void AnswerHandler::Apply(const core::answer::SerialSettingsRead& e) {
    const int parity = core::ParityAfterAnswer(e.parity, core::ModuleParityCode(m_state.Line));
    Select(m_ui.ComboBox2, core::RatePositionFromCode(e.rateCode));
    Select(m_ui.ComboBox3, core::ParityPositionFromCode(parity));
    ReopenPort(e.rateCode, parity);
}

// The value goes to the setting's own control: a list shows its position, a field its number.
void AnswerHandler::Apply(const core::answer::SettingRead& e) {
    const core::SettingRow& row = core::RowOf(e.setting);
    QWidget* control = m_ui.centralwidget->findChild<QWidget*>(QString::fromLatin1(row.control));
    if (auto* list = qobject_cast<QComboBox*>(control))
        Select(list, core::SettingPosition(e.setting, e.value));
    else if (auto* field = qobject_cast<QLineEdit*>(control))
        field->setText(QString::number(e.value));
    // The channel's frequency follows the list.
    if (e.setting == core::Setting::kChannel)
        m_models.ComboBox4Click();
}

void AnswerHandler::Apply(const core::answer::SerialNumberWritten&) {
    // The file keeps the number last written; the field moves on to the next module's.
    m_serialNumber.SaveSerialNoFields();
    bool number = false;
    const int written = m_ui.Edit2->text().toInt(&number);
    if (number)
        m_ui.Edit2->setText(QString::fromStdString(core::RunningNumberText(written + 1)));
}

void AnswerHandler::Apply(const core::answer::SerialNumber& e) {
    const AnswerState& g = m_state;
    Ui::TForm1& ui = m_ui;
    // The same answer ends a search and the operator's own read; each has its text.
    ShowStatus(g.AutoSnRead ? T::kSearched : T::kSerialNumberRead);
    g.ModuleModelIndex = ModelIndexFromCode(e.modelCode);
    Select(ui.ComboBox11, g.ModuleModelIndex);
    Select(ui.ComboBox15, g.ModuleModelIndex);
    m_models.ComboBox15Click();
    if (g.AutoSnRead) {
        const QString base = QString::fromStdString(g.ModuleBaseFrequency);
        const int position = FindBaseFrequency(base);
        if (position < 0) {
            m_dialogs.Warning(g.Message(T::kBaseFrequencyNotFound) + g.ModuleBaseFrequency);
        } else {
            ui.ComboBox16->setCurrentIndex(position);
            m_models.ComboBox16Click();
            AppendStatus(T::kModelBaseFrequencyRead);
        }
    }
    ui.ComboBox12->setCurrentText(QString::fromStdString(e.year));
    ui.ComboBox13->setCurrentText(QString::fromStdString(e.month));
    ui.Edit2->setText(QString::fromStdString(e.number));
}

void AnswerHandler::Apply(const core::answer::AllWritten& e) {
    ReopenPort(e.rateCode, e.parity);
}

void AnswerHandler::Apply(const core::answer::FieldStrength& e) {
    m_ui.Edit16->setText(QString::fromStdString(e.hex));
    m_ui.Edit17->setText(QString::number(e.value));
}

void AnswerHandler::Apply(const core::answer::PowerLevelSet& e) {
    // Only the Chinese text carries the power value.
    if (!m_state.Texts().EnglishMessages())
        m_status.Set(2, m_status.Text(2) + QString::number(e.value));
}

void AnswerHandler::Apply(const core::answer::AllRead& e) {
    Ui::TForm1& ui = m_ui;
    Select(ui.ComboBox4, e.channel >= kFirstChannel && e.channel <= kLastReadAllChannel
                             ? e.channel - kFirstChannel
                             : -1);
    m_models.ComboBox4Click();
    Select(ui.ComboBox1, core::RatePositionFromCode(e.airRate));
    Select(ui.ComboBox2, core::RatePositionFromCode(e.serialRate));
    // An unknown parity leaves the list as it was, unlike the serial settings answer.
    const int parity = core::ParityPositionFromCode(e.parity);
    if (parity >= 0)
        Select(ui.ComboBox3, parity);
    ReopenPort(e.serialRate, e.parity);
}

void AnswerHandler::Apply(const core::answer::IoLineWritten& e) {
    QFrame* shape = e.line == 1 ? m_ui.Shape3 : e.line == 2 ? m_ui.Shape4 : nullptr;
    if (shape != nullptr)
        Paint(shape, e.high);
}

void AnswerHandler::Apply(const core::answer::IoLinesRead& e) {
    Ui::TForm1& ui = m_ui;
    ui.Edit10->setText(QString::number(e.id));
    Select(ui.ComboBox7, e.level1);
    Select(ui.ComboBox8, e.level2);
    Paint(ui.Shape1, ui.ComboBox7->currentIndex() == 1);
    Paint(ui.Shape2, ui.ComboBox8->currentIndex() == 1);
}

void AnswerHandler::Apply(const core::answer::BadChecksum& e) {
    // Both lines in one go: a log that is full is cleared before the frame, never between the
    // frame and its verdict.
    LogLine(QString::fromStdString(e.text) + '\n' + QString::fromUtf8(m_state.Message(e.line)));
}

void AnswerHandler::Apply(const core::answer::NotAFrame& e) {
    LogLine(QString::fromStdString(e.text));
}
