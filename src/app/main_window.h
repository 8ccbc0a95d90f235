// The main window: owns the form, the application state and the subsystems that act on it.
#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class TForm1;
}

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

private:
    std::unique_ptr<Ui::TForm1> m_ui;
};
