#include "about_box.h"

#include "ui_about_box.h"

TFrm_about::TFrm_about(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_about>()) {
    m_ui->setupUi(this);
}

TFrm_about::~TFrm_about() = default;
