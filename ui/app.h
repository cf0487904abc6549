// The application object and the window variables: the thin stand-in for the
// form library's application that every window reaches the shell through.
#pragma once

#include <QIcon>
#include <QString>

class TForm1;
class TForm2;
class TForm3;

// The three windows, each set once at start-up before its construction runs
// and alive until the program ends. Null until then.
extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;

class TApplication;
// The one application object; null before start-up and after it ends.
extern TApplication* Application;

class TApplication {
public:
    // The application title ("Quarnel" once start-up has set it).
    [[nodiscard]] QString Title() const;
    void SetTitle(const QString& title);

    // The application icon, loaded from the resource "MAINICON".
    [[nodiscard]] QIcon Icon() const;

    // The application message box: `text`, one OK button, no icon, the fixed
    // default caption, modal to the whole application. Returns when dismissed;
    // the previously active window is active again.
    void MessageBox(const QString& text);
};
