#include "form_texts.h"

#include "core/texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

namespace {

// A tab page's caption is its tab's text in the tab widget that holds it.
QTabWidget* TabsOf(QObject* control) {
    auto* page = qobject_cast<QWidget*>(control);
    if (page == nullptr || page->parentWidget() == nullptr)
        return nullptr;
    return qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
}

QString CaptionOf(QObject* control) {
    if (auto* action = qobject_cast<QAction*>(control))
        return action->text();
    if (auto* menu = qobject_cast<QMenu*>(control))
        return menu->title();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (QTabWidget* tabs = TabsOf(control))
        return tabs->tabText(tabs->indexOf(static_cast<QWidget*>(control)));
    return {};
}

void SetCaption(QObject* control, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(control))
        action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (QTabWidget* tabs = TabsOf(control))
        tabs->setTabText(tabs->indexOf(static_cast<QWidget*>(control)), text);
}

QString ToolTipOf(QObject* control) {
    auto* widget = qobject_cast<QWidget*>(control);
    return widget != nullptr ? widget->toolTip() : QString();
}

QStringList ItemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// New texts over the old entries, so the chosen position stays chosen.
void ReplaceItems(QComboBox* box, const QStringList& items) {
    const int chosen = box->currentIndex();
    while (box->count() > items.size())
        box->removeItem(box->count() - 1);
    for (int i = 0; i < items.size(); ++i) {
        if (i < box->count())
            box->setItemText(i, items[i]);
        else
            box->addItem(items[i]);
    }
    box->setCurrentIndex(chosen < box->count() ? chosen : -1);
}

// The window a control sits on; a menu's popup belongs to the window it drops from.
bool OnForm(const QObject* object, const QWidget& form) {
    for (; object != nullptr; object = object->parent()) {
        const auto* widget = qobject_cast<const QWidget*>(object);
        if (widget != nullptr && widget->isWindow() &&
            qobject_cast<const QMenu*>(widget) == nullptr)
            return widget == &form;
    }
    return false;
}

QString Text(const char* text, const QString& design) {
    return text != nullptr ? QString::fromUtf8(text) : design;
}

} // namespace

FormTexts::FormTexts(QWidget& form, CaptionTest test, const std::vector<core::CaptionRow>& captions,
                     const std::vector<core::CaptionRow>& hints,
                     const std::vector<core::ListRow>& lists)
    : m_form(form), m_test(test), m_hints(hints), m_lists(lists) {
    for (const core::CaptionRow& row : captions)
        m_designCaptions.insert(row.control, CaptionOf(Control(row.control)));
    for (const core::CaptionRow& row : m_hints)
        m_designHints.insert(row.control, ToolTipOf(Control(row.control)));
    for (const core::ListRow& row : m_lists) {
        if (auto* box = qobject_cast<QComboBox*>(Control(row.control)))
            m_designLists.insert(row.control, ItemsOf(box));
    }
}

QObject* FormTexts::Control(const char* name) const {
    for (QObject* object : m_form.findChildren<QObject*>(QString::fromLatin1(name))) {
        if (OnForm(object, m_form))
            return object;
    }
    return nullptr;
}

bool FormTexts::English(const core::TextRule& rule) const {
    return m_test == CaptionTest::kMainWindow ? rule.EnglishCaptions() : rule.EnglishMessages();
}

const char* FormTexts::Pick(const core::TextRule& rule, const core::CaptionRow& row) const {
    return m_test == CaptionTest::kMainWindow ? rule.Caption(row) : rule.DialogCaption(row);
}

void FormTexts::Apply(const core::TextRule& rule, const std::vector<core::CaptionRow>& captions) {
    const bool english = English(rule);
    // An empty font inherits the application's again.
    m_form.setFont(english ? QFont(QStringLiteral("Arial")) : QFont());
    for (const core::CaptionRow& row : captions)
        SetCaption(Control(row.control), Text(Pick(rule, row), m_designCaptions[row.control]));
    for (const core::CaptionRow& row : m_hints) {
        if (auto* widget = qobject_cast<QWidget*>(Control(row.control)))
            widget->setToolTip(Text(Pick(rule, row), m_designHints[row.control]));
    }
    for (const core::ListRow& row : m_lists) {
        auto* box = qobject_cast<QComboBox*>(Control(row.control));
        if (box == nullptr)
            continue;
        QStringList englishItems;
        for (const std::string& item : row.english)
            englishItems << QString::fromStdString(item);
        ReplaceItems(box, english ? englishItems : m_designLists[row.control]);
    }
}
