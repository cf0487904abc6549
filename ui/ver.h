// The about box: the application icon, title, version and copyright notice
// above an OK button. The main window fills it and shows it modally.
#pragma once

#include <QDialog>
#include <memory>

class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace Ui {
class TForm2;
}

class TForm2 : public QDialog {
    Q_OBJECT

public:
    // Builds the box, hidden, from its form.
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // The form's components under their designer names, in its order, all
    // owned by the box; the main window's KA1Click fills them through Form2.
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* Button1 = nullptr;

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

    std::unique_ptr<Ui::TForm2> m_ui;
};
