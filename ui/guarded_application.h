// Qt's application object for the program: no exception unwinds through Qt's
// event dispatch, and the main window's closing ends the program.
#pragma once

#include <QApplication>

class GuardedApplication : public QApplication {
    Q_OBJECT

public:
    GuardedApplication(int& argc, char** argv);

    // Delivers `event`. An exception that escapes the handler is shown in the
    // exception dialog (an EAbort is not) and dispatch goes on. A close of the
    // main window that its handler accepted tells the application to end.
    bool notify(QObject* receiver, QEvent* event) override;
};
