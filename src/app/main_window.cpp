#include "main_window.h"

#include "ui_main_window.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()) {
    m_ui->setupUi(this);
}

TForm1::~TForm1() = default;
