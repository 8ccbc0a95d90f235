// The main window's language: captions, hints and lists, the window caption and the vendor
// line, and the switch between languages while the tool runs.
#include "about_box.h"
#include "core/captions.h"
#include "form/status_panels.h"
#include "form_texts.h"
#include "main_window.h"
#include "operations/pair_test_tab.h"
#include "port_dialog/port_dialog.h"
#include "ui_main_window.h"

void TForm1::ApplyLanguage() {
    const core::TextRule texts(m_g.LangCode, m_g.VariantType);
    const bool english = m_texts->English(texts);
    m_texts->Apply(texts, core::MainWindowCaptions(m_g.ModelListVariant));
    // The start button's caption names the role chosen, not the one the table gives it.
    m_pairTest->ShowStartCaption();
    // The help document is written in Chinese.
    m_ui->SpeedButton6->setVisible(!english);
    m_ui->N20->setVisible(!english);
    LayOutModelRow(english);

    const bool ownBrand = core::OwnBrand(m_g.ModelListVariant);
    setWindowTitle(QString::fromUtf8(
        texts.Caption(core::WindowCaption(m_g.VariantType, m_g.ModelListVariant))));
    m_status->Set(0, ownBrand ? QString::fromUtf8(texts.Caption(core::TextId::kVendorLine))
                              : QString());
    // Only the own brand has an about box.
    m_ui->N11->setVisible(ownBrand);

    // A "GERMAN" variant's English captions are German ones.
    m_ui->LanguageEnglish->setText(texts.German() ? QStringLiteral("Deutsch")
                                                  : QStringLiteral("English"));
    (english ? m_ui->LanguageEnglish : m_ui->LanguageChinese)->setChecked(true);
}

void TForm1::LayOutModelRow(bool english) {
    // The longer English texts sit closer: the model and base-frequency labels 10 pixels after
    // what precedes them, each list right after its label.
    const int gap = english ? qRound(10 * logicalDpiX() / 96.0) : 0;
    m_ui->layoutModelRow->setSpacing(english ? 0 : -1);
    m_ui->Label39->setContentsMargins(gap, 0, 0, 0);
    m_ui->Label40->setContentsMargins(gap, 0, 0, 0);
}

void TForm1::SwitchLanguage(const std::string& langCode) {
    m_g.LangCode = langCode;
    ApplyLanguage();
    m_frmPortSet->ApplyCaptions();
    m_about->ApplyLanguage();
}
