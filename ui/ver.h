// The about box: the application icon, title, version and copyright notice
// above an OK button. The main window fills it and shows it modally.
#pragma once

#include <QDialog>

#include "ui_ver.h"

class QKeyEvent;

// The controls are public members under their designer names (Image1,
// Label1..Label3, Bevel1, Button1), as the form library publishes them, so
// that the main window's KA1Click can fill them through Form2.
class TForm2 : public QDialog, public Ui::TForm2 {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // The OK button: ends the modal run with the result 1 (OK).
    void Button1Click();

    // Closing from the frame (close box, system menu, Alt+F4) ends the modal
    // run with the result 2 (cancel), as the form library does.
    void reject() override;

protected:
    // The box has no cancel button, so Escape does not close it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BindEvents();
};
