// The port settings dialog: COM port, baud rate and parity, opened and closed here.
#pragma once

#include <QDialog>
#include <memory>

struct Context;

namespace Ui {
class TfrmPortSet;
}

class TfrmPortSet : public QDialog {
    Q_OBJECT
public:
    // Creating the dialog loads the saved settings and opens the port at once.
    TfrmPortSet(Context& ctx, QWidget* parent = nullptr);
    ~TfrmPortSet() override;

    Ui::TfrmPortSet& Form() { return *m_ui; }

    // Follows the module's serial settings: select them, close the port and open it again.
    void ReopenPort(int rateCode, int parityCode);

private:
    Context& m_ctx;
    std::unique_ptr<Ui::TfrmPortSet> m_ui;
};
