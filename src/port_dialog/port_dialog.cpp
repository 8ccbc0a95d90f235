#include "port_dialog.h"

#include "config/config_file.h"
#include "core/catalogue.h"
#include "core/services.h"
#include "form/status_panels.h"
#include "serial/commfunction.h"
#include "serial/net_device.h"
#include "serial/port_devices.h"
#include "serial/port_watch.h"
#include "ui_port_dialog.h"

#include <QFont>
#include <QLabel>
#include <filesystem>
#include <optional>

namespace {

// "COM1" .. "COM36" -> 1 .. 36; anything else (no entry chosen) -> nothing.
std::optional<int> PortNumberOf(const QString& text) {
    if (!text.startsWith(QLatin1String("COM")) || text.size() < 4)
        return std::nullopt;
    const QString digits = text.mid(3);
    for (const QChar c : digits)
        if (!c.isDigit())
            return std::nullopt;
    const int port = digits.toInt();
    if (port < 1 || port > serial::kPortCount)
        return std::nullopt;
    return port;
}

std::optional<serial::BaudCode> BaudCodeOf(const QString& text) {
    for (const serial::BaudCode& baud : serial::kBaudCodes)
        if (text == QString::number(baud.rate))
            return baud;
    return std::nullopt;
}

// The first letter of the parity entry; an unknown letter keeps the code in force.
int ParityCodeOf(const QString& text, int current) {
    switch (text.isEmpty() ? char16_t{} : text.front().unicode()) {
    case u'E':
        return serial::kParityEven;
    case u'O':
        return serial::kParityOdd;
    case u'N':
        return serial::kParityNone;
    case u'S':
        return serial::kParitySpace;
    case u'M':
        return serial::kParityMark;
    default:
        return current;
    }
}

int DataBitsCodeOf(const QString& text, int current) {
    static const std::array<std::pair<const char*, int>, 4> kCodes{{{"8", serial::kData8},
                                                                    {"7", serial::kData7},
                                                                    {"6", serial::kData6},
                                                                    {"5", serial::kData5}}};
    for (const auto& [bits, code] : kCodes)
        if (text == QLatin1String(bits))
            return code;
    return current;
}

// "1.5" has no code and keeps the one in force.
int StopBitsCodeOf(const QString& text, int current) {
    if (text == QLatin1String("1"))
        return serial::kStop1;
    if (text == QLatin1String("2"))
        return serial::kStop2;
    return current;
}

// Module parity codes: 0 none, 1 even, 2 odd; the list holds even, odd, none.
int ParityEntryOfCode(int parityCode) {
    static constexpr std::array<int, 3> kEntries{2, 0, 1};
    return parityCode >= 0 && parityCode <= 2 ? kEntries[static_cast<std::size_t>(parityCode)] : -1;
}

} // namespace

TfrmPortSet::TfrmPortSet(const PortDialogState& state, TCommFun& commFun, serial::PortWatch& ports,
                         core::Dialogs& dialogs, StatusPanels& status, QWidget* parent)
    : QDialog(parent), m_state(state), m_commFun(commFun), m_ports(ports), m_dialogs(dialogs),
      m_status(status), m_ui(std::make_unique<Ui::TfrmPortSet>()) {
    m_ui->setupUi(this);
    m_device = new QLabel(this);
    m_device->setObjectName(QStringLiteral("LabelPortDevice"));
    m_device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_ui->layoutPortDialog->insertWidget(1, m_device);

    connect(m_ui->SpeedButton1, &QPushButton::clicked, this, &TfrmPortSet::SpeedButton1Click);
    connect(m_ui->SpeedButton2, &QPushButton::clicked, this, &TfrmPortSet::SpeedButton2Click);
    connect(m_ui->SpeedButton3, &QPushButton::clicked, this, &TfrmPortSet::SpeedButton3Click);
    connect(m_ui->ComboBox1, &QComboBox::activated, this, &TfrmPortSet::ComboBox1Click);
    connect(m_ui->ComboBox2, &QComboBox::activated, this, &TfrmPortSet::ComboBox2Change);
    connect(m_ui->ComboBox3, &QComboBox::activated, this, &TfrmPortSet::ComboBox3Click);
    connect(m_ui->ComboBox1, &QComboBox::currentIndexChanged, this, &TfrmPortSet::ShowChosenDevice);
    m_commFun.OnPortLost([this](int port) { PortLost(port); });
    m_ports.OnChange([this] { ShowPortDevices(); });
    FormCreate();
}

TfrmPortSet::~TfrmPortSet() {
    m_ports.OnChange({});
    m_commFun.OnPortLost({});
}

void TfrmPortSet::FormCreate() {
    ApplyCaptions();
    m_ui->ComboBox1->setCurrentIndex(0);
    m_ui->ComboBox2->setCurrentIndex(2);
    m_ui->ComboBox3->setCurrentIndex(2);
    m_ui->ComboBox4->setCurrentIndex(0);
    LoadPortSettings();
    ShowPortDevices();
    SpeedButton1Click();
}

void TfrmPortSet::ApplyCaptions() {
    using T = core::TextId;
    const core::TextRule texts = m_state.Texts();
    // The dialog follows the message rule: English only for exactly "EN". An empty font
    // inherits the application's again.
    setFont(texts.EnglishMessages() ? QFont(QStringLiteral("Arial")) : QFont());
    const auto caption = [&texts](T id) { return QString::fromUtf8(texts.DialogCaption(id)); };
    setWindowTitle(caption(T::kPortDialogTitle));
    m_ui->Label1->setText(caption(T::kPortLabel));
    m_ui->Label2->setText(caption(T::kBaudLabel));
    m_ui->Label3->setText(caption(T::kVerifyLabel));
    m_ui->Label4->setText(caption(T::kDataBitsLabel));
    m_ui->Label5->setText(caption(T::kBeginBitsLabel));
    m_ui->Label6->setText(caption(T::kStopBitsLabel));
    static const std::array kParity{T::kParityEven, T::kParityOdd, T::kParityNone};
    for (int i = 0; i < static_cast<int>(kParity.size()); ++i)
        m_ui->ComboBox3->setItemText(i, caption(kParity[static_cast<std::size_t>(i)]));
    m_ui->SpeedButton1->setText(caption(T::kOpenButton));
    m_ui->SpeedButton2->setText(caption(T::kCloseButton));
    m_ui->SpeedButton3->setText(caption(T::kCancelButton));
}

int TfrmPortSet::SearchStartStep() const {
    return core::StartStepFromPortDialog(m_ui->ComboBox2->currentIndex(),
                                         m_ui->ComboBox3->currentIndex());
}

bool TfrmPortSet::ApplySearchStep(const core::SearchStep& step) {
    core::LineSettings& line = m_state.Line;
    m_ui->ComboBox2->setCurrentIndex(step.baud_position);
    m_ui->ComboBox3->setCurrentIndex(step.parity_position);
    line.PortBaudCode = step.baud_code;
    line.BaudRate = BaudCodeOf(m_ui->ComboBox2->currentText())->rate;
    line.PortParityCode = step.parity_code;
    line.PortDataBitsCode = serial::kData8;
    line.PortStopBitsCode = serial::kStop1;
    const bool set =
        m_commFun.SetPortParams(line.CurrentPort, line.PortBaudCode, line.PortDataBitsCode,
                                line.PortStopBitsCode, line.PortParityCode);
    // The search always tries 8 data bits and 1 stop bit, whatever those lists show.
    m_status.Set(1, QStringList{m_ui->ComboBox1->currentText(), m_ui->ComboBox2->currentText(),
                                m_ui->ComboBox3->currentText()}
                            .join(',') +
                        QStringLiteral(",8,1,1"));
    return set;
}

void TfrmPortSet::LoadPortSettings() {
    // A position outside a list leaves that list without a selection.
    const config::PortSettings s = config::LoadPortSettings(config::ConfigPath(m_state.StartDir));
    m_ui->ComboBox1->setCurrentIndex(s.port);
    m_ui->ComboBox2->setCurrentIndex(s.rate);
    m_ui->ComboBox3->setCurrentIndex(s.verify);
}

void TfrmPortSet::SavePortSettings() {
    config::SavePortSettings(config::ConfigPath(m_state.StartDir),
                             {m_ui->ComboBox1->currentIndex(), m_ui->ComboBox2->currentIndex(),
                              m_ui->ComboBox3->currentIndex()});
}

void TfrmPortSet::SpeedButton1Click() {
    const PortDialogState& g = m_state;
    core::LineSettings& line = g.Line;
    const auto port = PortNumberOf(m_ui->ComboBox1->currentText());
    if (!port) {
        Warn(core::TextId::kPortOutOfRange);
        return;
    }
    // Kept even when the open fails, so a later close addresses the port that was tried.
    line.CurrentPort = *port;
    const auto baud = BaudCodeOf(m_ui->ComboBox2->currentText());
    if (!baud) {
        Warn(core::TextId::kBaudOutOfRange);
        return;
    }
    line.PortBaudCode = baud->code;
    line.BaudRate = baud->rate;
    line.PortParityCode = ParityCodeOf(m_ui->ComboBox3->currentText(), line.PortParityCode);
    line.PortDataBitsCode = DataBitsCodeOf(m_ui->ComboBox4->currentText(), line.PortDataBitsCode);
    line.PortStopBitsCode = StopBitsCodeOf(m_ui->ComboBox6->currentText(), line.PortStopBitsCode);

    if (!m_commFun.OpenPort(line.CurrentPort)) {
        Warn(core::TextId::kOpenFail);
        m_status.Set(1, QString::fromUtf8(g.Message(core::TextId::kOpenFailStatus)));
        return;
    }
    // A failure here has shown its own box; the port counts as open.
    m_commFun.SetPortParams(line.CurrentPort, line.PortBaudCode, line.PortDataBitsCode,
                            line.PortStopBitsCode, line.PortParityCode);
    m_ui->SpeedButton1->setEnabled(false);
    m_ui->SpeedButton2->setEnabled(true);
    close();
    // One port at a time: whatever else is open is closed.
    for (int i = 0; i < serial::kPortCount; ++i) {
        auto& flag = g.PortOpenFlags[static_cast<std::size_t>(i)];
        if (i + 1 != line.CurrentPort && flag && m_commFun.ClosePort(i + 1))
            flag = false;
    }
    g.PortOpenFlags[static_cast<std::size_t>(line.CurrentPort - 1)] = true;
    ShowPortSummary();
    SavePortSettings();
}

void TfrmPortSet::SpeedButton2Click() {
    const PortDialogState& g = m_state;
    if (!m_commFun.ClosePort(g.Line.CurrentPort)) {
        Warn(core::TextId::kCloseFail);
        m_status.Set(1, QString::fromUtf8(g.Message(core::TextId::kCloseFailStatus)));
        return;
    }
    m_ui->SpeedButton1->setEnabled(true);
    m_ui->SpeedButton2->setEnabled(false);
    const int entry = m_ui->ComboBox1->currentIndex();
    if (entry >= 0)
        g.PortOpenFlags[static_cast<std::size_t>(entry)] = false;
}

void TfrmPortSet::SpeedButton3Click() {
    close();
}

void TfrmPortSet::ComboBox1Click() {
    const int entry = m_ui->ComboBox1->currentIndex();
    const bool open = entry >= 0 && m_state.PortOpenFlags[static_cast<std::size_t>(entry)];
    m_ui->SpeedButton1->setEnabled(!open);
    m_ui->SpeedButton2->setEnabled(open);
}

void TfrmPortSet::PortLost(int port) {
    if (port < 1 || port > serial::kPortCount)
        return;
    m_state.PortOpenFlags[static_cast<std::size_t>(port - 1)] = false;
    // The buttons follow the entry shown, as a choice in the list does.
    ComboBox1Click();
}

void TfrmPortSet::ComboBox2Change() {
    ShowPortSummary();
}

void TfrmPortSet::ComboBox3Click() {
    ShowPortSummary();
}

void TfrmPortSet::ReopenPort(int rateCode, int parityCode) {
    const PortDialogState& g = m_state;
    // A code without a baud rate gives "0", which no entry holds: no selection.
    m_ui->ComboBox2->setCurrentIndex(
        m_ui->ComboBox2->findText(QString::number(core::BaudFromRateCode(rateCode))));
    m_ui->ComboBox3->setCurrentIndex(ParityEntryOfCode(parityCode));
    // The port is closed now; when the open below stops early the flag and buttons must
    // not claim otherwise.
    if (m_commFun.ClosePort(g.Line.CurrentPort)) {
        g.PortOpenFlags[static_cast<std::size_t>(g.Line.CurrentPort - 1)] = false;
        m_ui->SpeedButton1->setEnabled(true);
        m_ui->SpeedButton2->setEnabled(false);
    }
    SpeedButton1Click();
}

void TfrmPortSet::showEvent(QShowEvent* event) {
    // Config.ini or the adapters may have changed since the last look.
    ShowPortDevices();
    QDialog::showEvent(event);
}

QString TfrmPortSet::PortSummary() const {
    return QStringList{m_ui->ComboBox1->currentText(), m_ui->ComboBox2->currentText(),
                       m_ui->ComboBox3->currentText(), m_ui->ComboBox4->currentText(),
                       m_ui->ComboBox5->currentText()}
        .join(',');
}

void TfrmPortSet::ShowPortSummary() {
    m_status.Set(1, PortSummary());
}

void TfrmPortSet::ShowPortDevices() {
    const auto devices = DevicesOfPorts(config::ConfigPath(m_state.StartDir));
    for (int i = 0; i < m_ui->ComboBox1->count() && i < serial::kPortCount; ++i) {
        const std::string& device = devices[static_cast<std::size_t>(i)];
        QString shown = QString::fromStdString(device);
        std::error_code error;
        // a network URL is no file: whether its server is there shows when it is opened
        if (!device.empty() && !serial::IsNetName(device) &&
            !std::filesystem::exists(device, error))
            shown += QStringLiteral(" (%1)").arg(
                QString::fromUtf8(m_state.Message(core::TextId::kDeviceAbsent)));
        m_ui->ComboBox1->setItemData(i, shown, Qt::ToolTipRole);
    }
    ShowChosenDevice();
}

bool TfrmPortSet::FixedLine() const {
    return serial::FixedLine(
        m_ui->ComboBox1->currentData(Qt::ToolTipRole).toString().toStdString());
}

void TfrmPortSet::ShowChosenDevice() {
    const QString device = m_ui->ComboBox1->currentData(Qt::ToolTipRole).toString();
    m_device->setText(device.isEmpty() ? QString::fromUtf8(m_state.Message(core::TextId::kNoDevice))
                                       : device);
}

void TfrmPortSet::Warn(core::TextId message) {
    m_dialogs.Warning(m_state.Message(message));
}
