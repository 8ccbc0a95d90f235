#include "status_panels.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

StatusPanels::StatusPanels(QStatusBar* bar) {
    static constexpr std::array<int, 4> kWidths{180, 180, 260, 60};
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString("StatusPanel%1").arg(i));
        label->setMinimumWidth(kWidths[i]);
        label->setFrameShape(QFrame::StyledPanel);
        // The progress panel takes what room is left; the others keep their width.
        bar->addWidget(label, i == 2 ? 1 : 0);
        m_panels[i] = label;
    }
    m_progressText = new QLabel(bar);
    m_progressText->setObjectName("StatusProgressText");
    m_progressBar = new QProgressBar(bar);
    m_progressBar->setObjectName("StatusProgressBar");
    m_progressBar->setMaximumWidth(120);
    m_progressBar->setTextVisible(false);
    bar->addPermanentWidget(m_progressText);
    bar->addPermanentWidget(m_progressBar);
    HideProgress();
}

void StatusPanels::ShowProgress(const QString& text, int done, int all) {
    m_progressText->setText(text);
    m_progressBar->setRange(0, all);
    m_progressBar->setValue(done);
    m_progressText->show();
    m_progressBar->show();
}

void StatusPanels::HideProgress() {
    m_progressText->hide();
    m_progressBar->hide();
}

void StatusPanels::Set(int panel, const QString& text) {
    m_panels.at(static_cast<std::size_t>(panel))->setText(text);
}

QString StatusPanels::Text(int panel) const {
    return m_panels.at(static_cast<std::size_t>(panel))->text();
}
