// The about box's behaviour: how it closes.
#include "ui/ver.h"

#include <QKeyEvent>

#include "ui/app.h"
#include "ui_ver.h"

namespace {

// The modal results of the form library.
constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::TForm2>())
{
    m_ui->setupUi(this);
    Image1 = m_ui->Image1;
    Label1 = m_ui->Label1;
    Label2 = m_ui->Label2;
    Label3 = m_ui->Label3;
    Bevel1 = m_ui->Bevel1;
    Button1 = m_ui->Button1;
    setFont(FormFont());
    // Label1 has a font of its own: the form's, 17 pixels high.
    QFont titleFont = FormFont();
    titleFont.setPixelSize(17);
    Label1->setFont(titleFont);
    // The notice sizes itself to its text in this font. Label1 and Label2,
    // filled each time the box opens, span to the box's right edge instead,
    // with their text left- and right-aligned: the same as sizing themselves
    // from a fixed left edge and a fixed right edge (218) respectively.
    Label3->adjustSize();
    // A single fixed border with the system menu, the minimise box and the
    // close box; no maximise box and no help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BindEvents();
}

TForm2::~TForm2() = default;

void TForm2::BindEvents()
{
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

void TForm2::Button1Click() { done(kModalOk); }

void TForm2::reject() { done(kModalCancel); }

void TForm2::keyPressEvent(QKeyEvent* event)
{
    // QDialog would take Escape for a cancel; Enter still reaches the
    // focused OK button through QDialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
