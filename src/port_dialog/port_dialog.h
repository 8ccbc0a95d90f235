// The port settings dialog: COM port, baud rate and parity, opened and closed here. It sets the
// port's line settings (CurrentPort and the line-setting codes) and PortOpenFlags, owns section
// COM of Config.ini, and writes the port summary into status panel 1 of the main window.
#pragma once

#include "core/search_steps.h"
#include "core/texts.h"
#include "form/globals.h"

#include <QDialog>
#include <QString>
#include <array>
#include <memory>
#include <string>

class QLabel;
class StatusPanels;
class TCommFun;
namespace core {
class Dialogs;
}
namespace serial {
class PortWatch;
}

namespace Ui {
class TfrmPortSet;
}

// What the dialog reads and changes of the session: the line settings and open flags it sets,
// the start directory that holds Config.ini, and the language.
struct PortDialogState : SessionLanguage {
    core::LineSettings& Line;
    std::array<bool, 36>& PortOpenFlags;
    const std::string& StartDir;
};

class TfrmPortSet : public QDialog {
    Q_OBJECT
public:
    // Creating the dialog loads the saved settings and opens the port at once. The device list
    // follows `ports` while the dialog lives.
    TfrmPortSet(const PortDialogState& state, TCommFun& commFun, serial::PortWatch& ports,
                core::Dialogs& dialogs, StatusPanels& status, QWidget* parent = nullptr);
    ~TfrmPortSet() override;

    Ui::TfrmPortSet& Form() { return *m_ui; }

    void SpeedButton1Click(); // open
    void SpeedButton2Click(); // close
    void SpeedButton3Click(); // cancel
    void ComboBox1Click();
    // A baud-rate or parity choice shows the summary at once, before any open.
    void ComboBox2Change();
    void ComboBox3Click();

    // The device of `port` vanished and the port is closed: its flag and the buttons say so.
    void PortLost(int port);

    // Follows the module's serial settings: select them, close the port and open it again.
    // Rate codes 1..8 stand for 600..57600; parity codes 0 none, 1 even, 2 odd.
    void ReopenPort(int rateCode, int parityCode);

    // The radio search step of the baud-rate and parity selection; 0 when the search has none.
    int SearchStartStep() const;
    // Whether the chosen port keeps the line its server gives it (a raw socket://), so that no
    // search can walk it.
    bool FixedLine() const;
    // Selects the step's baud rate and parity and puts the open port on them, with 8 data bits
    // and 1 stop bit, without closing it; panel 1 shows the setting tried. False when the port
    // refused the settings (after the serial link's own box).
    bool ApplySearchStep(const core::SearchStep& step);

    void LoadPortSettings();
    void SavePortSettings();
    // The captions in the dialogs' language; again whenever the language changes.
    void ApplyCaptions();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    // "COM1,2400,NONE(无校验),8,1": the five boxes' texts, port first.
    QString PortSummary() const;
    void ShowPortSummary();
    // Which device each COM entry opens, as item tooltips and under the list for the choice; a
    // device named in Config.ini that is not there now is marked so.
    void ShowPortDevices();
    void ShowChosenDevice();
    void Warn(core::TextId message);

    PortDialogState m_state;
    TCommFun& m_commFun;
    serial::PortWatch& m_ports;
    core::Dialogs& m_dialogs;
    StatusPanels& m_status;
    std::unique_ptr<Ui::TfrmPortSet> m_ui;
    QLabel* m_device = nullptr;
};
