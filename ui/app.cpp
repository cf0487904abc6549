// The application object: windows, title, icon, message box and exception
// dialog, as the form library's application provides them.
#include "ui/app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <string>

#include "core/cp932.h"
#include "core/message_sink.h"
#include "core/search.h"
#include "ui/exceptions.h"

// The resource file is linked in a static library: nothing would pull its
// registration into the program unless it is named here (outside any
// namespace, as Q_INIT_RESOURCE requires).
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TApplication* Application = nullptr;

namespace {

// The platform puts its own word for "error" on a message box given no
// caption; the program never gives one.
const QString kMessageBoxCaption = QStringLiteral("エラー");

// Runs `box` modal to the whole application and gives the activation back to
// the window that had it, as the platform's own message box does.
void RunApplicationModal(QMessageBox& box)
{
    const QPointer<QWidget> previous = QApplication::activeWindow();
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);  // a path may hold "<"
    box.exec();
    if (previous && previous->isVisible()) previous->activateWindow();
}

}  // namespace

// Tells the core's failures in the application message box.
struct TApplication::Sink final : quarnel::MessageSink {
    void ShowMessage(std::string_view cp932) override
    {
        // The results window may show lines appended since it last looked.
        quarnel::SearchReport().NotifyChanged();
        if (Application) Application->MessageBox(QString::fromStdString(quarnel::Cp932ToUtf8(cp932)));
    }
};

QFont FormFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

QFont FixedPitchFont()
{
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

TApplication::TApplication()
    : m_title(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName())
{
    InitResources();
    m_icon = QIcon(QStringLiteral(":/MAINICON"));
    Application = this;
}

TApplication::~TApplication()
{
    if (m_sink) quarnel::SetMessageSink(nullptr);
    while (!m_forms.empty()) {
        OwnedForm form = std::move(m_forms.back());
        m_forms.pop_back();
        form.window.reset();
        form.forget();
    }
    if (m_translator) QCoreApplication::removeTranslator(m_translator.get());
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize()
{
    // fontconfig knows nothing of the MS names the forms ask for.
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QApplication::setFont(FormFont());

    // The common dialogs speak Japanese when Qt's translation is installed.
    if (!m_translator) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator.get());
            m_translator = std::move(translator);
        }
    }

    // The program keeps no settings between runs, but Qt's file dialogs
    // write their history and layout to the user's settings: they get a
    // folder that is removed when the program ends.
    if (!m_settingsFolder) {
        m_settingsFolder = std::make_unique<QTemporaryDir>();
        if (m_settingsFolder->isValid()) {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsFolder->path());
            QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsFolder->path());
        }
    }

    if (!m_sink) m_sink = std::make_unique<Sink>();
    quarnel::SetMessageSink(m_sink.get());

    // The main window's closing ends the program (GuardedApplication sees
    // it); any other window only hides.
    QApplication::setQuitOnLastWindowClosed(false);
}

QWidget* TApplication::MainForm() const
{
    return m_forms.empty() ? nullptr : m_forms.front().window.get();
}

std::vector<QWidget*> TApplication::Forms() const
{
    std::vector<QWidget*> forms;
    for (const OwnedForm& form : m_forms) forms.push_back(form.window.get());
    return forms;
}

QString TApplication::Title() const
{
    return m_title;
}

void TApplication::SetTitle(const QString& title)
{
    // Kept here, not in QGuiApplication::applicationDisplayName, which Qt
    // would append to every window's caption.
    m_title = title;
}

QIcon TApplication::Icon() const
{
    return m_icon;
}

void TApplication::Run()
{
    if (m_terminated) return;
    if (QWidget* main = MainForm()) main->show();
    if (!m_terminated) QApplication::exec();
}

void TApplication::Terminate()
{
    m_terminated = true;
    QCoreApplication::exit(0);
}

bool TApplication::Terminated() const
{
    return m_terminated;
}

void TApplication::MessageBox(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kMessageBoxCaption, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    RunApplicationModal(box);
}

void TApplication::ShowException(const std::exception& error)
{
    QMessageBox box(QMessageBox::Critical, Title(), QString::fromUtf8(error.what()), QMessageBox::Ok,
                    QApplication::activeWindow());
    RunApplicationModal(box);
}

void TApplication::HandleException(const std::exception_ptr& error)
{
    if (!error) return;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // Silent by design: it only ends the handler that threw it.
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception(QStringLiteral("不明な例外が発生しました。")));
    }
}
