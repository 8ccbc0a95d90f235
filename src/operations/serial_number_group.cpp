#include "serial_number_group.h"

#include "catalogue/model_catalogue.h"
#include "command_sequence.h"
#include "config/config_file.h"
#include "core/models.h"
#include "core/serial_number.h"
#include "core/services.h"
#include "digit_filter.h"
#include "list_select.h"
#include "ui_main_window.h"

#include <QKeyEvent>
#include <algorithm>

namespace {

using T = core::TextId;

const OperationTexts kReadTexts{T::kReadSerialNumberProgress, T::kReadSerialNumberFail,
                                T::kReadFail};
const OperationTexts kWriteTexts{T::kWriteSerialNumberProgress, T::kWriteSerialNumberFail,
                                 T::kWriteFail};

// A refused write: its message and the field that gets the focus (none for the model).
struct Refusal {
    core::TextId message;
    QWidget* focus;
};

Refusal RefusalFor(core::SerialNumberError error, Ui::TForm1& ui) {
    using enum core::SerialNumberError;
    switch (error) {
    case kYearEmpty:
        return {T::kYearNull, ui.ComboBox12};
    case kMonthEmpty:
        return {T::kMonthNull, ui.ComboBox13};
    case kNumberEmpty:
        return {T::kNumberNull, ui.Edit2};
    case kNumberOutOfRange:
        return {T::kNumberRange, ui.Edit2};
    // Only two digits of the year travel, and a month byte outside 1..12 is no date.
    case kYearInvalid:
        return {T::kYearWrong, ui.ComboBox12};
    case kMonthInvalid:
        return {T::kMonthWrong, ui.ComboBox13};
    case kNoModel:
        return {T::kModelNull, nullptr};
    case kNone:
        break;
    }
    return {};
}

} // namespace

SerialNumberGroup::SerialNumberGroup(Ui::TForm1& ui, const SerialNumberState& state,
                                     CommandSequence& sequence, ModelCatalogue& models,
                                     core::Dialogs& dialogs)
    : m_ui(ui), m_state(state), m_sequence(sequence), m_models(models), m_dialogs(dialogs) {
    ConnectControls();
    sequence.OnAnswer<core::answer::SerialNumberWritten>([this](const auto& e) { Apply(e); });
    sequence.OnAnswer<core::answer::SerialNumber>([this](const auto& e) { Apply(e); });
    sequence.OnChainStep(core::ChainNext::kWriteSerialNumber, [this] { WriteSerialNumber(); });
}

void SerialNumberGroup::ConnectControls() {
    Ui::TForm1& ui = m_ui;
    QObject::connect(ui.SpeedButton24, &QAbstractButton::clicked, [this] { SpeedButton24Click(); });
    QObject::connect(ui.SpeedButton25, &QAbstractButton::clicked, [this] { SpeedButton25Click(); });
    QObject::connect(ui.SpinButton1Up, &QAbstractButton::clicked, [this] { SpinButton1UpClick(); });
    QObject::connect(ui.SpinButton1Down, &QAbstractButton::clicked,
                     [this] { SpinButton1DownClick(); });
    QObject::connect(ui.CheckBox4, &QAbstractButton::clicked, [this] { CheckBox4Click(); });
    m_hooks.push_back(std::make_unique<EventHook>(ui.Edit2, [this](QEvent* event) {
        if (event->type() == QEvent::FocusOut) {
            // The field's context menu or a message box is no leaving: padding then would
            // turn an empty field into 00000 and make a paste into it too long.
            if (FocusMovesWithinWindow(event))
                Edit2Exit();
            return false;
        }
        return event->type() == QEvent::KeyPress && Edit2KeyDown(*static_cast<QKeyEvent*>(event));
    }));
    // Edit2KeyPress: digits only, typed or pasted.
    AcceptDigitsOnly(ui.Edit2);
    // A year or month typed and confirmed with Return is the field's text, not a new entry of
    // the fixed lists 2000..2100 and 01..12.
    for (QComboBox* list : {ui.ComboBox12, ui.ComboBox13})
        list->setInsertPolicy(QComboBox::NoInsert);
}

void SerialNumberGroup::SpeedButton24Click() {
    CommandSequence& sequence = m_sequence;
    if (!sequence.StartOperation())
        return;
    Ui::TForm1& ui = m_ui;
    const SerialNumberState& g = m_state;
    ui.ComboBox11->setCurrentIndex(-1);
    for (QComboBox* text : {ui.ComboBox12, ui.ComboBox13}) {
        text->setCurrentIndex(-1);
        text->clearEditText();
    }
    ui.Edit2->clear();
    g.PreviousModelIndex = g.ModuleModelIndex;
    g.ModuleModelIndex = -1;
    // The operator's read: the answer keeps the frequency shown when the model stays.
    g.AutoSnRead = false;
    g.SavedSelections = {ui.ComboBox4->currentIndex(), ui.ComboBox1->currentIndex(),
                         ui.ComboBox2->currentIndex(), ui.ComboBox3->currentIndex(),
                         ui.Edit1->text().toStdString()};
    sequence.Send(core::CommandAt(core::cmd::kReadSerialNumber), core::Framing::k5A5A,
                  core::ReadPayload(core::Framing::k5A5A), kReadTexts);
}

void SerialNumberGroup::SpeedButton25Click() {
    WriteSerialNumber();
}

void SerialNumberGroup::WriteSerialNumber() {
    CommandSequence& sequence = m_sequence;
    if (!sequence.StartOperation())
        return;
    Ui::TForm1& ui = m_ui;
    const core::SerialNumberPayload encoded = core::EncodeSerialNumber(
        ui.ComboBox11->currentIndex(), ui.ComboBox12->currentText().toStdString(),
        ui.ComboBox13->currentText().toStdString(), ui.Edit2->text().toStdString());
    if (encoded.error == core::SerialNumberError::kNone) {
        sequence.Send(core::CommandAt(core::cmd::kWriteSerialNumber), core::Framing::k5A5A,
                      encoded.payload, kWriteTexts);
        return;
    }
    // The model is checked after the command is recorded, so a late 000A answer still counts.
    if (encoded.error == core::SerialNumberError::kNoModel)
        m_state.LastCommand = core::LastCommandText(core::CommandAt(core::cmd::kWriteSerialNumber));
    const Refusal refusal = RefusalFor(encoded.error, ui);
    sequence.Refuse(refusal.message, refusal.focus);
}

void SerialNumberGroup::SnIncrement() {
    StepRunningNumber(+1);
}

void SerialNumberGroup::SnDecrement() {
    StepRunningNumber(-1);
}

void SerialNumberGroup::StepRunningNumber(int delta) {
    bool number = false;
    const int value = m_ui.Edit2->text().toInt(&number);
    if (!number)
        return;
    // Stepping stops at the highest number a write accepts, and at zero.
    if (delta > 0 && value >= core::kMaxRunningNumber)
        return;
    m_ui.Edit2->setText(
        QString::fromStdString(core::RunningNumberText(std::max(0, value + delta))));
}

bool SerialNumberGroup::Edit2KeyDown(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Up) {
        SnIncrement();
        return true;
    }
    if (key.key() == Qt::Key_Down) {
        SnDecrement();
        return true;
    }
    return false;
}

void SerialNumberGroup::SpinButton1UpClick() {
    SnIncrement();
}

void SerialNumberGroup::SpinButton1DownClick() {
    SnDecrement();
}

void SerialNumberGroup::Edit2Exit() {
    const QString text = m_ui.Edit2->text();
    if (text.size() < 5)
        m_ui.Edit2->setText(QString(5 - text.size(), u'0') + text);
}

void SerialNumberGroup::CheckBox4Click() {
    Ui::TForm1& ui = m_ui;
    const bool unlocked = !ui.CheckBox4->isChecked();
    for (QComboBox* list : {ui.ComboBox11, ui.ComboBox12, ui.ComboBox13, ui.ComboBox4, ui.ComboBox1,
                            ui.ComboBox2, ui.ComboBox3, ui.ComboBox5})
        list->setEnabled(unlocked);
}

void SerialNumberGroup::SaveSerialNoFields() {
    Ui::TForm1& ui = m_ui;
    config::SaveSerialNoFields(
        config::ConfigPath(m_state.StartDir),
        {ui.ComboBox11->currentIndex(), ui.ComboBox12->currentText().toStdString(),
         ui.ComboBox13->currentText().toStdString(), ui.Edit2->text().toStdString()});
}

void SerialNumberGroup::Apply(const core::answer::SerialNumberWritten&) {
    // The file keeps the number last written; the field moves on to the next module's.
    SaveSerialNoFields();
    bool number = false;
    const int written = m_ui.Edit2->text().toInt(&number);
    if (number)
        m_ui.Edit2->setText(QString::fromStdString(core::RunningNumberText(written + 1)));
}

void SerialNumberGroup::Apply(const core::answer::SerialNumber& e) {
    const SerialNumberState& g = m_state;
    Ui::TForm1& ui = m_ui;
    // The same answer ends a search and the operator's own read; each has its text.
    m_sequence.SetStatus(g.AutoSnRead ? T::kSearched : T::kSerialNumberRead);
    g.ModuleModelIndex = core::ModelIndexFromCode(e.modelCode);
    if (g.ModuleModelIndex >= 0)
        g.ModuleModelName = core::AnswerModelName(g.ModuleModelIndex, g.ModelListVariant);
    SelectPosition(ui.ComboBox11, g.ModuleModelIndex);
    SelectPosition(ui.ComboBox15, g.ModuleModelIndex);
    m_models.ModelChosen();
    if (g.AutoSnRead) {
        const int position = ui.ComboBox16->findText(QString::fromStdString(g.ModuleBaseFrequency),
                                                     Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (position < 0) {
            m_dialogs.Warning(g.Message(T::kBaseFrequencyNotFound) + g.ModuleBaseFrequency);
        } else {
            ui.ComboBox16->setCurrentIndex(position);
            m_models.BaseFrequencyChosen();
            m_sequence.AppendStatus(T::kModelBaseFrequencyRead);
        }
    }
    ui.ComboBox12->setCurrentText(QString::fromStdString(e.year));
    ui.ComboBox13->setCurrentText(QString::fromStdString(e.month));
    ui.Edit2->setText(QString::fromStdString(e.number));
}
