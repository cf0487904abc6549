// The about box's behaviour.
#include "ui/ver.h"

#include "ui_ver.h"

TForm2::TForm2(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::TForm2>())
{
    m_ui->setupUi(this);
}

TForm2::~TForm2() = default;
