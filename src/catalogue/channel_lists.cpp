// The channel, rate and frequency side of the model catalogue: what the channel list offers,
// which frequency a channel shows, and the warnings for lists that are still empty.
#include "core/frequencies.h"
#include "core/models.h"
#include "core/services.h"
#include "model_catalogue.h"
#include "ui_main_window.h"

namespace {

void Fill(QComboBox* list, const std::vector<std::string>& texts) {
    list->clear();
    for (const std::string& text : texts)
        list->addItem(QString::fromStdString(text));
    // A rebuilt list starts without a choice, as before the first model choice.
    list->setCurrentIndex(-1);
}

QString Entry(const CatalogueState& g, int index) {
    if (index < 0 || index >= static_cast<int>(g.ChannelFrequencyTable.size()))
        return {};
    return QString::fromStdString(g.ChannelFrequencyTable[static_cast<std::size_t>(index)]);
}

} // namespace

void ModelCatalogue::FillChannelList(int count, QComboBox* list) {
    m_ui.Edit1->clear();
    m_ui.Edit19->clear();
    Fill(list, core::ChannelListTexts(count));
}

void ModelCatalogue::FillRateList(int maximum, QComboBox* list) {
    Fill(list, core::RateListTexts(maximum));
}

void ModelCatalogue::FillChannelFrequencies(const std::string& modelText,
                                            const std::string& baseFrequency) {
    const CatalogueState& g = m_state;
    m_tableBaseFrequency = baseFrequency;
    m_state.ChannelFrequencyTable =
        core::ChannelFrequencies(modelText, baseFrequency, g.VariantType,
                                 m_ui.ComboBox15->currentIndex(), m_ui.CheckBox5->isChecked());
}

void ModelCatalogue::CheckBox5Click() {
    m_ui.Edit1->clear();
    m_ui.Edit19->clear();
    m_state.ChannelFrequencyTable = core::BaseStationTable(m_ui.CheckBox5->isChecked());
}

void ModelCatalogue::ComboBox4Click() {
    ChannelChosen();
}

void ModelCatalogue::ChannelChosen() {
    Ui::TForm1& ui = m_ui;
    const CatalogueState& g = m_state;
    const int channel = ui.ComboBox4->currentIndex();
    if (channel < 0) {
        ui.Edit1->clear();
        ui.Edit19->clear();
        return;
    }
    ui.Edit1->setText(Entry(g, channel));
    const bool txRx = core::HasTxRxDisplay(ui.ComboBox15->currentIndex(), g.VariantType);
    ShowTxRx(txRx);
    // The RX frequency of a channel sits ten entries after its TX frequency.
    ui.Edit19->setText(txRx ? Entry(g, channel + 10) : QString());
}

void ModelCatalogue::ShowTxRx(bool shown) {
    m_ui.Label54->setVisible(shown);
    m_ui.Label55->setVisible(shown);
    m_ui.Edit19->setVisible(shown);
}

bool ModelCatalogue::ComboBox4DropDown() {
    return WarnIfEmpty(m_ui.ComboBox4, core::TextId::kNoChannelList);
}

bool ModelCatalogue::ComboBox1DropDown() {
    return WarnIfEmpty(m_ui.ComboBox1, core::TextId::kNoAirRateList);
}

bool ModelCatalogue::ComboBox2DropDown() {
    return WarnIfEmpty(m_ui.ComboBox2, core::TextId::kNoSerialRateList);
}

bool ModelCatalogue::WarnIfEmpty(const QComboBox* list, core::TextId message) {
    if (list->count() > 0)
        return true;
    m_dialogs.Warning(m_state.Message(message));
    return false;
}
