// What accepted answers change in the window.
#include "answer_handler.h"

#include "app/context.h"
#include "app/status_panels.h"
#include "catalogue/model_catalogue.h"
#include "core/catalogue.h"
#include "core/frame.h"
#include "core/models.h"
#include "core/request.h"
#include "core/serial_number.h"
#include "core/services.h"
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

void AnswerHandler::SearchAnswer(const core::AnswerFrame& answer) {
    Globals& g = m_ctx.g;
    Ui::TForm1& ui = m_ctx.ui;
    g.ModuleFound = true;
    for (QWidget* read : {ui.SpeedButton2, ui.SpeedButton4, ui.SpeedButton5})
        read->setEnabled(true);
    g.ModuleFamily = core::FamilyText(answer.ByteValue(0), g.ModelListVariant);
    if (g.ModelListVariant == 1)
        m_ctx.status.Set(3, QString::fromStdString(g.ModuleFamily +
                                                   core::FirmwareVersionText(answer.ByteValue(1))));
    const int base = answer.ByteValue(2);
    g.ModuleBaseFrequency = core::BaseFrequencyText(base);
    // 2.4 GHz modules report their base frequency, but the model read still has to tell it.
    if (base >= 1 && base <= 5)
        AppendStatus(T::kModelRead);
    // The model and the base frequency follow from the serial number, read at once.
    g.ModuleModelIndex = -1;
    const core::Request read =
        core::BuildRequest(*core::FindCommand(core::cmd::kReadSerialNumber), core::Framing::k5A5A,
                           core::ReadPayload(core::Framing::k5A5A));
    g.LastCommand = read.pendingCommand;
    g.AutoSnRead = true;
    m_link.Send(g.CurrentPort, read);
}

void AnswerHandler::SerialSettingsWritten(const core::AnswerFrame& answer) {
    // The short framing carries the rate only; the module then runs without parity.
    const bool eded = answer.framing == core::Framing::kEDED;
    ReopenPort(answer.ByteValue(0), eded ? 0 : answer.ByteValue(1));
}

void AnswerHandler::SerialSettingsRead(const core::AnswerFrame& answer) {
    const bool eded = answer.framing == core::Framing::kEDED;
    const int parity = eded ? 0 : answer.ByteValue(1);
    Select(m_ctx.ui.ComboBox2, core::RatePositionFromCode(answer.ByteValue(0)));
    Select(m_ctx.ui.ComboBox3, core::ParityPositionFromCode(parity));
    ReopenPort(answer.ByteValue(0), parity);
}

void AnswerHandler::AirRateRead(const core::AnswerFrame& answer) {
    Select(m_ctx.ui.ComboBox1, core::RatePositionFromCode(answer.ByteValue(0)));
}

void AnswerHandler::ChannelRead(const core::AnswerFrame& answer) {
    Select(m_ctx.ui.ComboBox4, answer.ByteValue(0) - kFirstChannel);
    m_ctx.models->ComboBox4Click();
}

void AnswerHandler::SerialNumberWritten(const core::AnswerFrame&) {
    // The file keeps the number last written; the field moves on to the next module's.
    m_ctx.serialNumber->SaveSerialNoFields();
    bool number = false;
    const int written = m_ctx.ui.Edit2->text().toInt(&number);
    if (number)
        m_ctx.ui.Edit2->setText(QString::fromStdString(core::RunningNumberText(written + 1)));
}

void AnswerHandler::SerialNumberAnswer(const core::AnswerFrame& answer) {
    Globals& g = m_ctx.g;
    Ui::TForm1& ui = m_ctx.ui;
    ShowStatus(g.AutoSnRead ? T::kSearched : T::kSerialNumberRead);
    g.ModuleModelIndex = ModelIndexFromCode(std::string(answer.Byte(0)));
    Select(ui.ComboBox11, g.ModuleModelIndex);
    Select(ui.ComboBox15, g.ModuleModelIndex);
    m_ctx.models->ComboBox15Click();
    if (g.AutoSnRead) {
        const QString base = QString::fromStdString(g.ModuleBaseFrequency);
        const int position = FindBaseFrequency(base);
        if (position < 0) {
            m_ctx.dialogs.Warning(g.Message(T::kBaseFrequencyNotFound) + g.ModuleBaseFrequency);
        } else {
            ui.ComboBox16->setCurrentIndex(position);
            m_ctx.models->ComboBox16Click();
            AppendStatus(T::kModelBaseFrequencyRead);
        }
    }
    const core::SerialNumber sn = core::DecodeSerialNumber(answer.payload);
    ui.ComboBox12->setCurrentText(QString::fromStdString(sn.year));
    ui.ComboBox13->setCurrentText(QString::fromStdString(sn.month));
    ui.Edit2->setText(QString::fromStdString(sn.number));
}

void AnswerHandler::IdRead(const core::AnswerFrame& answer) {
    m_ctx.ui.Edit15->setText(QString::number(core::HexToInt(core::Field(answer.payload, 1, 4))));
}

void AnswerHandler::AllWritten(const core::AnswerFrame& answer) {
    ReopenPort(core::DecimalReadField(answer.Byte(2)), core::DecimalReadField(answer.Byte(3)));
}

void AnswerHandler::PowerSaveRead(const core::AnswerFrame& answer) {
    Select(m_ctx.ui.ComboBox6, answer.ByteValue(0));
}

void AnswerHandler::FieldStrengthRead(const core::AnswerFrame& answer) {
    m_ctx.ui.Edit16->setText(QString::fromStdString(std::string(answer.Byte(0))));
    m_ctx.ui.Edit17->setText(QString::number(answer.ByteValue(0)));
}

void AnswerHandler::PowerLevelSet(const core::AnswerFrame& answer) {
    // Only the Chinese text carries the power value.
    QString text = QString::fromUtf8(m_ctx.g.Message(T::kPowerLevelSet));
    if (!m_ctx.g.Texts().EnglishMessages())
        text += QString::number(answer.ByteValue(0));
    m_ctx.status.Set(2, text);
}

void AnswerHandler::ProtocolRead(const core::AnswerFrame& answer) {
    Select(m_ctx.ui.ComboBox5, answer.ByteValue(0));
}

void AnswerHandler::AllRead(const core::AnswerFrame& answer) {
    Ui::TForm1& ui = m_ctx.ui;
    const int channel = answer.ByteValue(0);
    Select(ui.ComboBox4, channel >= kFirstChannel && channel <= kLastReadAllChannel
                             ? channel - kFirstChannel
                             : -1);
    m_ctx.models->ComboBox4Click();
    Select(ui.ComboBox1, core::RatePositionFromCode(answer.ByteValue(1)));
    Select(ui.ComboBox2, core::RatePositionFromCode(answer.ByteValue(2)));
    // An unknown parity leaves the list as it was, unlike the serial settings answer.
    const int parity = core::ParityPositionFromCode(answer.ByteValue(3));
    if (parity >= 0)
        Select(ui.ComboBox3, parity);
    ReopenPort(answer.ByteValue(2), core::DecimalReadField(answer.Byte(3)));
}

void AnswerHandler::IoLineWritten(const core::AnswerFrame& answer) {
    const int line = answer.ByteValue(0);
    QFrame* shape = line == 1 ? m_ctx.ui.Shape3 : line == 2 ? m_ctx.ui.Shape4 : nullptr;
    if (shape != nullptr)
        Paint(shape, answer.Byte(1) == "01");
}

void AnswerHandler::IoLinesRead(const core::AnswerFrame& answer) {
    Ui::TForm1& ui = m_ctx.ui;
    ui.Edit10->setText(QString::number(core::HexToInt(answer.id)));
    Select(ui.ComboBox7, core::DecimalReadField(answer.Byte(0)));
    Select(ui.ComboBox8, core::DecimalReadField(answer.Byte(1)));
    Paint(ui.Shape1, ui.ComboBox7->currentIndex() == 1);
    Paint(ui.Shape2, ui.ComboBox8->currentIndex() == 1);
}
