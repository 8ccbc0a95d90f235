#include "port_dialog.h"

#include "ui_port_dialog.h"

TfrmPortSet::TfrmPortSet(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TfrmPortSet>()) {
    m_ui->setupUi(this);
}

TfrmPortSet::~TfrmPortSet() = default;
