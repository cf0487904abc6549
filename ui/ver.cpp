// The about box's behaviour: how it closes.
#include "ui/ver.h"

#include <QKeyEvent>

#include "ui/app.h"

namespace {

// The modal results of the form library.
constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setFont(FormFont());
    // Label1 has a font of its own: the form's, 17 pixels high.
    QFont titleFont = FormFont();
    titleFont.setPixelSize(17);
    Label1->setFont(titleFont);
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
