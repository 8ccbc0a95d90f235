// The about box: product name, version and the vendor line.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrm_about;
}

class TFrm_about : public QDialog {
    Q_OBJECT
public:
    explicit TFrm_about(QWidget* parent = nullptr);
    ~TFrm_about() override;

private:
    std::unique_ptr<Ui::TFrm_about> m_ui;
};
