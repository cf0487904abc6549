// Memo1's view of the report: selecting with mouse and keys, copying the
// lines' text, and a report of 10^8 lines.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>

#include "core/cp932.h"
#include "core/report.h"
#include "tests/support/test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app.h"
#include "ui/report_view.h"

using quarnel::testing::Activate;
using quarnel::testing::Sjis;

namespace {

// Where the first character starts inside the view, as an edit control
// leaves a little room.
constexpr int kTextLeft = 2;

class ReportViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_application = new TApplication;
        s_application->Initialize();
    }
    static void TearDownTestSuite()
    {
        delete s_application;
        s_application = nullptr;
    }
    void SetUp() override
    {
        m_view.setFont(FixedPitchFont());
        m_view.resize(377, 190);
        m_view.SetReport(&m_report);
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void TearDown() override { m_view.SetReport(nullptr); }

    void Fill(std::initializer_list<const char*> utf8Lines)
    {
        for (const char* line : utf8Lines) m_report.AppendLine(Sjis(line));
    }
    // A point a pixel inside the start of character `column` of line `line`
    // (lines counted from the top of the view).
    QPoint PointAt(int line, const QString& text, int column) const
    {
        const QFontMetrics metrics = m_view.fontMetrics();
        return {kTextLeft + metrics.horizontalAdvance(text.left(column)) + 1,
                line * metrics.height() + metrics.height() / 2};
    }
    void Press(QKeySequence keys)
    {
        for (int i = 0; i < keys.count(); ++i) {
            const QKeyCombination key = keys[i];
            QTest::keyClick(&m_view, key.key(), key.keyboardModifiers());
        }
    }
    static QString Clipboard() { return QApplication::clipboard()->text(); }

    static TApplication* s_application;
    quarnel::Report m_report;
    ReportView m_view;
};

TApplication* ReportViewTest::s_application = nullptr;

}  // namespace

TEST_F(ReportViewTest, MouseDragSelectsAndCtrlCCopiesTheSelectedText)
{
    Fill({"0123456789", "ab日本語cd", "xyz"});
    Activate(&m_view);
    QWidget* area = m_view.viewport();
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, PointAt(0, QStringLiteral("0123456789"), 3));
    QTest::mouseMove(area, PointAt(1, QStringLiteral("ab日本語cd"), 4));
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, PointAt(1, QStringLiteral("ab日本語cd"), 4));
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("3456789\nab日本"));

    // Shift and a click extend the selection from where it began.
    QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, PointAt(2, QStringLiteral("xyz"), 1));
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("3456789\nab日本語cd\nx"));
}

TEST_F(ReportViewTest, KeysMoveTheCaretAndSelect)
{
    struct Case {
        const char* name;
        QList<QKeySequence> keys;
        QString copied;
    };
    const Case cases[] = {
        {"SelectAll", {QKeySequence(QStringLiteral("Ctrl+A"))}, QStringLiteral("0123456789\nab日本語cd\nxyz")},
        {"ToEndOfFirstLine", {QKeySequence(QStringLiteral("Ctrl+Home")), QKeySequence(QStringLiteral("Shift+End"))},
         QStringLiteral("0123456789")},
        {"WideCharacters",
         {QKeySequence(QStringLiteral("Ctrl+Home")), QKeySequence(QStringLiteral("Down")),
          QKeySequence(QStringLiteral("Right")), QKeySequence(QStringLiteral("Right")),
          QKeySequence(QStringLiteral("Shift+Right")), QKeySequence(QStringLiteral("Shift+Right")),
          QKeySequence(QStringLiteral("Shift+Right"))},
         QStringLiteral("日本語")},
        {"UpFromTheEnd", {QKeySequence(QStringLiteral("Ctrl+End")), QKeySequence(QStringLiteral("Shift+Up"))},
         QStringLiteral("本語cd\nxyz")},
        {"WholeLinesWithTheirEnds",
         {QKeySequence(QStringLiteral("Ctrl+Home")), QKeySequence(QStringLiteral("Shift+Down")),
          QKeySequence(QStringLiteral("Shift+Down"))},
         QStringLiteral("0123456789\nab日本語cd\n")},
        {"LeftAcrossALineEnd",
         {QKeySequence(QStringLiteral("Ctrl+End")), QKeySequence(QStringLiteral("Home")),
          QKeySequence(QStringLiteral("Shift+Left")), QKeySequence(QStringLiteral("Shift+Left"))},
         QStringLiteral("d\n")},
    };
    Fill({"0123456789", "ab日本語cd", "xyz"});
    Activate(&m_view);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        for (const QKeySequence& keys : c.keys) Press(keys);
        QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(Clipboard(), c.copied);
    }
    // With nothing selected, Ctrl+C leaves the clipboard alone.
    Press(QKeySequence(QStringLiteral("Ctrl+Home")));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("before"));
}

TEST_F(ReportViewTest, LongLineStaysOneLineReachedByTheHorizontalScrollBar)
{
    const std::string path = "C:\\" + std::string(300, 'p') + "\\end";
    m_report.AppendLine("short");
    m_report.AppendLine(path);
    Activate(&m_view);
    QScrollBar* horizontal = m_view.horizontalScrollBar();
    EXPECT_GT(horizontal->maximum(), 0);
    Press(QKeySequence(QStringLiteral("Down")));
    Press(QKeySequence(QStringLiteral("End")));
    EXPECT_GT(horizontal->value(), 0);
    Press(QKeySequence(QStringLiteral("Shift+Home")));
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QString::fromStdString(path));
    EXPECT_EQ(horizontal->value(), 0);
}

TEST_F(ReportViewTest, EmptyingTheReportResetsTheView)
{
    for (int i = 0; i < 100; ++i) m_report.AppendLine("line");
    Activate(&m_view);
    Press(QKeySequence(QStringLiteral("Ctrl+End")));
    ASSERT_GT(m_view.TopLine(), 0u);
    m_report.Clear();
    EXPECT_EQ(m_view.TopLine(), 0u);
    EXPECT_FALSE(m_view.HasSelection());
    EXPECT_EQ(m_view.verticalScrollBar()->maximum(), 0);
    m_view.grab();  // paints an empty report without trouble
    Press(QKeySequence(QStringLiteral("Ctrl+A")));
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("before"));
}

TEST_F(ReportViewTest, HundredMillionLinesOpenScrollToTheEndAndCopyTheLastLine)
{
    constexpr std::uint64_t kLines = 100'000'000;
    m_report.AppendLine("heading");
    m_report.BeginMatchRun(quarnel::MatchLayout::OneColumn, 0x41, -1, -1);
    for (std::uint64_t offset = 0; offset + 1 < kLines; ++offset) m_report.AppendMatch(offset, 0x41, 0);
    ASSERT_EQ(m_report.LineCount(), kLines);

    QElapsedTimer timer;
    timer.start();
    Activate(&m_view);
    m_view.grab();
    const qint64 openMs = timer.restart();
    Press(QKeySequence(QStringLiteral("Ctrl+End")));
    m_view.grab();
    const qint64 endMs = timer.restart();
    std::printf("10^8 lines: opened and painted in %lld ms, Ctrl+End and paint in %lld ms\n",
                static_cast<long long>(openMs), static_cast<long long>(endMs));

    const std::uint64_t visible = static_cast<std::uint64_t>(m_view.viewport()->height() / m_view.fontMetrics().height());
    EXPECT_EQ(m_view.TopLine(), kLines - visible);
    EXPECT_EQ(m_view.Cursor().line, kLines - 1);

    Press(QKeySequence(QStringLiteral("Shift+Home")));
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    const QString last = Clipboard();
    EXPECT_EQ(last, QString::fromStdString(quarnel::Cp932ToUtf8(m_report.Line(kLines - 1))));
    EXPECT_TRUE(last.contains(QStringLiteral("99999998(0x5f5e0fe)"))) << last.toStdString();

    // The scroll bar reaches every line: its middle shows the middle.
    m_view.verticalScrollBar()->setValue(m_view.verticalScrollBar()->maximum() / 2);
    EXPECT_NEAR(static_cast<double>(m_view.TopLine()), kLines / 2.0, 2.0 * visible);

    // Selecting everything works, but so much text is not copied.
    QSignalSpy refused(&m_view, &ReportView::CopyRefused);
    Press(QKeySequence(QStringLiteral("Ctrl+A")));
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(Clipboard(), last);
}
