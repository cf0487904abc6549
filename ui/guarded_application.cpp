// Catches what escapes event handlers, as the form library's message loop does.
#include "ui/guarded_application.h"

#include <QEvent>
#include <exception>

#include "ui/app.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        const bool handled = QApplication::notify(receiver, event);
        // Only now is it known whether the window's handler let it close.
        if (event->type() == QEvent::Close && event->isAccepted() && Application != nullptr &&
            receiver == Application->MainForm()) {
            Application->Terminate();
        }
        return handled;
    } catch (...) {
        // Qt's dispatch is not exception-safe: stop the exception here.
        if (Application != nullptr) {
            Application->HandleException(std::current_exception());
        } else {
            TApplication fallback;  // nothing else to show it with
            fallback.HandleException(std::current_exception());
        }
        return false;
    }
}
