// The results window: caption, menu, hiding, and saving the report through the
// real save dialog, including saves that fail part-way.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "core/report.h"
#include "core/search.h"
#include "tests/support/test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app.h"
#include "ui/report_view.h"
#include "ui/res.h"
#include "ui/save_dialog.h"

using quarnel::testing::Activate;
using quarnel::testing::Click;
using quarnel::testing::ClickButton;
using quarnel::testing::Describe;
using quarnel::testing::ReadFile;
using quarnel::testing::ShownBox;
using quarnel::testing::TempDir;
using quarnel::testing::WhenModalShows;

namespace {

// The results window is built once, as the program builds it; each test
// starts with it hidden and the report empty.
class ResultsWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_application = new TApplication;
        s_application->Initialize();
        s_application->SetTitle(QStringLiteral("Quarnel"));
        // The first window is the main window, whose closing ends the program:
        // a stand-in takes its place so the results window is not it.
        s_application->CreateForm(s_mainWindow);
        s_application->CreateForm(Form3);
    }
    static void TearDownTestSuite()
    {
        delete s_application;
        s_application = nullptr;
    }
    void SetUp() override
    {
        Report().Clear();
        Form3->hide();
    }

    static quarnel::Report& Report() { return quarnel::SearchReport(); }

    static TApplication* s_application;
    static QWidget* s_mainWindow;
};

TApplication* ResultsWindow::s_application = nullptr;
QWidget* ResultsWindow::s_mainWindow = nullptr;

void Fill(std::initializer_list<std::string_view> lines)
{
    for (std::string_view line : lines) quarnel::SearchReport().AppendLine(line);
}

QString Q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

QLineEdit* FileNameEdit(QWidget* dialog)
{
    return dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QComboBox* FileTypeCombo(QWidget* dialog)
{
    return dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

// Types `name` into the dialog's file name field and clicks its accept button.
void Accept(QWidget* dialog, const QString& name)
{
    QLineEdit* edit = FileNameEdit(dialog);
    ASSERT_NE(edit, nullptr);
    // Typing goes to the focused field of the active dialog, as the user's would.
    dialog->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->insert(name);  // no keyClicks: the completer's popup would take the Return
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_NE(buttons, nullptr);
    QPushButton* save = buttons->button(QDialogButtonBox::Save);
    if (!save) save = buttons->button(QDialogButtonBox::Open);
    ASSERT_NE(save, nullptr);
    Click(save);
}

void Cancel(QWidget* dialog)
{
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_NE(buttons, nullptr);
    Click(buttons->button(QDialogButtonBox::Cancel));
}

// Keeps what a message box said and dismisses it with `answer`.
void AnswerBox(QWidget* modal, ShownBox& shown, int answer)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "expected a message box, got " << modal->metaObject()->className();
    shown = Describe(*box);
    ClickButton(*box, answer);
}

// Writes of more than `bytes` bytes fail with EFBIG while it lives, instead of
// killing the process with SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace

TEST_F(ResultsWindow, ShowResultsWindowCaptionsShowsAndKeepsTheReport)
{
    Fill({"line"});
    ShowResultsWindow();
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Form3->windowTitle(), QStringLiteral("Quarnel -結果-"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(Form3));
    EXPECT_EQ(Report().LineCount(), 1u);

    // The caption follows the application title at every call.
    s_application->SetTitle(QStringLiteral("Other"));
    ShowResultsWindow();
    EXPECT_EQ(Form3->windowTitle(), QStringLiteral("Other -結果-"));
    s_application->SetTitle(QStringLiteral("Quarnel"));
}

TEST_F(ResultsWindow, FormHasItsDesignedSizeFontsAndMemo)
{
    ShowResultsWindow();
    EXPECT_EQ(Form3->Memo1->size(), QSize(377, 190));
    EXPECT_EQ(Form3->centralWidget(), Form3->Memo1);
    EXPECT_EQ(QFontInfo(Form3->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(Form3->Memo1->font()).family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(QFontInfo(Form3->Memo1->font()).pixelSize(), 12);
    EXPECT_EQ(Form3->Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Form3->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(ResultsWindow, MenuHoldsItsItemsInOrder)
{
    struct Item {
        const char* name;
        QString caption;
        QKeySequence shortcut;
    };
    const Item items[] = {
        {"K1", QStringLiteral("結果を保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"K2", QStringLiteral("結果を破棄(&C)"), QKeySequence()},
        {"N1", QString(), QKeySequence()},
        {"KC1", QStringLiteral("閉じる(&Q)"), QKeySequence()},
        {"KD1", QStringLiteral("破棄して閉じる(&D)"), QKeySequence()},
    };
    const QList<QAction*> menus = Form3->MainMenu1->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    const QList<QAction*> actions = Form3->F1->actions();
    ASSERT_EQ(static_cast<std::size_t>(actions.size()), std::size(items));
    for (std::size_t i = 0; i < std::size(items); ++i) {
        SCOPED_TRACE(items[i].name);
        EXPECT_EQ(actions[i]->objectName(), QString::fromLatin1(items[i].name));
        EXPECT_EQ(actions[i]->isSeparator(), items[i].caption.isEmpty());
        if (!actions[i]->isSeparator()) {
            EXPECT_EQ(actions[i]->text(), items[i].caption);
        }
        EXPECT_EQ(actions[i]->shortcut(), items[i].shortcut);
    }
}

TEST_F(ResultsWindow, MenuItemsDiscardAndHideByTheirAccessKeys)
{
    struct Case {
        const char* name;
        Qt::Key key;
        bool emptied;
        bool hidden;
    };
    const Case cases[] = {
        {"DiscardKeepsTheWindowOpen", Qt::Key_C, true, false},
        {"CloseKeepsTheReport", Qt::Key_Q, false, true},
        {"DiscardAndClose", Qt::Key_D, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Report().Clear();
        Fill({"first", "second"});
        ShowResultsWindow();
        Activate(Form3);
        // Alt+F opens the file menu; the item's access key picks it.
        QTest::keyClick(Form3, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(Form3->F1->isVisible());
        QTest::keyClick(Form3->F1, c.key);
        QTRY_VERIFY(!Form3->F1->isVisible());
        EXPECT_EQ(Report().LineCount(), c.emptied ? 0u : 2u);
        EXPECT_EQ(Form3->isVisible(), !c.hidden);
    }
    // Shown again, the window holds the report as it was left.
    ShowResultsWindow();
    EXPECT_EQ(Report().LineCount(), 0u);
}

TEST_F(ResultsWindow, ClosingFromTheFrameHidesAndKeepsTheReport)
{
    Fill({"kept"});
    ShowResultsWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Form3));
    Form3->windowHandle()->close();
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(Report().LineCount(), 1u);
}

TEST_F(ResultsWindow, SavesEachLineAsItsBytesWithCrLf)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::string bytes;
    };
    const Case cases[] = {
        {"Lines", {"abc", "100% \x8d\xcf\x82\xdd", "%s%n", ""}, "abc\r\n100% \x8d\xcf\x82\xdd\r\n%s%n\r\n\r\n"},
        {"EmptyReport", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        // An older, longer file is replaced entirely.
        dir.Write("out.txt", std::string(500, 'x'));
        Report().Clear();
        for (const std::string& line : c.lines) Report().AppendLine(line);
        ShowResultsWindow();

        ShownBox question;
        WhenModalShows([&](QWidget* dialog) {
            ASSERT_NE(qobject_cast<SaveDialog*>(dialog), nullptr);
            WhenModalShows([&](QWidget* box) { AnswerBox(box, question, QMessageBox::Yes); });
            Accept(dialog, Q(dir.Path() / "out"));  // ".txt" is added
        });
        EXPECT_EQ(SaveResults(), 0);
        EXPECT_TRUE(question.text.contains(QStringLiteral("out.txt"))) << question.text.toStdString();
        EXPECT_EQ(ReadFile(dir.File("out.txt")), c.bytes);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(ResultsWindow, CtrlSOpensTheDialogAndCancellingWritesNothing)
{
    TempDir dir;
    Fill({"line"});
    ShowResultsWindow();
    Activate(Form3);
    bool dialogShown = false;
    WhenModalShows([&](QWidget* dialog) {
        dialogShown = qobject_cast<SaveDialog*>(dialog) != nullptr;
        FileNameEdit(dialog)->setText(Q(dir.Path() / "never.txt"));
        Cancel(dialog);
    });
    QTest::keyClick(Form3, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogShown);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "never.txt"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // no message either
    EXPECT_EQ(Report().LineCount(), 1u);
}

TEST_F(ResultsWindow, DeclinedOverwriteLeavesTheFile)
{
    TempDir dir;
    const std::string target = dir.Write("keep.txt", "old\r\n");
    Fill({"new"});
    ShownBox question;
    WhenModalShows([&](QWidget* dialog) {
        WhenModalShows([&, dialog](QWidget* box) {
            AnswerBox(box, question, QMessageBox::No);
            // Back in the dialog, which is still up.
            Cancel(dialog);
        });
        Accept(dialog, QString::fromStdString(target));
    });
    EXPECT_EQ(SaveResults(), 1);
    EXPECT_TRUE(question.text.contains(QStringLiteral("keep.txt")));
    EXPECT_EQ(ReadFile(target), "old\r\n");
}

TEST_F(ResultsWindow, DialogStartsOnTheFirstFilterWithTheLastNameEveryTime)
{
    TempDir dir;
    Fill({"line"});
    QStringList filters;
    QString firstStart;
    WhenModalShows([&](QWidget* dialog) {
        QComboBox* types = FileTypeCombo(dialog);
        ASSERT_NE(types, nullptr);
        for (int i = 0; i < types->count(); ++i) filters << types->itemText(i);
        firstStart = types->currentText();
        // Choose the second filter with the keyboard, then save.
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        EXPECT_EQ(types->currentIndex(), 1);
        Accept(dialog, Q(dir.Path() / "all.dat"));
    });
    ASSERT_EQ(SaveResults(), 0);
    EXPECT_EQ(Form3->SaveDialog1->FilterIndex(), 1);
    EXPECT_EQ(ReadFile(dir.File("all.dat")), "line\r\n");

    QString secondStart;
    QString offeredName;
    QString offeredFolder;
    WhenModalShows([&](QWidget* dialog) {
        secondStart = FileTypeCombo(dialog)->currentText();
        offeredName = FileNameEdit(dialog)->text();
        offeredFolder = static_cast<QFileDialog*>(dialog)->directory().absolutePath();
        Cancel(dialog);
    });
    EXPECT_EQ(SaveResults(), 1);

    EXPECT_EQ(filters, (QStringList{QStringLiteral("RESﾌｧｲﾙ(*.TXT)"), QStringLiteral("全ﾌｧｲﾙ(*.*)")}));
    EXPECT_EQ(firstStart, QStringLiteral("RESﾌｧｲﾙ(*.TXT)"));
    EXPECT_EQ(secondStart, QStringLiteral("RESﾌｧｲﾙ(*.TXT)"));
    EXPECT_EQ(offeredName, QStringLiteral("all.dat"));
    EXPECT_EQ(offeredFolder, QFileInfo(Q(dir.Path())).canonicalFilePath());
}

TEST_F(ResultsWindow, TxtFilterListsTxtFilesOfAnyCase)
{
    TempDir dir;
    dir.Write("report.txt", "");
    dir.Write("OLD.TXT", "");
    dir.Write("data.bin", "");
    QStringList listed;
    WhenModalShows([&](QWidget* dialog) {
        auto* files = dialog->findChild<QListView*>(QStringLiteral("listView"));
        ASSERT_NE(files, nullptr);
        static_cast<QFileDialog*>(dialog)->setDirectory(Q(dir.Path()));
        // The folder is read in the background.
        QTRY_COMPARE(files->model()->rowCount(files->rootIndex()), 2);
        for (int row = 0; row < 2; ++row) listed << files->model()->index(row, 0, files->rootIndex()).data().toString();
        Cancel(dialog);
    });
    EXPECT_EQ(SaveResults(), 1);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("OLD.TXT"), QStringLiteral("report.txt")}));
}

TEST_F(ResultsWindow, DialogRefusesNamesThatCannotBeWritten)
{
    namespace fs = std::filesystem;
    constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    struct Case {
        const char* name;
        std::function<std::string(const TempDir&)> target;  // prepares the folder
        QString said;
    };
    const Case cases[] = {
        {"ReadOnlyFile",
         [](const TempDir& dir) {
             const std::string file = dir.Write("locked.txt", "old\r\n");
             fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return file;
         },
         QStringLiteral("読み取り専用")},
        {"ReadOnlyFolder",
         [](const TempDir& dir) {
             fs::create_directory(dir.Path() / "locked");
             fs::permissions(dir.Path() / "locked", kReadOnly);
             return (dir.Path() / "locked" / "new.txt").string();
         },
         QStringLiteral("読み取り専用")},
        {"MissingFolder", [](const TempDir& dir) { return (dir.Path() / "nowhere" / "new.txt").string(); },
         QStringLiteral("パスが存在しません")},
    };
    Fill({"new"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string target = c.target(dir);
        const std::string before = fs::exists(target) ? ReadFile(target) : std::string();
        ShownBox refusal;
        bool dialogStayed = false;
        WhenModalShows([&](QWidget* dialog) {
            WhenModalShows([&, dialog](QWidget* box) {
                AnswerBox(box, refusal, QMessageBox::Ok);
                QApplication::processEvents();
                dialogStayed = dialog->isVisible();
                Cancel(dialog);
            });
            Accept(dialog, QString::fromStdString(target));
        });
        EXPECT_EQ(SaveResults(), 1);
        EXPECT_TRUE(refusal.text.contains(c.said)) << refusal.text.toStdString();
        EXPECT_TRUE(dialogStayed);
        EXPECT_EQ(fs::exists(target) ? ReadFile(target) : std::string(), before);
        if (fs::exists(dir.Path() / "locked")) fs::permissions(dir.Path() / "locked", fs::perms::owner_all);
    }
}

TEST_F(ResultsWindow, SaveThatFailsPartWayIsToldAndLeavesTheOldFile)
{
    struct Case {
        const char* name;
        bool fileSizeLimit;  // else the target is a link to the full device
    };
    const Case cases[] = {{"WriteFailsWithEfbig", true}, {"DeviceIsFull", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string target;
        if (c.fileSizeLimit) {
            target = dir.Write("old.txt", "old contents\r\n");
        } else {
            target = dir.File("full.txt");
            std::filesystem::create_symlink("/dev/full", target);
        }
        Report().Clear();
        for (int i = 0; i < 2000; ++i) Report().AppendLine("a line long enough to pass the limit");

        ShownBox message;
        int result = -1;
        WhenModalShows([&](QWidget* dialog) {
            WhenModalShows([&](QWidget* question) {
                ShownBox ignored;
                // The message about the failed save comes after the question.
                WhenModalShows([&](QWidget* box) { AnswerBox(box, message, QMessageBox::Ok); });
                AnswerBox(question, ignored, QMessageBox::Yes);
            });
            Accept(dialog, QString::fromStdString(target));
        });
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (c.fileSizeLimit) limit = std::make_unique<FileSizeLimit>(4096);
            result = SaveResults();
        }
        EXPECT_EQ(result, 1);
        EXPECT_EQ(message.caption, QStringLiteral("エラー"));
        EXPECT_EQ(message.text, QStringLiteral("ﾌｧｲﾙが保存できません。"));
        EXPECT_TRUE(message.okOnly);
        if (c.fileSizeLimit) {
            EXPECT_EQ(ReadFile(target), "old contents\r\n");
            // Nothing half-written is left beside it.
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
        } else {
            EXPECT_TRUE(std::filesystem::is_symlink(target));
        }
    }
}

TEST_F(ResultsWindow, SelectionTooLargeToCopyIsToldInTheMessageBox)
{
    // One line more than the copy limit allows, even at one byte a line.
    Report().AppendLine("heading");
    Report().BeginMatchRun(quarnel::MatchLayout::OneColumn, 0x41, -1, -1);
    for (std::uint64_t offset = 0; offset < ReportView::kCopyLimitBytes; ++offset) Report().AppendMatch(offset, 0x41, 0);
    ShowResultsWindow();
    Activate(Form3);
    Form3->Memo1->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("before"));

    ShownBox message;
    WhenModalShows([&](QWidget* box) { AnswerBox(box, message, QMessageBox::Ok); });
    QTest::keyClick(Form3->Memo1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Form3->Memo1, Qt::Key_C, Qt::ControlModifier);

    EXPECT_EQ(message.caption, QStringLiteral("エラー"));
    EXPECT_EQ(message.text, QStringLiteral("選択範囲が大きすぎるため、コピーできません。"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
}
