// The port settings dialog: COM port, baud rate and parity, opened and closed here.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmPortSet;
}

class TfrmPortSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPortSet(QWidget* parent = nullptr);
    ~TfrmPortSet() override;

private:
    std::unique_ptr<Ui::TfrmPortSet> m_ui;
};
