#include "port_dialog.h"

#include "app/context.h"
#include "ui_port_dialog.h"

TfrmPortSet::TfrmPortSet(Context& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_ui(std::make_unique<Ui::TfrmPortSet>()) {
    m_ui->setupUi(this);
}

TfrmPortSet::~TfrmPortSet() = default;

void TfrmPortSet::ReopenPort(int, int) {}
