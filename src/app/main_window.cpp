#include "main_window.h"

#include "about_box.h"
#include "catalogue/model_catalogue.h"
#include "config/config_file.h"
#include "form/status_panels.h"
#include "form_texts.h"
#include "frame_feed.h"
#include "frame_monitor.h"
#include "operations/command_sequence.h"
#include "operations/data_terminal.h"
#include "operations/module_profiles.h"
#include "operations/pair_test_tab.h"
#include "operations/parameter_commands.h"
#include "operations/radio_search.h"
#include "operations/read_write_all.h"
#include "operations/rf_test.h"
#include "operations/serial_number_group.h"
#include "pair_test_chart.h"
#include "port_dialog/port_dialog.h"
#include "protocol/receive_loop.h"
#include "serial/commfunction.h"
#include "serial/link.h"
#include "session_log_switch.h"
#include "ui_main_window.h"
#include "variant_layout.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLayout>
#include <QScreen>
#include <algorithm>

TForm1::TForm1(Services& services, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()), m_services(services) {
    m_ui->setupUi(this);
    // The design texts, before anything changes them; every model list names the same controls.
    m_texts = std::make_unique<FormTexts>(*this, CaptionTest::kMainWindow,
                                          core::MainWindowCaptions(m_g.ModelListVariant),
                                          core::MainWindowHints(), core::MainWindowLists());
    m_status = std::make_unique<StatusPanels>(m_ui->StatusBar1);
    m_commFun = std::make_unique<TCommFun>(services.sio, services.dialogs, m_g.VariantType);
    m_link = std::make_unique<serial::Link>(*m_commFun);
    const SessionLanguage language{m_g.LangCode, m_g.VariantType};
    m_sequence = std::make_unique<CommandSequence>(
        SequenceState{language, m_g.AppState, m_g.LastCommand, m_g.ChainSetAll, m_g.TestDelayTime,
                      m_g.Line},
        services.dialogs, services.later, *m_status, *m_link);
    m_models = std::make_unique<ModelCatalogue>(
        *m_ui,
        CatalogueState{language, m_g.AutoSnRead, m_g.ModuleBaseFrequency, m_g.ModuleModelIndex,
                       m_g.PreviousModelIndex, m_g.SavedBaseFrequencyIndex, m_g.SavedSelections,
                       m_g.SequenceMode, m_g.ChannelFrequencyTable},
        services.dialogs);
    // The port dialog comes last, so answers before it exists leave the port as it is.
    auto reopenPort = [this](int rateCode, int parityCode) {
        if (m_frmPortSet)
            m_frmPortSet->ReopenPort(rateCode, parityCode);
    };
    m_parameters = std::make_unique<ParameterCommands>(
        *m_ui, ParameterState{m_g.ModelListVariant, m_g.ModuleFamily, m_g.Line}, *m_sequence,
        *m_models, reopenPort);
    m_serialNumber = std::make_unique<SerialNumberGroup>(
        *m_ui,
        SerialNumberState{language, m_g.AutoSnRead, m_g.LastCommand, m_g.ModuleModelIndex,
                          m_g.ModuleModelName, m_g.ModuleBaseFrequency, m_g.ModelListVariant,
                          m_g.PreviousModelIndex, m_g.SavedSelections, m_g.StartDir},
        *m_sequence, *m_models, services.dialogs);
    m_pairTest = std::make_unique<PairTestTab>(
        *m_ui,
        PairTestState{language, m_g.AppState, m_g.FrameDelayMs, m_g.PollSuspended, m_g.LastSentData,
                      m_g.TestStopFlag, m_g.Tally, m_g.Line},
        PairTestServices{services.dialogs, services.later, services.files}, *m_status, *m_link,
        *m_sequence, Timer(1), Timer(3));
    m_terminal =
        std::make_unique<DataTerminal>(*m_ui, TerminalState{language, m_g.AppState},
                                       services.dialogs, *m_status, *m_pairTest, *m_sequence);
    m_chart = new PairTestChart(*m_pairTest, m_ui->TabSheet2);
    m_ui->layoutPairLogs->addWidget(m_chart, 2);
    m_feed = std::make_unique<FrameFeed>();
    const ReceiveState receiveState{language,         m_g.AppState,      m_g.LastCommand,
                                    m_g.FrameDelayMs, m_g.PollSuspended, m_g.DataPending,
                                    m_g.LastSentData, m_g.TestStopFlag,  m_g.Line};
    m_receive = std::make_unique<ReceiveLoop>(
        *m_ui, receiveState, *m_status, Timer(1), *m_sequence, *m_pairTest, *m_link, *m_commFun,
        [this](core::FrameTraceRecord record, std::chrono::steady_clock::time_point at) {
            m_feed->Record(std::move(record), at);
        },
        reopenPort);
    m_sessionLog = std::make_unique<SessionLogSwitch>(*m_feed, m_g, services.dialogs);
    m_monitor = std::make_unique<FrameMonitor>(*m_feed, services.files, services.dialogs, this);

    StartTimers();
    ConnectToolbarAndMenu();
    FormCreate();
    // The dialog's creation opens the port with the saved settings, after the window exists.
    m_frmPortSet = std::make_unique<TfrmPortSet>(
        PortDialogState{language, m_g.Line, m_g.PortOpenFlags, m_g.StartDir}, *m_commFun,
        services.portWatch, services.dialogs, *m_status, this);
    m_search = std::make_unique<RadioSearch>(
        *m_ui,
        SearchState{language, m_g.AppState, m_g.SequenceMode, m_g.ChainSetAll,
                    m_g.ModuleBaseFrequency, m_g.ModuleFound, m_g.ModuleFamily,
                    m_g.ModuleModelIndex, m_g.AutoSnRead, m_g.LastCommand, m_g.ModelListVariant,
                    m_g.Search, m_g.Line},
        *m_frmPortSet, services.dialogs, *m_status, *m_link, *m_sequence,
        SearchTimers{Timer(4), Timer(2)});
    m_readWriteAll = std::make_unique<ReadWriteAll>(
        *m_ui, ReadWriteState{m_g.AppState, m_g.SequenceMode, m_g.SavedSelections}, *m_sequence,
        *m_status, *m_search, *m_models, reopenPort);
    m_rfTest = std::make_unique<RfTest>(
        *m_ui, RfTestState{language, m_g.AppState, m_g.SequenceMode, m_g.ChainSetAll}, *m_sequence,
        *m_status, *m_parameters);
    m_about = std::make_unique<TFrm_about>(language, services.shell, this);
    m_profiles = std::make_unique<ModuleProfiles>(
        m_g, ProfileServices{services.dialogs, services.files, services.openFiles}, *m_sequence,
        *m_status, *m_receive, *m_frmPortSet);
}

TForm1::~TForm1() = default;

void TForm1::CentreOnScreen() {
    // Once shown, the layout raises the window to the least size its polished contents need;
    // only then is the size final. A window larger than the screen keeps its top-left
    // corner, and so its title bar, on the screen.
    layout()->activate();
    const QRect area = screen()->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
}

void TForm1::StartTimers() {
    // The receive period; the receive starts Timer1 only where the port cannot tell it has
    // bytes. The others are started by their operations.
    Timer(1).setInterval(20);
    Timer(2).setInterval(1000);
    Timer(3).setInterval(1000);
    Timer(4).setInterval(1100);
}

namespace {

// A toolbar button and its menu item run the same handler.
template <typename Handler>
void ConnectTwins(QObject* context, QAbstractButton* button, QAction* item, Handler handler) {
    QObject::connect(button, &QAbstractButton::clicked, context, handler);
    QObject::connect(item, &QAction::triggered, context, handler);
}

} // namespace

void TForm1::ConnectToolbarAndMenu() {
    ConnectTwins(this, m_ui->SpeedButton1, m_ui->N2, [this] { ShowPortDialog(); });
    ConnectTwins(this, m_ui->SpeedButton7, m_ui->N13, [this] { close(); });
    // The search exists once the port dialog does, before any click or tick can come. The plain
    // search has no guard of its own; a profile entry holding the port refuses it.
    ConnectTwins(this, m_ui->SpeedButton20, m_ui->N14, [this] {
        if (!m_sequence->PortHeld())
            m_search->SpeedButton20Click();
    });
    ConnectTwins(this, m_ui->SpeedButton30, m_ui->N19, [this] { m_search->SpeedButton30Click(); });
    connect(&Timer(4), &QTimer::timeout, this, [this] { m_search->Timer4Timer(); });
    ConnectTwins(this, m_ui->SpeedButton3, m_ui->N5,
                 [this] { m_readWriteAll->SpeedButton3Click(); });
    ConnectTwins(this, m_ui->SpeedButton21, m_ui->N6,
                 [this] { m_readWriteAll->SpeedButton21Click(); });
    ConnectTwins(this, m_ui->SpeedButton14, m_ui->N8, [this] { m_rfTest->SpeedButton14Click(); });
    ConnectTwins(this, m_ui->SpeedButton15, m_ui->N15, [this] { m_rfTest->SpeedButton15Click(); });
    connect(&Timer(2), &QTimer::timeout, this, [this] { Timer2Timer(); });
    ConnectTwins(this, m_ui->SpeedButton6, m_ui->N20, [this] { N20Click(); });
    connect(m_ui->N11, &QAction::triggered, this, [this] { m_about->exec(); });
    auto* languages = new QActionGroup(this);
    for (QAction* choice : {m_ui->LanguageChinese, m_ui->LanguageEnglish})
        languages->addAction(choice);
    connect(m_ui->LanguageChinese, &QAction::triggered, this, [this] { SwitchLanguage("CN"); });
    connect(m_ui->LanguageEnglish, &QAction::triggered, this, [this] { SwitchLanguage("EN"); });
    // Made with the port dialog, before any click can come.
    connect(m_ui->SaveProfileItem, &QAction::triggered, this, [this] { m_profiles->Save(); });
    connect(m_ui->ApplyProfileItem, &QAction::triggered, this, [this] { m_profiles->Apply(); });
    connect(m_ui->FrameMonitorItem, &QAction::triggered, this, [this] {
        m_monitor->show();
        m_monitor->raise();
        m_monitor->activateWindow();
    });
    // Stored at once, apart from the options SaveOptions writes at the end.
    connect(m_ui->SessionLogItem, &QAction::triggered, this, [this](bool on) {
        m_sessionLog->Set(on);
        config::SaveSessionLog(config::ConfigPath(m_g.StartDir), on);
    });
    // The pair test tab is only shown; nothing starts. The change asks what a change of tab
    // by the operator asks, once, and nothing when the tab is already shown.
    connect(m_ui->N9, &QAction::triggered, this,
            [this] { m_ui->PageControl1->setCurrentIndex(1); });
    connect(m_ui->ActionSaveResults, &QAction::triggered, this,
            [this] { m_pairTest->SaveResults(); });
    // N18 is a checkable action: each click toggles it, and SaveOptions stores the state.
}

void TForm1::ShowPortDialog() {
    m_frmPortSet->exec();
}

void TForm1::FormCreate() {
    m_ui->PageControl1->setCurrentIndex(0);
    m_g.StartDir = m_services.startDir;
    m_g.PollSuspended = false;
    m_g.AppState = StateCommand;

    // The model chosen later fills these lists.
    m_ui->ComboBox3->setCurrentIndex(-1);
    m_ui->ComboBox1->clear();
    m_ui->ComboBox2->clear();
    m_ui->ComboBox4->clear();
    m_ui->Edit1->clear();
    m_ui->Edit19->clear();

    m_g.FrameDelayMs = 300;

    m_ui->ComboBox12->clear();
    for (int year = 2000; year <= 2100; ++year)
        m_ui->ComboBox12->addItem(QString::number(year));
    m_ui->ComboBox13->clear();
    for (int month = 1; month <= 12; ++month)
        m_ui->ComboBox13->addItem(QString("%1").arg(month, 2, 10, QChar('0')));
    for (QComboBox* box : {m_ui->ComboBox11, m_ui->ComboBox12, m_ui->ComboBox13}) {
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
    m_ui->Edit2->clear();

    LoadConfig();
    m_models->FillModelLists(m_g.ModelListVariant);
}

void TForm1::LoadConfig() {
    const config::ConfigValues values = config::LoadConfig(config::ConfigPath(m_g.StartDir));

    m_ui->ComboBox11->setCurrentIndex(values.sn.model);
    m_ui->ComboBox12->setCurrentText(QString::fromStdString(values.sn.year));
    m_ui->ComboBox13->setCurrentText(QString::fromStdString(values.sn.month));
    m_ui->Edit2->setText(QString::fromStdString(values.sn.no));

    m_g.VariantType = values.ver.VariantType;
    m_g.VerModel = values.ver.VerModel;
    m_g.LangCode = values.ver.LangCode;
    m_g.ModelListVariant = values.ver.ModelListVariant;

    // The spin boxes clamp a stored value to their ranges.
    m_ui->CheckBox2->setChecked(values.option.frameDelay);
    m_ui->SpinEdit2->setValue(values.option.delayTime);
    m_ui->SpinEdit3->setValue(values.option.rxTimer);
    m_ui->SpinEdit4->setValue(values.option.rxTxConversion);
    m_ui->N18->setChecked(values.option.searchBeforeRw);
    m_g.TestDelayTime = values.option.TestDelayTime;
    m_ui->SessionLogItem->setChecked(values.option.sessionLog);
    m_sessionLog->Set(values.option.sessionLog);
    const config::ResendOption resend = config::LoadResendOption(config::ConfigPath(m_g.StartDir));
    m_ui->CheckBoxResend->setChecked(resend.on);
    m_ui->SpinEditResend->setValue(resend.ms);

    ApplyVariantLayout(*m_ui, *this, m_g);
    ApplyLanguage();
}

void TForm1::N20Click() {
    const std::string path = (std::filesystem::path(m_g.StartDir) / "readme.doc").string();
    if (!m_services.shell.Open(path)) {
        const core::TextRule texts(m_g.LangCode, m_g.VariantType);
        m_services.dialogs.Warning(path + texts.Message(core::TextId::kHelpOpenFail));
    }
}

void TForm1::Timer2Timer() {
    // Every tick is the last, also when no action is pending (a plain search started since):
    // a timer left running would carry out the pending action of a later search mid-walk.
    Timer(2).stop();
    // Each acts on its own pending action only.
    m_readWriteAll->RunPendingAction();
    m_rfTest->SetTxTest();
}

void TForm1::SaveOptions() {
    config::OptionValues options;
    options.frameDelay = m_ui->CheckBox2->isChecked();
    options.delayTime = m_ui->SpinEdit2->value();
    options.rxTimer = m_ui->SpinEdit3->value();
    options.rxTxConversion = m_ui->SpinEdit4->value();
    options.searchBeforeRw = m_ui->N18->isChecked();
    // An unwritable file is not reported; the program ends all the same.
    const auto file = config::ConfigPath(m_g.StartDir);
    config::SaveOptions(file, options);
    config::SaveResendOption(file,
                             {m_ui->CheckBoxResend->isChecked(), m_ui->SpinEditResend->value()});
}

void TForm1::showEvent(QShowEvent* event) {
    // Only the first showing places the window; later ones keep where it was put.
    if (!testAttribute(Qt::WA_Moved))
        CentreOnScreen();
    QMainWindow::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    SaveOptions();
    // The monitor is a window of its own; it goes with the tool.
    m_monitor->close();
    event->accept();
}
