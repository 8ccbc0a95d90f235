// The texts a language replaces on a form, kept as the form designed them (Chinese) so that
// any language can be applied again while the tool runs.
#pragma once

#include "core/captions.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class QObject;
class QWidget;

namespace core {
class TextRule;
}

// Which of the language rule's caption tests a form follows.
enum class CaptionTest { kMainWindow, kDialog };

class FormTexts {
public:
    // Takes the design texts of the rows' controls; call before any language is applied.
    FormTexts(QWidget& form, CaptionTest test, const std::vector<core::CaptionRow>& captions,
              const std::vector<core::CaptionRow>& hints = {},
              const std::vector<core::ListRow>& lists = {});

    // The rule's captions, hints and list entries, or the design ones where it gives none;
    // lists keep their selection. English texts come in a Western font.
    void Apply(const core::TextRule& rule, const std::vector<core::CaptionRow>& captions);
    bool English(const core::TextRule& rule) const;

    // A control of this form, never a namesake on another window.
    QObject* Control(const char* name) const;

private:
    const char* Pick(const core::TextRule& rule, const core::CaptionRow& row) const;

    QWidget& m_form;
    CaptionTest m_test;
    std::vector<core::CaptionRow> m_hints;
    std::vector<core::ListRow> m_lists;
    QHash<QString, QString> m_designCaptions;
    QHash<QString, QString> m_designHints;
    QHash<QString, QStringList> m_designLists;
};
