// Operator actions on the main window's lists, made with the mouse as an operator makes them,
// for the model catalogue's and the serial number group's tests.
#pragma once

#include "gui_harness.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <string>

inline bool PopupShown(QComboBox* list) {
    return list->view()->isVisible();
}

// Clicks the list open, then takes the entry at `index`; false when the list did not open and
// close. A handler may still put another entry back.
inline bool Pick(QComboBox* list, int index) {
    QTest::mouseClick(list, Qt::LeftButton);
    if (!QTest::qWaitFor([list] { return PopupShown(list); }, 2000))
        return false;
    QAbstractItemView* view = list->view();
    const QModelIndex item = list->model()->index(index, list->modelColumn());
    // Chosen with the keyboard in the open list: a mouse release right after the press that
    // opened it is taken as the end of that press.
    view->setCurrentIndex(item);
    QTest::keyClick(view, Qt::Key_Return);
    return QTest::qWaitFor([list] { return !PopupShown(list); }, 2000);
}

inline bool PickText(QComboBox* list, const QString& text) {
    const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return index >= 0 && Pick(list, index);
}

inline QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// Replaces what an edit field holds by typing `text` into it.
inline void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

inline std::string Utf8(const QString& text) {
    return text.toStdString();
}
