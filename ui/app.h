// The application object and the window variables: the thin stand-in for the
// form library's application that every window reaches the shell through.
#pragma once

#include <QFont>
#include <QIcon>
#include <QString>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <vector>

class QTemporaryDir;
class QTranslator;
class TForm1;
class TForm2;
class TForm3;

// The three windows, each set once at start-up before its construction runs
// and alive until the program ends. Null until then, and again once the
// application object that owns them is gone.
extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;

class TApplication;
// The one application object; null before start-up and after it ends.
extern TApplication* Application;

// The font of every form: "ＭＳ Ｐゴシック", 12 pixels high (proportional).
[[nodiscard]] QFont FormFont();
// The fixed-pitch font of the report: "ＭＳ ゴシック", 12 pixels high.
[[nodiscard]] QFont FixedPitchFont();

// Owns the program's windows and holds what the whole program shares: the
// title, the icon, the message box and the exception dialog. Qt's own
// application object (a GuardedApplication) must exist first.
class TApplication {
public:
    // Becomes `Application`; loads the icon and sets the default title.
    TApplication();
    // Destroys the windows, newest first, and nulls their variables.
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Prepares the program-wide settings: the MS font names mapped to the IPA
    // fonts, the form font as default, Qt's Japanese texts, the core's message
    // sink, the rule that only the main window's closing ends the program, and
    // a settings folder of its own that goes with the application object.
    void Initialize();

    // Creates a window of class T, owned by the application and hidden. The
    // variable points at the window before T's constructor runs, so the
    // window's creation code can reach itself through it. The first window
    // created becomes the main window. If the constructor throws, the
    // variable is null again and the exception goes on.
    template <class T>
    void CreateForm(T*& variable);

    // The first window CreateForm made, or null.
    [[nodiscard]] QWidget* MainForm() const;
    // The windows in the order they were created.
    [[nodiscard]] std::vector<QWidget*> Forms() const;

    // The application title ("Quarnel" once start-up has set it; the
    // program file's name before).
    [[nodiscard]] QString Title() const;
    void SetTitle(const QString& title);

    // The application icon, loaded from the resource "MAINICON".
    [[nodiscard]] QIcon Icon() const;

    // Shows the main window and dispatches events until Terminate().
    void Run();
    // Ends Run(); called when the main window closes.
    void Terminate();
    [[nodiscard]] bool Terminated() const;

    // The application message box: `text`, one OK button, no icon, the fixed
    // default caption, modal to the whole application. Returns when dismissed;
    // the previously active window is active again.
    void MessageBox(const QString& text);

    // The exception dialog: the message, the title as caption, an error icon
    // and OK; modal to the whole application.
    void ShowException(const std::exception& error);
    // Shows `error` unless it is an EAbort; for exceptions that escape an
    // event handler.
    void HandleException(const std::exception_ptr& error);

private:
    struct OwnedForm {
        std::unique_ptr<QWidget> window;
        std::function<void()> forget;  // nulls the window's variable
    };

    std::vector<OwnedForm> m_forms;
    QString m_title;
    QIcon m_icon;
    bool m_terminated = false;
    std::unique_ptr<QTranslator> m_translator;
    std::unique_ptr<QTemporaryDir> m_settingsFolder;
    struct Sink;
    std::unique_ptr<Sink> m_sink;
};

template <class T>
void TApplication::CreateForm(T*& variable)
{
    m_forms.reserve(m_forms.size() + 1);  // nothing can fail after construction
    // Storage first, so the variable can point at the window while it is built.
    void* storage = ::operator new(sizeof(T));
    variable = static_cast<T*>(storage);
    try {
        variable = ::new (storage) T(nullptr);
    } catch (...) {
        variable = nullptr;
        ::operator delete(storage);
        throw;
    }
    m_forms.push_back({std::unique_ptr<QWidget>(variable), [&variable] { variable = nullptr; }});
}
