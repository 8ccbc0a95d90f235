#include "status_panels.h"

#include <QLabel>
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
}

void StatusPanels::Set(int panel, const QString& text) {
    m_panels.at(static_cast<std::size_t>(panel))->setText(text);
}

QString StatusPanels::Text(int panel) const {
    return m_panels.at(static_cast<std::size_t>(panel))->text();
}
