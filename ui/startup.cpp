// The program's start-up, from the first window to the exit code.
#include "ui/startup.h"

#include <exception>

#include "ui/app.h"
#include "ui/exceptions.h"
#include "ui/guarded_application.h"
#include "ui/main.h"
#include "ui/res.h"
#include "ui/ver.h"

int RunApplication(const std::function<void()>& createForms)
{
    TApplication application;
    try {
        application.Initialize();
        createForms();
        application.SetTitle(QStringLiteral("Quarnel"));
        // The main window's form holds no caption: it has none until here.
        if (QWidget* main = application.MainForm()) {
            main->setWindowTitle(application.Title());
            main->setWindowIcon(application.Icon());
        }
        application.Run();
    } catch (const std::exception&) {
        // Wider than the form library's own base class: a std::bad_alloc at
        // start-up is better shown than left to end the process unexplained.
        application.HandleException(std::current_exception());
    }
    return 0;
}

int StartUp()
{
    return RunApplication([] {
        Application->CreateForm(Form1);
        Application->CreateForm(Form2);
        Application->CreateForm(Form3);
    });
}

int RunQuarnel(int& argc, char** argv)
{
    GuardedApplication qtApplication(argc, argv);
    return StartUp();
}
