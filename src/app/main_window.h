// The main window: owns the form, the shared state, the serial link and the subsystems that
// act on the form.
#pragma once

#include "context.h"
#include "globals.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>

class TFrm_about;
namespace serial {
class Link;
}

namespace Ui {
class TForm1;
}

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Services& services, QWidget* parent = nullptr);
    ~TForm1() override;

    Context& Ctx() { return *m_ctx; }
    // Every frame and chunk the subsystems exchange with the port passes here.
    serial::Link& SerialLink() { return *m_link; }

    // Config.ini's SN, Ver and Option sections into the widgets and globals, then the variant
    // layout and the language.
    void LoadConfig();
    // The Option keys the operator can change, from their widgets.
    void SaveOptions();
    // The window's captions in the operator's language.
    void ApplyLanguage();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void CentreOnScreen();
    void StartTimers();
    void ConnectToolbarAndMenu();
    void ShowPortDialog();

    std::unique_ptr<Ui::TForm1> m_ui;
    Globals m_g;
    QTimer m_timer1, m_timer2, m_timer3, m_timer4;
    std::unique_ptr<StatusPanels> m_status;
    std::unique_ptr<TCommFun> m_commFun;
    std::unique_ptr<serial::Link> m_link;
    std::unique_ptr<Context> m_ctx;

    std::unique_ptr<ReceiveLoop> m_receive;
    std::unique_ptr<AnswerHandler> m_answers;
    std::unique_ptr<CommandSequence> m_sequence;
    std::unique_ptr<ParameterCommands> m_parameters;
    std::unique_ptr<SerialNumberGroup> m_serialNumber;
    std::unique_ptr<ModelCatalogue> m_models;
    std::unique_ptr<TfrmPortSet> m_frmPortSet;
    std::unique_ptr<TFrm_about> m_about;
};
