#include "main_window.h"

#include "about_box.h"
#include "catalogue/model_catalogue.h"
#include "operations/command_sequence.h"
#include "operations/parameter_commands.h"
#include "operations/serial_number_group.h"
#include "protocol/answer_handler.h"
#include "protocol/receive_loop.h"
#include "serial/commfunction.h"
#include "serial/dialog/port_dialog.h"
#include "status_panels.h"
#include "ui_main_window.h"

#include <QCloseEvent>

TForm1::TForm1(Services& services, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()) {
    m_ui->setupUi(this);
    m_status = std::make_unique<StatusPanels>(m_ui->StatusBar1);
    m_commFun = std::make_unique<TCommFun>(services.sio, services.dialogs, m_g.VariantType);
    m_ctx = std::make_unique<Context>(Context{*m_ui, m_g, services.dialogs, services.pause,
                                              services.shell, *m_commFun, *m_status, m_timer1,
                                              m_timer2, m_timer3, m_timer4});
    m_receive = std::make_unique<ReceiveLoop>(*m_ctx);
    m_answers = std::make_unique<AnswerHandler>(*m_ctx);
    m_sequence = std::make_unique<CommandSequence>(*m_ctx);
    m_parameters = std::make_unique<ParameterCommands>(*m_ctx);
    m_serialNumber = std::make_unique<SerialNumberGroup>(*m_ctx);
    m_models = std::make_unique<ModelCatalogue>(*m_ctx);
    m_ctx->receive = m_receive.get();
    m_ctx->answers = m_answers.get();
    m_ctx->sequence = m_sequence.get();
    m_ctx->parameters = m_parameters.get();
    m_ctx->serialNumber = m_serialNumber.get();
    m_ctx->models = m_models.get();

    FormCreate();
    // The dialog's creation opens the port with the saved settings, after the window exists.
    m_frmPortSet = std::make_unique<TfrmPortSet>(*m_ctx, this);
    m_ctx->frmPortSet = m_frmPortSet.get();
    m_about = std::make_unique<TFrm_about>(this);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {}

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
}
