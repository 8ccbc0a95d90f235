// The four panels of the status bar: vendor line, port or work mode, progress, module version.
#pragma once

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

class StatusPanels {
public:
    explicit StatusPanels(QStatusBar* bar);

    void Set(int panel, const QString& text);
    QString Text(int panel) const;

private:
    std::array<QLabel*, 4> m_panels{};
};
