#include "model_catalogue.h"

#include "core/models.h"
#include "core/services.h"
#include "ui_main_window.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// The events with which a closed list opens its popup.
bool OpensPopup(const QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool alt = key->modifiers().testFlag(Qt::AltModifier);
    return key->key() == Qt::Key_F4 || key->key() == Qt::Key_Space ||
           key->key() == Qt::Key_Select ||
           (alt && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up));
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ModelCatalogue::ModelCatalogue(Ui::TForm1& ui, const CatalogueState& state, core::Dialogs& dialogs)
    : m_ui(ui), m_state(state), m_dialogs(dialogs) {
    ConnectControls();
}

void ModelCatalogue::ConnectControls() {
    Ui::TForm1& ui = m_ui;
    // Only the operator's choices run the click handlers: code that sets a selection calls
    // them itself where it needs them.
    QObject::connect(ui.ComboBox15, &QComboBox::activated, [this] { ComboBox15Click(); });
    QObject::connect(ui.ComboBox16, &QComboBox::activated, [this] { ComboBox16Click(); });
    QObject::connect(ui.ComboBox4, &QComboBox::activated, [this] { ComboBox4Click(); });
    QObject::connect(ui.CheckBox5, &QCheckBox::clicked, [this] { CheckBox5Click(); });
    m_hooks.push_back(std::make_unique<EventHook>(ui.ComboBox16, [this](QEvent* event) {
        // Entering the list, not its own popup closing or the window being activated again.
        if (event->type() == QEvent::FocusIn && FocusMovesWithinWindow(event))
            ComboBox16Enter();
        return false;
    }));
    const std::pair<QComboBox*, bool (ModelCatalogue::*)()> dropDowns[] = {
        {ui.ComboBox4, &ModelCatalogue::ComboBox4DropDown},
        {ui.ComboBox1, &ModelCatalogue::ComboBox1DropDown},
        {ui.ComboBox2, &ModelCatalogue::ComboBox2DropDown},
    };
    for (const auto& dropDown : dropDowns)
        m_hooks.push_back(std::make_unique<EventHook>(
            dropDown.first, [this, handler = dropDown.second](QEvent* event) {
                return OpensPopup(event) && !(this->*handler)();
            }));
}

void ModelCatalogue::FillModelLists(int modelListVariant) {
    Ui::TForm1& ui = m_ui;
    ui.ComboBox11->clear();
    ui.ComboBox15->clear();
    for (int position = 0; position < core::kModelCount; ++position) {
        const QString name = Utf8(core::ModelName(position, modelListVariant));
        ui.ComboBox11->addItem(name);
        ui.ComboBox15->addItem(name);
    }
    // Neither list starts with a model: the operator picks one or reads it from a module.
    ui.ComboBox11->setCurrentIndex(-1);
    ui.ComboBox15->setCurrentIndex(-1);
}

void ModelCatalogue::ComboBox15Click() {
    ModelChosen();
}

void ModelCatalogue::ModelChosen() {
    Ui::TForm1& ui = m_ui;
    const CatalogueState& g = m_state;
    const int position = ui.ComboBox15->currentIndex();

    ShowTxRx(false);
    ui.CheckBox5->setVisible(false);
    for (QWidget* read : {ui.SpeedButton2, ui.SpeedButton4, ui.SpeedButton5})
        read->setEnabled(position >= 0);

    if (position >= 0) {
        ui.ComboBox16->clear();
        for (const std::string& base : core::BaseFrequencies(position))
            ui.ComboBox16->addItem(Utf8(base));
        ui.ComboBox16->setCurrentIndex(-1);
        FillChannelList(core::ChannelCount(position, g.VariantType), ui.ComboBox4);
        ShowTxRx(core::HasTxRxDisplay(position, g.VariantType));
        ui.CheckBox5->setVisible(core::HasBaseStationOption(position, g.VariantType));
        const int maxRate = core::MaxRate(position);
        FillRateList(maxRate, ui.ComboBox2);
        FillRateList(maxRate, ui.ComboBox1);
        ui.ComboBox3->setCurrentIndex(-1);
    }

    if (!g.ModuleBaseFrequency.empty())
        SelectBaseFrequency(g.ModuleBaseFrequency);
    // The list was rebuilt, perhaps by an answer while it had the focus: a declined change
    // returns to the entry shown now, not to a position of the old list.
    g.SavedBaseFrequencyIndex = ui.ComboBox16->currentIndex();
    // The module's base frequency, not the list's: after a choice by hand, before any module
    // was read, the table stays empty until the operator confirms a base frequency.
    FillChannelFrequencies(ui.ComboBox15->currentText().toStdString(), g.ModuleBaseFrequency);

    const bool power = core::HasPowerGroup(position);
    for (QWidget* control :
         {static_cast<QWidget*>(ui.Label33), static_cast<QWidget*>(ui.ComboBox14),
          static_cast<QWidget*>(ui.SpeedButton31), static_cast<QWidget*>(ui.SpeedButton33)})
        control->setEnabled(power);
    for (QWidget* io : {ui.SpeedButton12, ui.SpeedButton13, ui.SpeedButton32})
        io->setEnabled(core::HasIoGroup(position));

    // The frequency shown before an operator's serial-number read or a write-all comes back
    // while the model stays the same or a write-all puts the old selections back.
    const QString savedFrequency = Utf8(g.SavedSelections.frequency);
    if (!g.AutoSnRead)
        ui.Edit1->setText(savedFrequency);
    if (g.SequenceMode == "Write") {
        ui.Edit1->setText(savedFrequency);
    } else if (g.ModuleModelIndex != g.PreviousModelIndex) {
        ui.Edit1->clear();
        ui.Edit19->clear();
    }

    for (QComboBox* list : {ui.ComboBox4, ui.ComboBox1, ui.ComboBox2, ui.ComboBox3})
        list->setCurrentIndex(-1);
}

void ModelCatalogue::ComboBox16Enter() {
    m_state.SavedBaseFrequencyIndex = m_ui.ComboBox16->currentIndex();
}

void ModelCatalogue::ComboBox16Click() {
    BaseFrequencyChosen();
}

void ModelCatalogue::BaseFrequencyChosen() {
    Ui::TForm1& ui = m_ui;
    const CatalogueState& g = m_state;
    const std::string chosen = ui.ComboBox16->currentText().toStdString();
    // The module's own base frequency needs no confirmation; the table is rebuilt only when an
    // earlier confirmed change left it at another one, so its frequencies match the list again.
    const bool modulesOwn = chosen == g.ModuleBaseFrequency;
    if (modulesOwn && chosen == m_tableBaseFrequency)
        return;
    if (!modulesOwn && !m_dialogs.Question(g.Message(core::TextId::kConfirmBaseFrequency))) {
        ui.ComboBox16->setCurrentIndex(g.SavedBaseFrequencyIndex);
        return;
    }
    ui.ComboBox4->setCurrentIndex(-1);
    ui.Edit1->clear();
    ui.Edit19->clear();
    FillChannelFrequencies(ui.ComboBox15->currentText().toStdString(), chosen);
    // A later declined change returns to this confirmed base frequency, the one the table
    // now holds, not to the one the list had when it got the focus.
    g.SavedBaseFrequencyIndex = ui.ComboBox16->currentIndex();
}

void ModelCatalogue::SelectBaseFrequency(const std::string& text) {
    m_ui.ComboBox16->setCurrentIndex(
        m_ui.ComboBox16->findText(Utf8(text), Qt::MatchExactly | Qt::MatchCaseSensitive));
}
