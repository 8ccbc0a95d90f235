// The about box: product name, version and the vendor line, with a link to the vendor's web
// address. A click on the link opens the address; a click anywhere else closes the box.
#pragma once

#include "form/globals.h"

#include <QDialog>
#include <memory>

class FormTexts;
namespace core {
class Shell;
}
namespace Ui {
class TFrm_about;
}

class TFrm_about : public QDialog {
    Q_OBJECT
public:
    TFrm_about(const SessionLanguage& language, core::Shell& shell, QWidget* parent = nullptr);
    ~TFrm_about() override;

    Ui::TFrm_about& Form() { return *m_ui; }
    // The texts in the dialogs' language; again whenever the language changes.
    void ApplyLanguage();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowLinkHovered(bool hovered);

    std::unique_ptr<Ui::TFrm_about> m_ui;
    SessionLanguage m_language;
    core::Shell& m_shell;
    std::unique_ptr<FormTexts> m_texts;
};
