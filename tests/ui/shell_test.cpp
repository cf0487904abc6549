// The application shell: start-up order, captions and icon, closing, the
// message box and the exception dialog, with real windows and events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <stdexcept>

#include "tests/ui/ui_test_support.h"
#include "ui/app.h"
#include "ui/exceptions.h"
#include "ui/main.h"
#include "ui/res.h"
#include "ui/save_dialog.h"
#include "ui/startup.h"
#include "ui/ver.h"

using quarnel::testing::Activate;
using quarnel::testing::Click;
using quarnel::testing::ClickButton;
using quarnel::testing::Describe;
using quarnel::testing::ShownBox;
using quarnel::testing::WhenModalShows;

namespace {

// Runs `whileRunning` once the message loop runs. A watchdog closes the main
// window should the test not end the loop itself, and tells the test so.
struct LoopRun {
    int exitCode = -1;
    bool watchdogFired = false;
};

LoopRun RunWhileLooping(const std::function<int()>& startUp, const std::function<void()>& whileRunning)
{
    LoopRun run;
    QTimer::singleShot(0, whileRunning);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&run] {
        run.watchdogFired = true;
        if (Application) Application->Terminate();
    });
    watchdog.start(15000);
    run.exitCode = startUp();
    return run;
}

// What a window saw of the window variables while it was being built.
struct Seen {
    const void* first = nullptr;
    const void* second = nullptr;
    const void* third = nullptr;
    const void* self = nullptr;
    QString title;
};

class RecordingForm;
RecordingForm* g_first = nullptr;
RecordingForm* g_second = nullptr;
RecordingForm* g_third = nullptr;
std::vector<Seen> g_seen;

class RecordingForm : public QWidget {
public:
    explicit RecordingForm(QWidget* parent) : QWidget(parent)
    {
        g_seen.push_back({g_first, g_second, g_third, this, Application->Title()});
    }
};

void CreateRecordingForms()
{
    Application->CreateForm(g_first);
    Application->CreateForm(g_second);
    Application->CreateForm(g_third);
}

}  // namespace

TEST(Shell, EachWindowVariableIsSetBeforeItsWindowIsBuiltAndTheTitleAfter)
{
    g_seen.clear();
    std::vector<QWidget*> forms;
    QString mainCaption;
    bool iconSet = false;
    const LoopRun run = RunWhileLooping([] { return RunApplication(CreateRecordingForms); }, [&] {
        forms = Application->Forms();
        mainCaption = g_first->windowTitle();
        iconSet = g_first->windowIcon().cacheKey() == Application->Icon().cacheKey();
        Application->Terminate();
    });

    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(g_seen.size(), 3u);
    // Each constructor found its own variable set and the later ones null.
    EXPECT_EQ(g_seen[0].first, g_seen[0].self);
    EXPECT_EQ(g_seen[0].second, nullptr);
    EXPECT_EQ(g_seen[0].third, nullptr);
    EXPECT_EQ(g_seen[1].first, g_seen[0].self);
    EXPECT_EQ(g_seen[1].second, g_seen[1].self);
    EXPECT_EQ(g_seen[1].third, nullptr);
    EXPECT_EQ(g_seen[2].third, g_seen[2].self);
    // The title is set only once the windows exist.
    for (const Seen& seen : g_seen) EXPECT_NE(seen.title, QStringLiteral("Quarnel"));

    ASSERT_EQ(forms.size(), 3u);
    EXPECT_EQ(forms[0], g_seen[0].self);
    EXPECT_EQ(forms[1], g_seen[1].self);
    EXPECT_EQ(forms[2], g_seen[2].self);
    EXPECT_EQ(mainCaption, QStringLiteral("Quarnel"));
    EXPECT_TRUE(iconSet);
    // The application object took its windows with it.
    EXPECT_EQ(g_first, nullptr);
    EXPECT_EQ(g_third, nullptr);
}

TEST(Shell, StartsWithTheMainWindowAloneShownAndCaptionedWithTheTitle)
{
    QWidget* first = nullptr;
    QWidget* second = nullptr;
    QWidget* third = nullptr;
    std::vector<QWidget*> forms;
    QString caption;
    QString platformCaption;
    bool mainVisible = false;
    bool othersHidden = false;
    QString title;
    const LoopRun run = RunWhileLooping(StartUp, [&] {
        first = Form1;
        second = Form2;
        third = Form3;
        forms = Application->Forms();
        caption = Form1->windowTitle();
        platformCaption = Form1->windowHandle() ? Form1->windowHandle()->title() : QString();
        mainVisible = Form1->isVisible();
        othersHidden = !Form2->isVisible() && !Form3->isVisible();
        title = Application->Title();
        Form1->windowHandle()->close();
    });

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.watchdogFired);
    EXPECT_EQ(forms, (std::vector<QWidget*>{first, second, third}));
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(title, QStringLiteral("Quarnel"));
    EXPECT_EQ(caption, QStringLiteral("Quarnel"));
    EXPECT_EQ(platformCaption, QStringLiteral("Quarnel"));
    // A display name would be appended to every caption on X11.
    EXPECT_NE(QGuiApplication::applicationDisplayName(), QStringLiteral("Quarnel"));
    EXPECT_TRUE(mainVisible);
    EXPECT_TRUE(othersHidden);
    EXPECT_EQ(Form1, nullptr);
    EXPECT_EQ(Form3, nullptr);
}

TEST(Shell, ClosingTheOtherWindowsOnlyHidesThemAndTheMainWindowEndsTheProgram)
{
    struct {
        bool resultsShown = false;
        bool resultsHiddenByClose = false;
        bool aboutHiddenByClose = false;
        bool sameResultsWindow = false;
        bool resultsOpenWhenMainClosed = false;
        bool loopWentOn = false;
    } seen;
    const LoopRun run = RunWhileLooping(StartUp, [&] {
        TForm3* results = Form3;
        ShowResultsWindow();
        seen.resultsShown = Form3->isVisible();
        Form3->windowHandle()->close();
        seen.resultsHiddenByClose = !Form3->isVisible();

        Form2->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form2));
        Form2->windowHandle()->close();
        seen.aboutHiddenByClose = !Form2->isVisible();

        // The loop still runs after those closes; the results window comes back
        // as the same window and stays open while the main window closes.
        QTimer::singleShot(0, [&seen, results] {
            seen.loopWentOn = true;
            ShowResultsWindow();
            seen.sameResultsWindow = Form3 == results && Form3->isVisible();
            seen.resultsOpenWhenMainClosed = Form3->isVisible();
            Form1->windowHandle()->close();
        });
    });

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.watchdogFired) << "closing the main window did not end the program";
    EXPECT_TRUE(seen.resultsShown);
    EXPECT_TRUE(seen.resultsHiddenByClose);
    EXPECT_TRUE(seen.aboutHiddenByClose);
    EXPECT_TRUE(seen.loopWentOn);
    EXPECT_TRUE(seen.sameResultsWindow);
    EXPECT_TRUE(seen.resultsOpenWhenMainClosed);
}

TEST(Shell, IconIsA32By32PictureInAtMost16Colours)
{
    TApplication application;
    const QImage image(QStringLiteral(":/MAINICON"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) != 0) colours.insert(pixel);
        }
    }
    EXPECT_GE(colours.size(), 2);
    EXPECT_LE(colours.size(), 16);
    EXPECT_FALSE(application.Icon().isNull());
    EXPECT_TRUE(application.Icon().availableSizes().contains(QSize(32, 32)));
}

TEST(Shell, MessageBoxIsCaptionedErrorWithOneOkAndBlocksEveryWindow)
{
    TApplication application;
    application.Initialize();
    application.SetTitle(QStringLiteral("Quarnel"));
    QWidget behind;
    QPushButton button(QStringLiteral("押す"), &behind);
    button.resize(100, 30);
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
    QWidget active;
    active.resize(100, 100);
    Activate(&behind);
    Activate(&active);

    ShownBox shown;
    int clicksWhileUp = -1;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = Describe(*box);
        // A real click, through the window system, on a window behind the box.
        QTest::mouseClick(behind.windowHandle(), Qt::LeftButton, Qt::NoModifier, button.geometry().center());
        QApplication::processEvents();
        clicksWhileUp = clicks;
        ClickButton(*box, QMessageBox::Ok);
    });
    application.MessageBox(QStringLiteral("ﾌｧｲﾙが保存できません。"));

    EXPECT_EQ(shown.caption, QStringLiteral("エラー"));
    EXPECT_EQ(shown.text, QStringLiteral("ﾌｧｲﾙが保存できません。"));
    EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
    EXPECT_TRUE(shown.okOnly);
    EXPECT_TRUE(shown.appModal);
    EXPECT_EQ(clicksWhileUp, 0);
    QTRY_COMPARE(QApplication::activeWindow(), &active);
    // Once it is gone the same click goes through.
    QTest::mouseClick(behind.windowHandle(), Qt::LeftButton, Qt::NoModifier, button.geometry().center());
    EXPECT_EQ(clicks, 1);
}

namespace {

struct ThrowCase {
    const char* name;
    std::function<void()> raise;
    bool shown;
    QString text;
};

}  // namespace

TEST(Shell, ExceptionEscapingAHandlerIsShownAndTheProgramGoesOn)
{
    const ThrowCase cases[] = {
        {"Exception", [] { throw Exception(QStringLiteral("ファイルが壊れています")); }, true,
         QStringLiteral("ファイルが壊れています")},
        {"StandardException", [] { throw std::runtime_error("vector too long"); }, true,
         QStringLiteral("vector too long")},
        {"NotAnExceptionClass", [] { throw 42; }, true, QStringLiteral("不明な例外が発生しました。")},
        {"SilentAbort", [] { throw EAbort(); }, false, QString()},
    };
    TApplication application;
    application.Initialize();
    application.SetTitle(QStringLiteral("Quarnel"));

    for (const ThrowCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        QPushButton button(QStringLiteral("実行"), &window);
        button.resize(100, 30);
        int reached = 0;
        QObject::connect(&button, &QPushButton::clicked, [&] {
            ++reached;
            if (reached == 1) c.raise();
        });
        Activate(&window);

        bool dialogShown = false;
        ShownBox shown;
        if (c.shown) {
            WhenModalShows([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                ASSERT_NE(box, nullptr);
                dialogShown = true;
                shown = Describe(*box);
                ClickButton(*box, QMessageBox::Ok);
            });
        }
        Click(&button);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(dialogShown, c.shown);
        if (c.shown) {
            EXPECT_EQ(shown.caption, QStringLiteral("Quarnel"));
            EXPECT_EQ(shown.text, c.text);
            EXPECT_EQ(shown.icon, QMessageBox::Critical);
            EXPECT_TRUE(shown.okOnly);
        }
        // The program goes on: the next click is handled as usual.
        Click(&button);
        EXPECT_EQ(reached, 2);
    }
}

TEST(Shell, ExceptionEscapingStartUpIsShownAndTheProgramEndsWithZero)
{
    g_seen.clear();
    ShownBox shown;
    bool wasShown = false;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        wasShown = true;
        shown = Describe(*box);
        ClickButton(*box, QMessageBox::Ok);
    });
    const int exitCode = RunApplication([] {
        Application->CreateForm(g_first);
        throw Exception(QStringLiteral("起動できません"));
    });

    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(wasShown);
    EXPECT_EQ(shown.text, QStringLiteral("起動できません"));
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
    EXPECT_TRUE(shown.okOnly);
    // The title was not set yet: the dialog is captioned with the default one.
    EXPECT_EQ(shown.caption, QStringLiteral("shell_test"));
    EXPECT_EQ(g_first, nullptr);
}

TEST(Shell, WindowWhoseConstructorThrowsLeavesItsVariableNull)
{
    struct Failing : QWidget {
        explicit Failing(QWidget* parent) : QWidget(parent) { throw Exception(QStringLiteral("作れません")); }
    };
    static Failing* failing = nullptr;
    TApplication application;
    EXPECT_THROW(application.CreateForm(failing), Exception);
    EXPECT_EQ(failing, nullptr);
    EXPECT_EQ(application.MainForm(), nullptr);
}

TEST(Shell, FileDialogsKeepNoSettingsBetweenRuns)
{
    const QString userConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QString settingsFile;
    {
        TApplication application;
        application.Initialize();
        {
            SaveDialog dialog;
            dialog.setDirectory(QDir::tempPath());
        }  // Qt's file dialog writes its history and layout as it goes
        settingsFile = QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
        EXPECT_TRUE(QFileInfo::exists(settingsFile)) << settingsFile.toStdString();
    }
    EXPECT_FALSE(settingsFile.startsWith(userConfig)) << settingsFile.toStdString();
    EXPECT_FALSE(QFileInfo::exists(settingsFile)) << settingsFile.toStdString();
}
