// What makes a form readable: every shown caption gets the room its text needs, and no two
// shown controls overlap.
#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

// The caption a control shows, whatever kind of control it is.
inline QString Caption(const QObject* object) {
    if (auto* button = qobject_cast<const QAbstractButton*>(object))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(object))
        return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(object))
        return group->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(object))
        return edit->text();
    return {};
}

// Controls of the form (not Qt's own parts of composite widgets) that are on screen.
inline bool IsShownControl(const QWidget* widget) {
    return widget->isVisible() && !widget->isWindow() && !widget->objectName().isEmpty() &&
           !widget->objectName().startsWith("qt_");
}

// Every shown caption gets at least the room its text needs, and no two shown siblings overlap.
inline void ExpectReadable(QWidget* top) {
    QList<QWidget*> parents = top->findChildren<QWidget*>();
    parents << top;
    for (QWidget* parent : parents) {
        QList<QWidget*> shown;
        for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (IsShownControl(child))
                shown << child;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            const std::string name = shown[i]->objectName().toStdString();
            if (!Caption(shown[i]).isEmpty() && !qobject_cast<QLineEdit*>(shown[i])) {
                EXPECT_GE(shown[i]->width(), shown[i]->minimumSizeHint().width()) << name;
                EXPECT_GE(shown[i]->height(), shown[i]->minimumSizeHint().height()) << name;
            }
            for (qsizetype j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                    << name << " overlaps " << shown[j]->objectName().toStdString();
        }
    }
}
