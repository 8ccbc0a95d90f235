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
#include <stdexcept>
#include <utility>

namespace {

constexpr std::uint32_t kMaxId = 0xFFFF; // four hex digits on the wire

} // namespace

ParameterCommands::ParameterCommands(Ui::TForm1& ui, const ParameterState& state,
                                     CommandSequence& sequence, ModelCatalogue& models,
                                     std::function<void(int, int)> reopenPort)
    : m_ui(ui), m_state(state), m_sequence(sequence), m_models(models),
      m_reopenPort(std::move(reopenPort)) {
    // Each button of the table runs its row; a row whose button the form lacks is a fault
    // found at start.
    for (const ParameterCommand& row : ParameterCommandTable()) {
        auto* button =
            ui.centralwidget->findChild<QAbstractButton*>(QString::fromLatin1(row.button));
        if (button == nullptr)
            throw std::logic_error(std::string("no button ") + row.button + " in the form");
        QObject::connect(button, &QAbstractButton::clicked, button, [this, &row] { Run(row); });
    }
    // Edit10KeyPress, Edit15KeyPress, Edit20KeyPress, Edit21KeyPress: digits only.
    for (QLineEdit* edit : {ui.Edit10, ui.Edit15, ui.Edit20, ui.Edit21})
        AcceptDigitsOnly(edit);
    using namespace core::answer;
    sequence.OnAnswer<SerialSettingsWritten>([this](const auto& e) { Apply(e); });
    sequence.OnAnswer<SerialSettingsRead>([this](const auto& e) { Apply(e); });
    sequence.OnAnswer<SettingRead>([this](const auto& e) { Apply(e); });
    sequence.OnAnswer<IoLineWritten>([this](const auto& e) { Apply(e); });
    sequence.OnAnswer<IoLinesRead>([this](const auto& e) { Apply(e); });
}

void ParameterCommands::WriteAirProtocol() {
    Run(ParameterCommandFor("SpeedButton23"));
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

void ParameterCommands::Run(const ParameterCommand& row) {
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
