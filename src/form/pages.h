// The window's own changes of tab: a search or a read showing the parameters page, or the tab
// an operator's No returns to. They ask none of the questions an operator's change of tab asks.
#pragma once

#include <QSignalBlocker>
#include <QTabWidget>

inline void ShowPageQuietly(QTabWidget* pages, int page) {
    const QSignalBlocker quiet(pages);
    pages->setCurrentIndex(page);
}
