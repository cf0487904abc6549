// The multi-row tab strip on its own: rows, the selected row next to the
// panel, the change event for the user's choices only, and its painting.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "tests/ui/ui_test_support.h"
#include "ui/app.h"
#include "ui/tab_strip.h"

using quarnel::testing::Click;

namespace {

const QStringList kModeTabs = {QStringLiteral("数値検索１"), QStringLiteral("数値検索２"),
                               QStringLiteral("一致検索"), QStringLiteral("変化検索"),
                               QStringLiteral("全変化検索")};

// The main window's tab strip: its five tabs in its 257 × 137 pixels.
class TabStripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_application.Initialize();  // the form font and its substitution
        m_strip = std::make_unique<TabStrip>();
        m_strip->setFont(FormFont());
        m_strip->SetTabs(kModeTabs);
        m_strip->resize(257, 137);
        m_strip->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_strip.get()));
    }

    [[nodiscard]] QPoint CentreOf(int tab) const { return m_strip->TabRect(tab).center(); }

    TApplication m_application;
    std::unique_ptr<TabStrip> m_strip;
};

TEST_F(TabStripTest, ShowsEveryTabReadableInTwoFullRowsWithinItsWidth)
{
    EXPECT_EQ(m_strip->RowCount(), 2);
    EXPECT_EQ(m_strip->TabIndex(), 0);
    const QFontMetrics metrics(m_strip->font());
    for (int i = 0; i < kModeTabs.size(); ++i) {
        SCOPED_TRACE(kModeTabs[i].toStdString());
        const QRect tab = m_strip->TabRect(i);
        EXPECT_TRUE(m_strip->rect().contains(tab)) << "tab outside the strip";
        EXPECT_GE(tab.width(), metrics.horizontalAdvance(kModeTabs[i]) + 4) << "caption would be cut";
        EXPECT_GE(tab.height(), metrics.height());
        for (int j = i + 1; j < kModeTabs.size(); ++j)
            EXPECT_FALSE(tab.intersects(m_strip->TabRect(j))) << "overlaps tab " << j;
    }
    // Both rows are stretched to the same right edge, as one block of tabs.
    EXPECT_EQ(m_strip->TabRect(2).right(), m_strip->TabRect(4).right());
    EXPECT_EQ(m_strip->TabRect(0).left(), m_strip->TabRect(3).left());
    // Both rows lie above the panel, where the main window's groups start
    // 40 pixels below the strip's top.
    EXPECT_LE(m_strip->DisplayRect().top(), 40);
    EXPECT_LE(m_strip->TabRect(0).bottom(), 40);
}

TEST_F(TabStripTest, RowCountFollowsTheWidth)
{
    struct Case {
        const char* name;
        int width;
        int rows;
    };
    const Case cases[] = {
        {"WideEnoughForOneRow", 600, 1},
        {"TheFormsWidth", 257, 2},
        {"NarrowerThanAnyTab", 20, 5},  // each tab gets a row of its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_strip->resize(c.width, 137);
        EXPECT_EQ(m_strip->RowCount(), c.rows);
    }
    // A single row is not stretched: its tabs keep their own widths.
    m_strip->resize(600, 137);
    EXPECT_LT(m_strip->TabRect(4).right(), 600 - 50);
}

TEST_F(TabStripTest, TheSelectedTabsRowMovesNextToThePanel)
{
    const int lowerRowTop = m_strip->TabRect(0).top();
    const int upperRowTop = m_strip->TabRect(3).top();
    ASSERT_LT(upperRowTop, lowerRowTop);

    Click(m_strip.get(), CentreOf(3));
    EXPECT_EQ(m_strip->TabIndex(), 3);
    EXPECT_EQ(m_strip->TabRect(3).top(), lowerRowTop);
    EXPECT_EQ(m_strip->TabRect(4).top(), lowerRowTop);
    EXPECT_EQ(m_strip->TabRect(0).top(), upperRowTop);

    Click(m_strip.get(), CentreOf(1));
    EXPECT_EQ(m_strip->TabIndex(), 1);
    EXPECT_EQ(m_strip->TabRect(1).top(), lowerRowTop);
    EXPECT_EQ(m_strip->TabRect(3).top(), upperRowTop);
}

TEST_F(TabStripTest, RaisesChangedOnlyWhenTheUserSelectsAnotherTab)
{
    QSignalSpy changed(m_strip.get(), &TabStrip::Changed);
    int indexSeenByHandler = -1;
    QObject::connect(m_strip.get(), &TabStrip::Changed, m_strip.get(),
            [&] { indexSeenByHandler = m_strip->TabIndex(); });

    m_strip->SetTabIndex(2);  // the program's own choice
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(m_strip->TabIndex(), 2);

    Click(m_strip.get(), CentreOf(2));  // the tab already selected
    EXPECT_EQ(changed.count(), 0);
    Click(m_strip.get(), m_strip->DisplayRect().center());  // the panel
    EXPECT_EQ(changed.count(), 0);

    Click(m_strip.get(), CentreOf(4));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(indexSeenByHandler, 4) << "the handler must see the new tab";

    m_strip->setFocus();
    QTest::keyClick(m_strip.get(), Qt::Key_Right);  // already the last tab
    EXPECT_EQ(changed.count(), 1);
    QTest::keyClick(m_strip.get(), Qt::Key_Left);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(indexSeenByHandler, 3);

    Click(m_strip.get(), CentreOf(0));
    QTest::keyClick(m_strip.get(), Qt::Key_Left);  // already the first tab
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(m_strip->TabIndex(), 0);
}

// Styles may paint a selected tab well beyond its rectangle (Fusion fills a
// band below it); none of that may show on the panel, where the main window's
// groups lie.
TEST_F(TabStripTest, PaintsNothingOfTheTabsOverThePanel)
{
    for (int selected : {0, 3}) {
        SCOPED_TRACE(selected);
        m_strip->SetTabIndex(selected);
        const QImage image = m_strip->grab().toImage();
        const QRect panel = m_strip->DisplayRect();
        // Far from the tabs, the panel shows its own background.
        const QRgb background = image.pixel(panel.center().x(), panel.bottom() - 10);
        for (int y = panel.top() + 6; y < panel.top() + 60; y += 3) {
            for (int x = 6; x < m_strip->width() - 6; x += 5)
                ASSERT_EQ(image.pixel(x, y), background) << "at " << x << "," << y;
        }
    }
}

}  // namespace
