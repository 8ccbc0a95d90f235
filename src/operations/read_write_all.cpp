#include "read_write_all.h"

#include "catalogue/model_catalogue.h"
#include "command_sequence.h"
#include "core/catalogue.h"
#include "form/globals.h"
#include "form/pages.h"
#include "form/status_panels.h"
#include "list_select.h"
#include "radio_search.h"
#include "ui_main_window.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

constexpr char kRead[] = "Read";
constexpr char kWrite[] = "Write";
// The channels the read-all answer can tell.
constexpr int kFirstChannel = 1;
constexpr int kLastReadAllChannel = 16;

} // namespace

ReadWriteAll::ReadWriteAll(Ui::TForm1& ui, const ReadWriteState& state, CommandSequence& sequence,
                           StatusPanels& status, RadioSearch& search, ModelCatalogue& models,
                           std::function<void(int, int)> reopenPort)
    : m_ui(ui), m_state(state), m_sequence(sequence), m_status(status), m_search(search),
      m_models(models), m_reopenPort(std::move(reopenPort)) {
    sequence.OnAnswer<core::answer::AllWritten>([this](const auto& e) { Apply(e); });
    sequence.OnAnswer<core::answer::AllRead>([this](const auto& e) { Apply(e); });
    sequence.OnChainStep(core::ChainNext::kWriteAll, [this] { WriteAll(); });
}

void ReadWriteAll::SpeedButton3Click() {
    if (!Enter())
        return;
    if (m_ui.N18->isChecked()) {
        m_state.SequenceMode = kRead;
        m_status.Set(2, m_sequence.Text(core::TextId::kReadAllSearching));
        ClearParameters();
        m_search.StartSearch();
        return;
    }
    ClearParameters();
    m_sequence.Send(
        core::CommandAt(core::cmd::kReadAll), core::Framing::k5A5A,
        core::ReadPayload(core::Framing::k5A5A),
        {core::TextId::kReadAllProgress, core::TextId::kReadAllFail, core::TextId::kReadAllFail});
}

void ReadWriteAll::SpeedButton21Click() {
    WriteAll();
}

void ReadWriteAll::WriteAll() {
    if (!Enter())
        return;
    m_status.Set(2, m_sequence.Text(core::TextId::kWriteAllSearching));
    if (m_ui.N18->isChecked()) {
        m_state.SequenceMode = kWrite;
        m_state.SavedSelections = {m_ui.ComboBox4->currentIndex(), m_ui.ComboBox1->currentIndex(),
                                   m_ui.ComboBox2->currentIndex(), m_ui.ComboBox3->currentIndex(),
                                   m_ui.Edit1->text().toStdString()};
        m_search.StartSearch();
        return;
    }
    const std::optional<std::string> payload =
        WritePayload({core::TextId::kAllChannelNull, core::TextId::kAllAirRateNull,
                      core::TextId::kAllComRateNull, core::TextId::kAllComVerifyNull});
    if (payload)
        m_sequence.Send(
            core::CommandAt(core::cmd::kWriteAll), core::Framing::k5A5A, *payload,
            {core::TextId::kWriteAllProgress, core::TextId::kWriteAllFail, core::TextId::kSetFail});
}

void ReadWriteAll::RunPendingAction() {
    // Both go silently: the answer reports the outcome.
    if (m_state.SequenceMode == kRead) {
        m_sequence.SendQuietly(core::CommandAt(core::cmd::kReadAll), core::Framing::k5A5A,
                               core::ReadPayload(core::Framing::k5A5A));
        return;
    }
    if (m_state.SequenceMode != kWrite)
        return;
    // The search's answers may have refilled the lists; the operator's choice is what goes out.
    const core::SelectionsSnapshot& saved = m_state.SavedSelections;
    m_ui.ComboBox4->setCurrentIndex(saved.channel);
    m_ui.ComboBox1->setCurrentIndex(saved.airRate);
    m_ui.ComboBox2->setCurrentIndex(saved.serialRate);
    m_ui.ComboBox3->setCurrentIndex(saved.parity);
    m_ui.Edit1->setText(QString::fromStdString(saved.frequency));
    const std::optional<std::string> payload =
        WritePayload({core::TextId::kAllChannelNull, core::TextId::kAllAirRateNull,
                      core::TextId::kSequenceComRateNull, core::TextId::kSequenceComVerifyNull});
    if (payload)
        m_sequence.SendQuietly(core::CommandAt(core::cmd::kWriteAll), core::Framing::k5A5A,
                               *payload);
}

bool ReadWriteAll::Enter() {
    ShowPageQuietly(m_ui.PageControl1, 0);
    if (!m_sequence.StartOperation())
        return false;
    m_state.AppState = StateCommand;
    return true;
}

void ReadWriteAll::ClearParameters() {
    for (QComboBox* list : {m_ui.ComboBox4, m_ui.ComboBox1, m_ui.ComboBox2, m_ui.ComboBox3})
        list->setCurrentIndex(-1);
    m_ui.Edit1->clear();
    m_ui.Edit19->clear();
}

std::optional<std::string> ReadWriteAll::WritePayload(const EmptyListTexts& texts) {
    const std::array<std::pair<QComboBox*, core::TextId>, 4> lists{{
        {m_ui.ComboBox4, texts.channel},
        {m_ui.ComboBox1, texts.airRate},
        {m_ui.ComboBox2, texts.serialRate},
        {m_ui.ComboBox3, texts.parity},
    }};
    for (const auto& [list, message] : lists) {
        if (list->currentIndex() < 0) {
            m_sequence.Refuse(message, list);
            return std::nullopt;
        }
    }
    // Parity positions are even, odd, none; the module codes them 01, 02, 00.
    constexpr std::array<int, 3> kParityCodes{1, 2, 0};
    const int parity = m_ui.ComboBox3->currentIndex();
    std::array<char, 9> payload{};
    std::snprintf(payload.data(), payload.size(), "%02X%02X%02X%02X",
                  (m_ui.ComboBox4->currentIndex() + 1) & 0xFF,
                  (m_ui.ComboBox1->currentIndex() + 2) & 0xFF,
                  (m_ui.ComboBox2->currentIndex() + 2) & 0xFF,
                  parity < 3 ? kParityCodes[static_cast<std::size_t>(parity)] : 0);
    return std::string(payload.data());
}

void ReadWriteAll::Apply(const core::answer::AllWritten& e) {
    m_reopenPort(e.rateCode, e.parity);
}

void ReadWriteAll::Apply(const core::answer::AllRead& e) {
    Ui::TForm1& ui = m_ui;
    SelectPosition(ui.ComboBox4, e.channel >= kFirstChannel && e.channel <= kLastReadAllChannel
                                     ? e.channel - kFirstChannel
                                     : -1);
    m_models.ChannelChosen();
    SelectPosition(ui.ComboBox1, core::RatePositionFromCode(e.airRate));
    SelectPosition(ui.ComboBox2, core::RatePositionFromCode(e.serialRate));
    // An unknown parity leaves the list as it was, unlike the serial settings answer.
    const int parity = core::ParityPositionFromCode(e.parity);
    if (parity >= 0)
        SelectPosition(ui.ComboBox3, parity);
    m_reopenPort(e.serialRate, e.parity);
}
