// Lists that answers fill by position.
#pragma once

#include <QComboBox>

// A list told to select a position it does not have ends with no selection.
inline void SelectPosition(QComboBox* list, int position) {
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}
