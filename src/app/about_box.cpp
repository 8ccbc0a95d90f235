#include "about_box.h"

#include "core/services.h"
#include "form_texts.h"
#include "ui_about_box.h"

#include <QEvent>

TFrm_about::TFrm_about(const SessionLanguage& language, core::Shell& shell, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_about>()), m_language(language),
      m_shell(shell) {
    m_ui->setupUi(this);
    m_texts = std::make_unique<FormTexts>(*this, CaptionTest::kDialog, core::AboutBoxCaptions());
    m_ui->Label7->installEventFilter(this);
    ApplyLanguage();
}

TFrm_about::~TFrm_about() = default;

void TFrm_about::ApplyLanguage() {
    const core::TextRule texts = m_language.Texts();
    m_texts->Apply(texts, core::AboutBoxCaptions());
    // The English vendor line and the link sit a little lower.
    const int drop = m_texts->English(texts) ? qRound(10 * logicalDpiY() / 96.0) : 0;
    m_ui->Label4->setContentsMargins(0, drop, 0, 0);
}

void TFrm_about::showEvent(QShowEvent* event) {
    // The full version, whatever the language.
    m_ui->Label5->setText(QStringLiteral(" V3.06.14"));
    m_ui->Label9->setText(QStringLiteral("2009-8-21"));
    QDialog::showEvent(event);
}

void TFrm_about::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    accept();
}

bool TFrm_about::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->Label7) {
        switch (event->type()) {
        case QEvent::Enter:
            ShowLinkHovered(true);
            break;
        case QEvent::Leave:
            ShowLinkHovered(false);
            break;
        case QEvent::MouseButtonPress:
            // A link that does not open is not reported.
            m_shell.Open(m_ui->Label7->text().toStdString());
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrm_about::ShowLinkHovered(bool hovered) {
    QFont font = m_ui->Label7->font();
    font.setUnderline(hovered);
    m_ui->Label7->setFont(font);
    QPalette palette = m_ui->Label7->palette();
    palette.setColor(QPalette::WindowText, hovered ? Qt::blue : Qt::black);
    m_ui->Label7->setPalette(palette);
}
