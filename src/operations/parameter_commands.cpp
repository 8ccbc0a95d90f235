#include "parameter_commands.h"

#include "command_sequence.h"
#include "core/decimal_entry.h"
#include "core/setting_values.h"
#include "digit_filter.h"
#include "parameter_table.h"
#include "ui_main_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <utility>

namespace {

constexpr std::uint32_t kMaxId = 0xFFFF; // four hex digits on the wire

} // namespace

ParameterCommands::ParameterCommands(Ui::TForm1& ui, const ParameterState& state,
                                     CommandSequence& sequence)
    : m_ui(ui), m_state(state), m_sequence(sequence) {
    using Handler = void (ParameterCommands::*)();
    const std::pair<QAbstractButton*, Handler> handlers[] = {
        {ui.SpeedButton2, &ParameterCommands::SpeedButton2Click},
        {ui.SpeedButton8, &ParameterCommands::SpeedButton8Click},
        {ui.SpeedButton4, &ParameterCommands::SpeedButton4Click},
        {ui.SpeedButton9, &ParameterCommands::SpeedButton9Click},
        {ui.SpeedButton5, &ParameterCommands::SpeedButton5Click},
        {ui.SpeedButton10, &ParameterCommands::SpeedButton10Click},
        {ui.SpeedButton22, &ParameterCommands::SpeedButton22Click},
        {ui.SpeedButton23, &ParameterCommands::SpeedButton23Click},
        {ui.SpeedButton26, &ParameterCommands::SpeedButton26Click},
        {ui.SpeedButton27, &ParameterCommands::SpeedButton27Click},
        {ui.SpeedButton33, &ParameterCommands::SpeedButton33Click},
        {ui.SpeedButton11, &ParameterCommands::SpeedButton11Click},
        {ui.SpeedButton28, &ParameterCommands::SpeedButton28Click},
        {ui.SpeedButton29, &ParameterCommands::SpeedButton29Click},
        {ui.SpeedButton39, &ParameterCommands::SpeedButton39Click},
        {ui.SpeedButton13, &ParameterCommands::SpeedButton13Click},
        {ui.SpeedButton12, &ParameterCommands::SpeedButton12Click},
        {ui.SpeedButton32, &ParameterCommands::SpeedButton32Click},
        {ui.Button1, &ParameterCommands::Button1Click},
        {ui.Button2, &ParameterCommands::Button2Click},
    };
    for (const auto& [button, handler] : handlers)
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [this, handler = handler] { (this->*handler)(); });
    // Edit10KeyPress, Edit15KeyPress, Edit20KeyPress, Edit21KeyPress: digits only.
    for (QLineEdit* edit : {ui.Edit10, ui.Edit15, ui.Edit20, ui.Edit21})
        AcceptDigitsOnly(edit);
}

void ParameterCommands::SpeedButton2Click() {
    Run("SpeedButton2");
}
void ParameterCommands::SpeedButton8Click() {
    Run("SpeedButton8");
}
void ParameterCommands::SpeedButton4Click() {
    Run("SpeedButton4");
}
void ParameterCommands::SpeedButton9Click() {
    Run("SpeedButton9");
}
void ParameterCommands::SpeedButton5Click() {
    Run("SpeedButton5");
}
void ParameterCommands::SpeedButton10Click() {
    Run("SpeedButton10");
}
void ParameterCommands::SpeedButton22Click() {
    Run("SpeedButton22");
}
void ParameterCommands::SpeedButton23Click() {
    Run("SpeedButton23");
}
void ParameterCommands::SpeedButton26Click() {
    Run("SpeedButton26");
}
void ParameterCommands::SpeedButton27Click() {
    Run("SpeedButton27");
}
void ParameterCommands::SpeedButton33Click() {
    Run("SpeedButton33");
}
void ParameterCommands::SpeedButton11Click() {
    Run("SpeedButton11");
}
void ParameterCommands::SpeedButton28Click() {
    Run("SpeedButton28");
}
void ParameterCommands::SpeedButton29Click() {
    Run("SpeedButton29");
}
void ParameterCommands::SpeedButton39Click() {
    Run("SpeedButton39");
}
void ParameterCommands::SpeedButton13Click() {
    Run("SpeedButton13");
}
void ParameterCommands::SpeedButton12Click() {
    Run("SpeedButton12");
}
void ParameterCommands::SpeedButton32Click() {
    Run("SpeedButton32");
}
void ParameterCommands::Button1Click() {
    Run("Button1");
}
void ParameterCommands::Button2Click() {
    Run("Button2");
}

bool ParameterCommands::ModelCheck(const char* listName) {
    const auto* list = qobject_cast<QComboBox*>(Control(listName));
    if (list == nullptr || list->count() == 0) {
        m_sequence.Refuse(core::TextId::kChooseModel, m_ui.ComboBox15);
        return false;
    }
    const QComboBox* model = m_ui.ComboBox15;
    if (QString::fromStdString(m_state.ModuleFamily).left(4) == model->currentText().left(4))
        return true;
    if (model->currentIndex() >= 0 && m_ui.ComboBox16->currentIndex() >= 0)
        return true;
    m_sequence.Refuse(core::TextId::kWrongModel, nullptr);
    return false;
}

void ParameterCommands::Run(std::string_view button) {
    const ParameterCommand& row = ParameterCommandFor(button);
    CommandSequence& sequence = m_sequence;
    const bool ready = row.checksBeforeGuard ? Prepare(row) && sequence.StartOperation()
                                             : sequence.StartOperation() && Prepare(row);
    if (!ready)
        return;
    const std::uint8_t code = row.reads    ? *core::RowOf(*row.reads).read
                              : row.writes ? core::RowOf(*row.writes).write
                                           : row.code;
    const core::Command& command = *core::FindCommand(code, row.io);
    const core::Framing framing = sequence.FramingOf(command);
    const std::string id =
        row.target != nullptr
            ? core::ToHex(core::DecimalInRange(FieldText(row.target), 0, kMaxId).value_or(0), 4)
            : std::string();
    sequence.Send(command, framing, Payload(row, framing), Texts(row), id);
}

bool ParameterCommands::Prepare(const ParameterCommand& row) {
    for (const ParameterStep& step : row.steps) {
        QWidget* control = Control(step.control);
        auto* list = qobject_cast<QComboBox*>(control);
        auto* edit = qobject_cast<QLineEdit*>(control);
        bool ok = true;
        switch (step.kind) {
        case ParameterStep::kClear:
            if (list != nullptr)
                list->setCurrentIndex(-1);
            if (edit != nullptr)
                edit->clear();
            break;
        case ParameterStep::kModelCheck:
            if (!ModelCheck(step.control))
                return false;
            break;
        case ParameterStep::kSelected:
            ok = list != nullptr && list->currentIndex() >= 0;
            break;
        case ParameterStep::kNotEmpty:
            ok = edit != nullptr && !edit->text().isEmpty();
            break;
        case ParameterStep::kInRange:
            ok = core::DecimalInRange(FieldText(step.control), step.low, step.high).has_value();
            break;
        }
        if (!ok) {
            m_sequence.Refuse(*step.message,
                              Control(step.focus != nullptr ? step.focus : step.control));
            return false;
        }
    }
    return true;
}

std::string ParameterCommands::Payload(const ParameterCommand& row, core::Framing framing) const {
    // The preparation steps have checked every value read here.
    const auto position = [this](const char* name) {
        const auto* list = qobject_cast<QComboBox*>(Control(name));
        return list != nullptr ? list->currentIndex() : -1;
    };
    if (row.writes) {
        core::SettingValues values;
        const auto take = [&](core::Setting setting) {
            const core::SettingRow& of = core::RowOf(setting);
            values[setting] =
                qobject_cast<QComboBox*>(Control(of.control)) != nullptr
                    ? core::SettingOfPosition(setting, position(of.control))
                    : static_cast<int>(
                          core::DecimalInRange(FieldText(of.control), of.low, of.high).value_or(0));
        };
        take(*row.writes);
        if (const auto with = core::RowOf(*row.writes).with)
            take(*with);
        return core::SettingPayload(*row.writes, values, framing);
    }
    if (row.ioLevel != nullptr)
        return core::IoWritePayload(row.ioLine, position(row.ioLevel));
    return core::ReadPayload(framing);
}

OperationTexts ParameterCommands::Texts(const ParameterCommand& row) const {
    OperationTexts texts = row.reads    ? *core::RowOf(*row.reads).readTexts
                           : row.writes ? *core::RowOf(*row.writes).writeTexts
                                        : *row.texts;
    if (row.progressBareNames && m_state.ModelListVariant != 1)
        texts.progress = *row.progressBareNames;
    return texts;
}

std::string ParameterCommands::FieldText(const char* name) const {
    const auto* edit = qobject_cast<QLineEdit*>(Control(name));
    return edit != nullptr ? edit->text().toStdString() : std::string();
}

QWidget* ParameterCommands::Control(const char* name) const {
    return m_ui.centralwidget->findChild<QWidget*>(QString::fromLatin1(name));
}
