// The main window with the program's other windows around it: its form and
// start state, the tabs, the value fields, browsing for the files, and the
// search command from the click on 検索 to the saved results file.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/ui/program_windows.h"
#include "ui/report_view.h"
#include "ui/startup.h"

using quarnel::testing::Activate;
using quarnel::testing::Click;
using quarnel::testing::ClickMenuItem;
using quarnel::testing::MessageBoxCatcher;
using quarnel::testing::ClickTab;
using quarnel::testing::ProgramWindows;
using quarnel::testing::ReadFile;
using quarnel::testing::ReplaceText;
using quarnel::testing::Sjis;
using quarnel::testing::TempDir;
using quarnel::testing::WhenModalShows;

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// The designer name of the control that has the focus (an editable combo
// box's own line edit counts as the combo box).
QString FocusedControl()
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
    }
    return {};
}

// What Memo1 shows: all its lines, each followed by "\n" but the last.
QString Memo1Text()
{
    Form3->Memo1->SelectAll();
    return Form3->Memo1->SelectedText().value_or(QStringLiteral("<too large>"));
}

QString JoinLines(const std::vector<std::string>& lines)
{
    QStringList joined;
    for (const std::string& line : lines) joined << Q(line);
    return joined.join(QLatin1Char('\n'));
}

// The names a file dialog lists in the folder it shows.
QStringList ListedNames(QFileDialog* dialog)
{
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    return names;
}

// Waits until the dialog has listed its folder (which it reads in the
// background), as a user waits to see it: once the listing arrives, the
// dialog selects the file it was offered again, over anything typed before.
void WaitForListing(QFileDialog* dialog)
{
    EXPECT_TRUE(QTest::qWaitFor([dialog] { return !ListedNames(dialog).isEmpty(); }, 5000))
        << "the dialog listed nothing";
    QTest::qWait(20);
}

// Runs the file-open dialog's part of a test once it is up, then chooses
// `path` in it, or cancels it when `path` is empty.
void ChooseInOpenDialog(const QString& path, std::function<void(QFileDialog*)> check = {})
{
    WhenModalShows([path, check](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr) << "not a file dialog";
        if (check) check(dialog);
        WaitForListing(dialog);
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        if (path.isEmpty()) {
            Click(buttons->button(QDialogButtonBox::Cancel));
            return;
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        Click(buttons->button(QDialogButtonBox::Open));
    });
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_windows = std::make_unique<ProgramWindows>();
        Activate(Form1);
    }
    void TearDown() override { m_windows.reset(); }

    std::unique_ptr<ProgramWindows> m_windows;
    TempDir m_dir;
};

TEST_F(MainWindowTest, StartsInTheFormsStartState)
{
    EXPECT_EQ(Form1->TabControl1->TabIndex(), 0);
    EXPECT_TRUE(Form1->GroupBox2->isEnabled());
    EXPECT_TRUE(Form1->GroupBox3->isEnabled());
    EXPECT_FALSE(Form1->GroupBox4->isEnabled());
    EXPECT_FALSE(Form1->Button4->isVisible());
    EXPECT_FALSE(Form1->Button5->isVisible());
    EXPECT_EQ(Form1->Button4->text(), QStringLiteral("+"));
    EXPECT_EQ(Form1->Button5->text(), QStringLiteral("+"));
    EXPECT_EQ(Form1->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(Form1->ComboBox1->currentText(), QStringLiteral("ﾌｧｲﾙＡ"));
    for (QLineEdit* field : {Form1->Edit3, Form1->Edit4, Form1->Edit5, Form1->Edit6})
        EXPECT_EQ(field->text(), QStringLiteral("0")) << field->objectName().toStdString();
    EXPECT_EQ(Form1->Edit1->text(), QString());
    EXPECT_EQ(Form1->Edit2->text(), QString());
    EXPECT_EQ(quarnel::SignFlag, 0);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form3->isVisible());

    // The client area lies below the menu bar, 264 × 259, and the user cannot
    // resize the window nor maximise it.
    EXPECT_EQ(Form1->centralWidget()->geometry(),
              QRect(0, Form1->MainMenu1->geometry().bottom() + 1, 264, 259));
    EXPECT_EQ(Form1->size(), QSize(264, 259 + Form1->MainMenu1->height()));
    EXPECT_EQ(Form1->minimumSize(), Form1->maximumSize());
    const Qt::WindowFlags flags = Form1->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Form1->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(Form1->font().pixelSize(), 12);
    EXPECT_EQ(Form1->Edit3->font().pixelSize(), 12) << "controls take the window's font";
}

TEST_F(MainWindowTest, ControlsStandWhereTheFormPutsThemWithTheirCaptions)
{
    struct Control {
        const char* name;
        QRect geometry;   // labels: only the top left corner counts
        const char* text; // caption, title or text; null for none
    };
    const Control controls[] = {
        {"GroupBox1", {4, 0, 257, 93}, "解析ﾌｧｲﾙ"},
        {"Label1", {8, 16, 0, 0}, "ﾌｧｲﾙＡ"},
        {"Edit1", {16, 28, 197, 20}, ""},
        {"Button1", {216, 28, 33, 17}, "参照"},
        {"Label2", {8, 52, 0, 0}, "ﾌｧｲﾙＢ"},
        {"Edit2", {16, 64, 197, 20}, ""},
        {"Button2", {216, 64, 33, 17}, "参照"},
        {"TabControl1", {4, 96, 257, 137}, nullptr},
        {"GroupBox2", {12, 136, 89, 89}, "検索対象"},
        {"ComboBox1", {8, 40, 73, 20}, nullptr},
        {"GroupBox3", {104, 136, 73, 89}, "数値Ａ"},
        {"Label3", {8, 16, 0, 0}, "10進数"},
        {"Edit3", {20, 28, 45, 20}, "0"},
        {"Button4", {4, 32, 13, 13}, "+"},
        {"Label4", {8, 52, 0, 0}, "16進数"},
        {"Edit4", {20, 64, 45, 20}, "0"},
        {"Button5", {4, 68, 13, 13}, "+"},
        {"GroupBox4", {180, 136, 73, 89}, "数値Ｂ"},
        {"Label5", {8, 16, 0, 0}, "10進数"},
        {"Edit5", {20, 28, 45, 20}, "0"},
        {"Label6", {8, 52, 0, 0}, "16進数"},
        {"Edit6", {20, 64, 45, 20}, "0"},
        {"Button3", {208, 236, 53, 21}, "検索"},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.name);
        auto* widget = Form1->findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(widget, nullptr);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->pos(), c.geometry.topLeft());
            EXPECT_GE(label->width(), label->sizeHint().width()) << "label cuts its text";
        } else {
            EXPECT_EQ(widget->geometry(), c.geometry);
        }
        if (!c.text) continue;
        QString shown;
        if (auto* group = qobject_cast<QGroupBox*>(widget)) shown = group->title();
        else if (auto* label = qobject_cast<QLabel*>(widget)) shown = label->text();
        else if (auto* button = qobject_cast<QPushButton*>(widget)) shown = button->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget)) shown = edit->text();
        EXPECT_EQ(shown, QString::fromUtf8(c.text));
    }
    // The groups lie on the tab strip's panel, above it in the stacking order.
    EXPECT_TRUE(Form1->TabControl1->geometry().contains(Form1->GroupBox2->geometry()));
    EXPECT_GE(Form1->GroupBox2->y() - Form1->TabControl1->y(), Form1->TabControl1->DisplayRect().top());
    const QObjectList children = Form1->centralWidget()->children();
    EXPECT_GT(children.indexOf(Form1->GroupBox4), children.indexOf(Form1->TabControl1));
    EXPECT_EQ(Form1->TabControl1->Tabs(),
              QStringList({QStringLiteral("数値検索１"), QStringLiteral("数値検索２"), QStringLiteral("一致検索"),
                           QStringLiteral("変化検索"), QStringLiteral("全変化検索")}));

    // The combo box: an editable drop-down list whose typing never adds items.
    EXPECT_TRUE(Form1->ComboBox1->isEditable());
    EXPECT_EQ(Form1->ComboBox1->insertPolicy(), QComboBox::NoInsert);
    ASSERT_EQ(Form1->ComboBox1->count(), 2);
    EXPECT_EQ(Form1->ComboBox1->itemText(0), QStringLiteral("ﾌｧｲﾙＡ"));
    EXPECT_EQ(Form1->ComboBox1->itemText(1), QStringLiteral("ﾌｧｲﾙＢ"));

    // The menus, with their access keys and no shortcuts.
    const QList<QAction*> bar = Form1->MainMenu1->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0], Form1->F1->menuAction());
    EXPECT_EQ(bar[1], Form1->N2->menuAction());
    EXPECT_EQ(bar[2], Form1->H1->menuAction());
    EXPECT_EQ(Form1->F1->title(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(Form1->N2->title(), QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"));
    EXPECT_EQ(Form1->H1->title(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    EXPECT_EQ(Form1->F1->actions(), QList<QAction*>({Form1->K1, Form1->K2, Form1->N1, Form1->KQ1}));
    EXPECT_EQ(Form1->N2->actions(), QList<QAction*>({Form1->K3}));
    EXPECT_EQ(Form1->H1->actions(), QList<QAction*>({Form1->KA1}));
    EXPECT_EQ(Form1->K1->text(), QStringLiteral("ﾌｧｲﾙＡを開く"));
    EXPECT_EQ(Form1->K2->text(), QStringLiteral("ﾌｧｲﾙＢを開く"));
    EXPECT_TRUE(Form1->N1->isSeparator());
    EXPECT_EQ(Form1->KQ1->text(), QStringLiteral("終了(&Q)"));
    EXPECT_EQ(Form1->K3->text(), QStringLiteral("結果表示ｳｨﾝﾄﾞｳを表示(&R)"));
    EXPECT_EQ(Form1->KA1->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
    for (QAction* item : {Form1->K1, Form1->K2, Form1->KQ1, Form1->K3, Form1->KA1})
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->objectName().toStdString();
}

TEST_F(MainWindowTest, EachTabSetsItsGroupsAndDirectionButtonsAndNothingElse)
{
    struct TabState {
        int tab;
        bool target, valueA, valueB, buttons;
    };
    const TabState states[] = {
        {3, false, true, false, true},   // 変化検索
        {1, false, true, true, false},   // 数値検索２
        {2, false, false, false, false}, // 一致検索
        {4, false, false, false, false}, // 全変化検索
        {0, true, true, false, false},   // 数値検索１
    };
    ReplaceText(Form1->Edit1, QStringLiteral("/a"));
    ReplaceText(Form1->Edit3, QStringLiteral("12"));
    Form1->ComboBox1->setCurrentIndex(1);
    for (const TabState& s : states) {
        SCOPED_TRACE(s.tab);
        ClickTab(Form1->TabControl1, s.tab);
        EXPECT_EQ(Form1->TabControl1->TabIndex(), s.tab);
        EXPECT_EQ(Form1->GroupBox2->isEnabled(), s.target);
        EXPECT_EQ(Form1->GroupBox3->isEnabled(), s.valueA);
        EXPECT_EQ(Form1->GroupBox4->isEnabled(), s.valueB);
        // A disabled group takes no input, nor does anything inside it.
        EXPECT_EQ(Form1->Edit3->isEnabled(), s.valueA);
        EXPECT_EQ(Form1->ComboBox1->isEnabled(), s.target);
        EXPECT_EQ(Form1->Button4->isVisible(), s.buttons);
        EXPECT_EQ(Form1->Button5->isVisible(), s.buttons);
        // What the controls hold stays.
        EXPECT_EQ(Form1->Edit1->text(), QStringLiteral("/a"));
        EXPECT_EQ(Form1->Edit3->text(), QStringLiteral("12"));
        EXPECT_EQ(Form1->Edit4->text(), QStringLiteral("c"));
        EXPECT_EQ(Form1->ComboBox1->currentIndex(), 1);
    }
}

TEST_F(MainWindowTest, DirectionButtonsToggleTogetherAndKeepTheirSignAcrossTabs)
{
    ClickTab(Form1->TabControl1, 3);
    Click(Form1->Button4);
    EXPECT_EQ(quarnel::SignFlag, 1);
    EXPECT_EQ(Form1->Button4->text(), QStringLiteral("-"));
    EXPECT_EQ(Form1->Button5->text(), QStringLiteral("-"));

    ClickTab(Form1->TabControl1, 0);
    ClickTab(Form1->TabControl1, 3);
    EXPECT_EQ(quarnel::SignFlag, 1);
    EXPECT_EQ(Form1->Button4->text(), QStringLiteral("-"));
    EXPECT_EQ(Form1->Button5->text(), QStringLiteral("-"));

    Click(Form1->Button5);
    EXPECT_EQ(quarnel::SignFlag, 0);
    EXPECT_EQ(Form1->Button4->text(), QStringLiteral("+"));
    EXPECT_EQ(Form1->Button5->text(), QStringLiteral("+"));
}

TEST_F(MainWindowTest, TabKeyVisitsTheEnabledVisibleControlsInTheFormsOrder)
{
    const QStringList paths = {QStringLiteral("Edit1"), QStringLiteral("Button1"), QStringLiteral("Edit2"),
                               QStringLiteral("Button2"), QStringLiteral("TabControl1")};
    struct Case {
        int tab;
        QStringList then;
    };
    const Case cases[] = {
        {0, {"ComboBox1", "Edit3", "Edit4", "Button3"}},
        {1, {"Edit3", "Edit4", "Edit5", "Edit6", "Button3"}},
        {2, {"Button3"}},
        {3, {"Edit3", "Edit4", "Button4", "Button5", "Button3"}},
        {4, {"Button3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        ClickTab(Form1->TabControl1, c.tab);
        Form1->Edit1->setFocus();
        QStringList visited = {FocusedControl()};
        const QStringList expected = paths + c.then + QStringList{QStringLiteral("Edit1")};
        while (visited.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << FocusedControl();
        }
        EXPECT_EQ(visited, expected);
    }
}

// What a pair shows once an edit has left a text in one of its fields.
struct FieldCase {
    const char* left;
    const char* shows;         // the edited field
    const char* partnerShows;  // the other field of the pair
};

constexpr FieldCase kDecimalCases[] = {
    {"", "0", "0"},           {"-", "0", "0"},          {"007", "7", "7"},
    {"300", "44", "2c"},      {"256", "0", "0"},        {"2555", "251", "fb"},
    {"1ff", "0", "0"},        {"$1F", "31", "1f"},      {"x1f", "31", "1f"},
    {"0X1F", "31", "1f"},     {"  12", "12", "c"},      {"12 ", "0", "0"},
    {"-1", "255", "ff"},      {"2147483648", "0", "0"}, {"\t12", "0", "0"},
    {"１２", "0", "0"},
};

constexpr FieldCase kHexCases[] = {
    {"", "0", "0"},          {"FF", "ff", "255"},    {"1ff", "ff", "255"},
    {"100", "0", "0"},       {"0x1F", "1f", "31"},   {"$1f", "0", "0"},
    {"x1f", "0", "0"},       {"g", "0", "0"},        {" 1f", "1f", "31"},
    {"1fz", "1f", "31"},     {"-1", "ff", "255"},    {"-ff", "1", "1"},
    {"-", "0", "0"},         {" ", "0", "0"},        {"ffffffffffffffffff", "ff", "255"},
    {"\t1f", "1f", "31"},
};

// Every case through a real field of each pair: the pair first shows 30 (1e),
// which no case leaves, so a case that changed nothing cannot pass.
void CheckPairs(const FieldCase* begin, const FieldCase* end, bool editHex)
{
    struct Pair {
        int tab;
        QLineEdit* decimal;
        QLineEdit* hex;
    };
    const Pair pairs[] = {{0, Form1->Edit3, Form1->Edit4}, {1, Form1->Edit5, Form1->Edit6}};
    for (const Pair& pair : pairs) {
        ClickTab(Form1->TabControl1, pair.tab);
        QLineEdit* edited = editHex ? pair.hex : pair.decimal;
        QLineEdit* partner = editHex ? pair.decimal : pair.hex;
        for (const FieldCase* c = begin; c != end; ++c) {
            SCOPED_TRACE(edited->objectName().toStdString() + " <- \"" + c->left + "\"");
            ReplaceText(pair.decimal, QStringLiteral("30"));
            ASSERT_EQ(pair.hex->text(), QStringLiteral("1e"));
            ReplaceText(edited, QString::fromUtf8(c->left));
            EXPECT_EQ(edited->text(), QString::fromUtf8(c->shows));
            EXPECT_EQ(partner->text(), QString::fromUtf8(c->partnerShows));
        }
    }
}

TEST_F(MainWindowTest, DecimalFieldsNormaliseWhatTheUserLeavesInThem)
{
    CheckPairs(std::begin(kDecimalCases), std::end(kDecimalCases), false);
}

TEST_F(MainWindowTest, HexadecimalFieldsNormaliseWhatTheUserLeavesInThem)
{
    CheckPairs(std::begin(kHexCases), std::end(kHexCases), true);
}

TEST_F(MainWindowTest, TypingKeyByKeyNormalisesAfterEveryKey)
{
    ReplaceText(Form1->Edit3, QString());
    QTest::keyClicks(Form1->Edit3, QStringLiteral("2555"));  // 2, 25, 255, then 2555 -> 251
    EXPECT_EQ(Form1->Edit3->text(), QStringLiteral("251"));
    EXPECT_EQ(Form1->Edit4->text(), QStringLiteral("fb"));

    Form1->Edit4->setFocus();
    QTest::keyClick(Form1->Edit4, Qt::Key_End);
    QTest::keyClick(Form1->Edit4, Qt::Key_Backspace);  // f
    EXPECT_EQ(Form1->Edit4->text(), QStringLiteral("f"));
    EXPECT_EQ(Form1->Edit3->text(), QStringLiteral("15"));
    QTest::keyClick(Form1->Edit4, Qt::Key_Backspace);  // nothing left: 0
    EXPECT_EQ(Form1->Edit4->text(), QStringLiteral("0"));
    EXPECT_EQ(Form1->Edit3->text(), QStringLiteral("0"));

    QTest::keyClick(Form1->Edit3, Qt::Key_Minus);  // "0-" is no number
    EXPECT_EQ(Form1->Edit3->text(), QStringLiteral("0"));
}

TEST_F(MainWindowTest, BrowsingFillsThePathFieldAndOffersTheFileChosenLast)
{
    const QString fileA = Q(m_dir.Write("a.bin", "A"));
    const QString fileB = Q(m_dir.Write("b.bin", "B"));

    ChooseInOpenDialog(fileA, [](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("全ﾌｧｲﾙ(*.*)")});
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    });
    Click(Form1->Button1);
    EXPECT_EQ(Form1->Edit1->text(), fileA);
    EXPECT_EQ(Form1->Edit2->text(), QString());

    // The next run, for the other field, starts on the file chosen for A.
    QStringList offered;
    ChooseInOpenDialog(fileB, [&offered](QFileDialog* dialog) { offered = dialog->selectedFiles(); });
    Click(Form1->Button2);
    EXPECT_EQ(offered, QStringList{fileA});
    EXPECT_EQ(Form1->Edit2->text(), fileB);
    EXPECT_EQ(Form1->Edit1->text(), fileA);

    // Cancelling changes neither the field nor the name offered next.
    ChooseInOpenDialog(QString());
    Click(Form1->Button1);
    EXPECT_EQ(Form1->Edit1->text(), fileA);
    ChooseInOpenDialog(QString(), [&offered](QFileDialog* dialog) { offered = dialog->selectedFiles(); });
    Click(Form1->Button1);
    EXPECT_EQ(offered, QStringList{fileB});
}

TEST_F(MainWindowTest, MenuItemsOpenFilesAsTheBrowseButtonsDo)
{
    const QString fileA = Q(m_dir.Write("a.bin", "A"));
    const QString fileB = Q(m_dir.Write("b.bin", "B"));

    ChooseInOpenDialog(fileA);
    ClickMenuItem(Form1->F1, Form1->K1);
    EXPECT_EQ(Form1->Edit1->text(), fileA);

    QStringList offered;
    ChooseInOpenDialog(fileB, [&offered](QFileDialog* dialog) { offered = dialog->selectedFiles(); });
    ClickMenuItem(Form1->F1, Form1->K2);
    EXPECT_EQ(offered, QStringList{fileA}) << "one dialog serves both fields";
    EXPECT_EQ(Form1->Edit2->text(), fileB);
    EXPECT_EQ(Form1->Edit1->text(), fileA);
}

// The filter reads *.*, which on the form's home platform means every file:
// a file without a dot in its name must be listed too. A name that does not
// exist cannot be chosen.
TEST_F(MainWindowTest, OpenDialogListsEveryFileAndRefusesAMissingOne)
{
    m_dir.Write("snapshot", "x");
    const QString dotted = Q(m_dir.Write("dotted.bin", "y"));

    // Bring the dialog to the test's folder through the name it offers next
    // (not the dotless one: Qt always lists a file it was told to select).
    ChooseInOpenDialog(dotted);
    Click(Form1->Button1);
    ASSERT_EQ(Form1->Edit1->text(), dotted);
    Form1->Edit1->setText(QStringLiteral("kept"));

    QStringList listed;
    bool openEnabled = true;
    bool stayedOpen = false;
    bool told = false;
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        WaitForListing(dialog);
        // Checked below, by name.
        std::ignore = QTest::qWaitFor([&] { return ListedNames(dialog).size() >= 2; }, 2000);
        listed = ListedNames(dialog);

        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        name->setText(QStringLiteral("missing"));
        openEnabled = buttons->button(QDialogButtonBox::Open)->isEnabled();
        // Enter tries anyway: the dialog says the file is not there.
        WhenModalShows([&told](QWidget* message) {
            auto* box = qobject_cast<QMessageBox*>(message);
            told = box != nullptr && box->text().contains(QStringLiteral("missing"));
            message->close();
        });
        QTest::keyClick(name, Qt::Key_Return);
        std::ignore = QTest::qWaitFor([&told] { return told; }, 5000);  // checked below
        QApplication::processEvents();
        stayedOpen = dialog->isVisible() && QApplication::activeModalWidget() == dialog;
        Click(buttons->button(QDialogButtonBox::Cancel));
    });
    Click(Form1->Button1);
    EXPECT_TRUE(listed.contains(QStringLiteral("snapshot"))) << listed.join(' ').toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("dotted.bin"))) << listed.join(' ').toStdString();
    EXPECT_FALSE(openEnabled) << "a missing file can be confirmed";
    EXPECT_TRUE(told);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Form1->Edit1->text(), QStringLiteral("kept"));
}

// The files of the searches below. A is 7 bytes, B 8: nothing at offset 7 is
// ever compared.
constexpr char kBytesA[] = "\x10\x41\x05\xfe\x41\x00\x20";
constexpr char kBytesB[] = "\x15\x42\x05\x03\x41\x00\x1b\x77";

struct SearchCase {
    const char* name;
    int tab;
    const char* valueA;
    const char* valueB;
    bool minus;    // direction "-" chosen on 変化検索
    bool targetB;  // ﾌｧｲﾙＢ chosen in the search target
    std::vector<std::string> lines;  // "{A}" and "{B}" stand for the paths
};

const std::string kTime = "Sun Mar 07 09:05:03 1999";
const std::string kStart = "---------------開始---------------";
const std::string kEnd = "---------------終了---------------";
const std::string kHeader1 = "   オフセット|   ファイルＡ  ";
const std::string kHeader2 = "   オフセット|   ファイルＡ    ファイルＢ";

const SearchCase kSearchCases[] = {
    {"SingleValueInA", 0, "65", "66", false, false,
     {"{A}", "から   65(0x0041)のオフセットを検索します。", kTime, kStart, kHeader1,
      "    1(0x0001)|   65(0x0041)", "    4(0x0004)|   65(0x0041)", kEnd, ""}},
    {"SingleValueInB", 0, "65", "66", false, true,
     {"{B}", "から   65(0x0041)のオフセットを検索します。", kTime, kStart, kHeader1,
      "    4(0x0004)|   65(0x0041)", kEnd, ""}},
    {"ValuePair", 1, "65", "66", false, false,
     {"{A}", "が   65(0x0041)かつ、", "{B}", "が   66(0x0042)のオフセットを検索します。", kTime, kStart,
      kHeader2, "    1(0x0001)|   65(0x0041)    66(0x0042)", kEnd, ""}},
    {"Match", 2, "65", "66", false, false,
     {"{A}", "{B}", "が、一致するオフセットを検索します。", kTime, kStart, kHeader2,
      "    2(0x0002)|    5(0x0005)     5(0x0005)", "    4(0x0004)|   65(0x0041)    65(0x0041)",
      "    5(0x0005)|    0(0x0000)     0(0x0000)", kEnd, ""}},
    {"ChangeUp", 3, "5", "66", false, false,
     {"{A}", "から", "{B}", "に、   5(0x05増)変化しているオフセットを検索します。", kTime, kStart, kHeader2,
      "    0(0x0000)|   16(0x0010)    21(0x0015)", kEnd, ""}},
    {"ChangeDown", 3, "5", "66", true, false,
     {"{A}", "から", "{B}", "に、  -5(0x05減)変化しているオフセットを検索します。", kTime, kStart, kHeader2,
      "    6(0x0006)|   32(0x0020)    27(0x001b)", kEnd, ""}},
    {"Difference", 4, "65", "66", false, false,
     {"{A}", "{B}", "が、一致しないオフセットを検索します。", kTime, kStart, kHeader2,
      "    0(0x0000)|   16(0x0010)    21(0x0015)", "    1(0x0001)|   65(0x0041)    66(0x0042)",
      "    3(0x0003)|  254(0x00fe)     3(0x0003)", "    6(0x0006)|   32(0x0020)    27(0x001b)", kEnd, ""}},
};

std::string WithPaths(std::string line, const std::string& a, const std::string& b)
{
    if (line == "{A}") return a;
    if (line == "{B}") return b;
    return line;
}

// Saves the report through the results window's Ctrl+S and its real dialog.
void SaveReportAs(const QString& path)
{
    Activate(Form3);
    WhenModalShows([path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        WaitForListing(dialog);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        Click(dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Save));
    });
    QTest::keyClick(Form3, Qt::Key_S, Qt::ControlModifier);
}

TEST_F(MainWindowTest, SearchesInEveryModeFromTheWindowAndSavesTheReport)
{
    // Japanese names: the path lines of the report and the file are CP932.
    const std::string pathA = m_dir.Write("前.bin", std::string(kBytesA, sizeof kBytesA - 1));
    const std::string pathB = m_dir.Write("後.bin", std::string(kBytesB, sizeof kBytesB - 1));

    MessageBoxCatcher messages;
    for (const SearchCase& c : kSearchCases) {
        SCOPED_TRACE(c.name);
        Activate(Form1);
        ReplaceText(Form1->Edit1, Q(pathA));
        ReplaceText(Form1->Edit2, Q(pathB));
        ClickTab(Form1->TabControl1, 1);  // both value groups open
        ReplaceText(Form1->Edit3, QString::fromUtf8(c.valueA));
        ReplaceText(Form1->Edit5, QString::fromUtf8(c.valueB));
        ClickTab(Form1->TabControl1, 3);
        if ((quarnel::SignFlag == 1) != c.minus) Click(Form1->Button4);
        ClickTab(Form1->TabControl1, 0);
        Form1->ComboBox1->setFocus();
        QTest::keyClick(Form1->ComboBox1, c.targetB ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(Form1->ComboBox1->currentIndex(), c.targetB ? 1 : 0);
        ClickTab(Form1->TabControl1, c.tab);

        Click(Form1->Button3);

        EXPECT_TRUE(Form3->isVisible());
        EXPECT_EQ(Form3->Memo1->GetReport(), &quarnel::SearchReport());
        std::vector<std::string> expected;
        std::string bytes;
        for (const std::string& line : c.lines) {
            expected.push_back(WithPaths(line, pathA, pathB));
            bytes += Sjis(expected.back()) + "\r\n";
        }
        EXPECT_EQ(Memo1Text(), JoinLines(expected));

        const std::string saved = m_dir.File(std::string(c.name) + ".txt");
        SaveReportAs(Q(saved));
        EXPECT_EQ(ReadFile(saved), bytes);
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text.toStdString();
}

// A path is searched without the blanks and control characters (U+0000 to
// U+0020) at its ends, and nothing else is taken off: QString::trimmed would
// also strip the full-width space U+3000.
TEST_F(MainWindowTest, SearchTrimsBlanksAndControlCharactersButKeepsFullWidthSpaces)
{
    const std::string a = m_dir.Write("a.bin", "ab");
    const std::string b = m_dir.Write("b\u3000", "ab");  // a name ending in a full-width space
    struct Case {
        const char* name;
        QString edit1, edit2;
        std::string pathA, pathB;
        const char* message;  // null when the search runs
    };
    const Case cases[] = {
        {"SpacesAndTabs", " \t" + Q(a) + "\t  ", "  " + Q(b) + " \t", a, b, nullptr},
        {"ControlCharacters", "\x01" + Q(a) + "\x1f\r\n", "\x7f" + Q(b), a, "\x7f" + b, "ﾌｧｲﾙＢが開けません。"},
        {"LeadingFullWidthSpace", "\u3000" + Q(a), Q(b), "\u3000" + a, b, "ﾌｧｲﾙＡが開けません。"},
        {"OnlyBlanks", "  \t ", Q(b), "", b, "ﾌｧｲﾙＡが開けません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Activate(Form1);
        ClickTab(Form1->TabControl1, 2);
        Form1->Edit1->setText(c.edit1);  // tabs and control characters cannot be typed
        Form1->Edit2->setText(c.edit2);
        MessageBoxCatcher messages;
        Click(Form1->Button3);
        EXPECT_EQ(quarnel::SearchPaths[0], c.pathA);
        EXPECT_EQ(quarnel::SearchPaths[1], c.pathB);
        if (c.message) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(quarnel::SearchReport().LineCount(), 0u);
        } else {
            EXPECT_TRUE(messages.shown.empty());
            ASSERT_GE(quarnel::SearchReport().LineCount(), 2u);
            EXPECT_EQ(quarnel::SearchReport().Line(0), Sjis(a));
            EXPECT_EQ(quarnel::SearchReport().Line(1), Sjis(b));
        }
    }
}

// The original kept each path in 256 bytes; here a path of any length that
// the system can open is searched whole, never cut short.
TEST_F(MainWindowTest, SearchesAPathLongerThan255Bytes)
{
    std::filesystem::path folder = m_dir.Path();
    for (int i = 0; i < 6; ++i) folder /= std::string(50, static_cast<char>('a' + i));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "データ.bin").string();
    std::ofstream(path, std::ios::binary) << "xAx";
    ASSERT_GT(path.size(), 300u);

    Form1->Edit1->setText(Q(path));
    ReplaceText(Form1->Edit3, QStringLiteral("65"));
    MessageBoxCatcher messages;
    Click(Form1->Button3);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(quarnel::SearchPaths[0], path);
    ASSERT_EQ(quarnel::SearchReport().LineCount(), 8u);
    EXPECT_EQ(quarnel::SearchReport().Line(0), Sjis(path));
    EXPECT_EQ(quarnel::SearchReport().Line(5), "    1(0x0001)|   65(0x0041)");
}

TEST_F(MainWindowTest, MissingFileShowsItsMessageOverAnEmptyResultsWindow)
{
    const std::string a = m_dir.Write("a.bin", "ab");
    struct Case {
        const char* name;
        int tab;
        std::string edit1, edit2;
        const char* message;
    };
    const Case cases[] = {
        {"SingleValueEmptyPath", 0, "", a, "ﾌｧｲﾙＡが開けません。"},
        {"BothMissingOnlyAIsTold", 2, m_dir.File("none1"), m_dir.File("none2"), "ﾌｧｲﾙＡが開けません。"},
        {"BMissing", 4, a, m_dir.File("none"), "ﾌｧｲﾙＢが開けません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A report from an earlier search, which the failing search must clear.
        quarnel::SearchReport().AppendLine("earlier");
        Form3->hide();
        Activate(Form1);
        ClickTab(Form1->TabControl1, c.tab);
        Form1->Edit1->setText(Q(c.edit1));
        Form1->Edit2->setText(Q(c.edit2));
        MessageBoxCatcher messages;
        bool resultsShownEmpty = false;
        messages.whileShown = [&resultsShownEmpty] {
            resultsShownEmpty = Form3->isVisible() && Memo1Text().isEmpty();
        };
        Click(Form1->Button3);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, QString::fromUtf8(c.message));
        EXPECT_TRUE(messages.shown[0].okOnly);
        EXPECT_TRUE(resultsShownEmpty) << "the results window shows, empty, before the message";
        EXPECT_TRUE(Form3->isVisible());
        EXPECT_EQ(quarnel::SearchReport().LineCount(), 0u);
        EXPECT_TRUE(Memo1Text().isEmpty());
    }
}

// When the search target shows no item (the user typed into it), the text
// decides: an item's own text counts as that item, and any other text, which
// selects no item, searches file A, as the core does for every slot but B's.
TEST_F(MainWindowTest, TypedSearchTargetDecidesTheFileAndNeverBecomesAnItem)
{
    const std::string a = m_dir.Write("a.bin", "A");
    const std::string b = m_dir.Write("b.bin", "B");
    struct Case {
        const char* name;
        int startIndex;
        QString typed;
        bool pressEnter;
        std::string searched;
    };
    const Case cases[] = {
        {"ItemTextOfB", 0, QStringLiteral("ﾌｧｲﾙＢ"), false, b},
        {"ItemTextOfBWithEnter", 0, QStringLiteral("ﾌｧｲﾙＢ"), true, b},
        {"ItemTextOfA", 1, QStringLiteral("ﾌｧｲﾙＡ"), false, a},
        {"OtherTextAfterB", 1, QStringLiteral("B"), false, a},
        {"OtherTextWithEnter", 1, QStringLiteral("ﾌｧｲﾙB"), true, a},
        {"Nothing", 1, QString(), true, a},
    };
    Form1->Edit1->setText(Q(a));
    Form1->Edit2->setText(Q(b));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Activate(Form1);
        Form1->ComboBox1->setCurrentIndex(c.startIndex);
        ReplaceText(Form1->ComboBox1->lineEdit(), c.typed);
        if (c.pressEnter) QTest::keyClick(Form1->ComboBox1->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(Form1->ComboBox1->currentText(), c.typed);
        EXPECT_EQ(Form1->ComboBox1->count(), 2) << "typing added an item";
        MessageBoxCatcher messages;
        Click(Form1->Button3);
        EXPECT_TRUE(messages.shown.empty());
        ASSERT_GE(quarnel::SearchReport().LineCount(), 1u);
        EXPECT_EQ(quarnel::SearchReport().Line(0), c.searched);
    }
}

TEST_F(MainWindowTest, ResultsWindowMenuItemShowsTheLastReportUnchanged)
{
    const std::string a = m_dir.Write("a.bin", "\x01\x02\x01");
    Form1->Edit1->setText(Q(a));
    ReplaceText(Form1->Edit3, QStringLiteral("1"));
    Click(Form1->Button3);
    const QString report = Memo1Text();
    ASSERT_TRUE(report.contains(QStringLiteral("    2(0x0002)|    1(0x0001)")));

    Form3->close();
    ASSERT_FALSE(Form3->isVisible());
    Activate(Form1);
    ClickMenuItem(Form1->N2, Form1->K3);
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Memo1Text(), report);
}

// 終了 closes the main window, which ends the program, as its close box does.
TEST(MainWindowExit, ExitMenuItemEndsTheProgram)
{
    bool watchdogFired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&watchdogFired] {
        watchdogFired = true;
        if (Application) Application->Terminate();
    });
    watchdog.start(15000);
    QTimer::singleShot(0, [] {
        ASSERT_NE(Form1, nullptr);
        Activate(Form1);
        ClickMenuItem(Form1->F1, Form1->KQ1);
    });
    const int exitCode = StartUp();
    EXPECT_FALSE(watchdogFired) << "the program did not end";
    EXPECT_EQ(exitCode, 0);
}

}  // namespace
