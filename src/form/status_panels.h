// The four panels of the status bar: vendor line, port or work mode, progress, module version;
// and, while a long operation runs, its progress beside them.
#pragma once

#include <QString>
#include <array>

class QLabel;
class QProgressBar;
class QStatusBar;

class StatusPanels {
public:
    explicit StatusPanels(QStatusBar* bar);

    void Set(int panel, const QString& text);
    QString Text(int panel) const;

    // The progress of a long operation, beside the panels and hidden otherwise: what it does
    // now, and a bar at `done` of `all`.
    void ShowProgress(const QString& text, int done, int all);
    void HideProgress();

private:
    std::array<QLabel*, 4> m_panels{};
    QLabel* m_progressText = nullptr;
    QProgressBar* m_progressBar = nullptr;
};
