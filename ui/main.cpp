// The main window's behaviour.
#include "ui/main.h"

#include "ui_main.h"

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>())
{
    m_ui->setupUi(this);
}

TForm1::~TForm1() = default;
