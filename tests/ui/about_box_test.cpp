// The about box as the help menu opens it: what it shows and where, that it
// is filled anew each time, how it closes, and that it blocks the windows
// behind it.
#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <memory>

#include "tests/ui/program_windows.h"

using quarnel::testing::Activate;
using quarnel::testing::Click;
using quarnel::testing::ClickMenuItem;
using quarnel::testing::ProgramWindows;
using quarnel::testing::WhenModalShows;

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_windows = std::make_unique<ProgramWindows>();
        Activate(Form1);
    }
    void TearDown() override { m_windows.reset(); }

    // Opens the box through ﾍﾙﾌﾟ > ﾊﾞｰｼﾞｮﾝ情報, runs `whileUp` once it is up
    // (which must close it) and returns when the box has closed.
    static void OpenAboutBox(std::function<void()> whileUp)
    {
        bool sawBox = false;
        WhenModalShows([&sawBox, whileUp = std::move(whileUp)](QWidget* modal) {
            sawBox = modal == Form2;
            if (!sawBox) {
                ADD_FAILURE() << "another modal window came up";
                modal->close();
                return;
            }
            whileUp();
        });
        ClickMenuItem(Form1->H1, Form1->KA1);
        EXPECT_TRUE(sawBox);
        EXPECT_FALSE(Form2->isVisible());
    }

    std::unique_ptr<ProgramWindows> m_windows;
};

// The rightmost column of `label` that holds a pixel of its text.
int LastInkColumn(QLabel* label)
{
    const QImage image = label->grab().toImage();
    const QRgb background = image.pixel(0, 0);
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != background) return x;
        }
    }
    return -1;
}

TEST_F(AboutBoxTest, ShowsIconTitleVersionAndNoticeWhereTheFormPutsThem)
{
    OpenAboutBox([] {
        EXPECT_EQ(Form2->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        EXPECT_EQ(Form2->size(), QSize(219, 70));
        EXPECT_EQ(Form2->minimumSize(), Form2->maximumSize()) << "the user can resize it";
        const Qt::WindowFlags flags = Form2->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);

        EXPECT_EQ(Form2->Image1->geometry(), QRect(4, 4, 32, 32));
        ASSERT_FALSE(Form2->Image1->pixmap().isNull());
        EXPECT_EQ(Form2->Image1->pixmap().toImage(), Application->Icon().pixmap(32, 32).toImage());

        EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Quarnel"));
        EXPECT_EQ(Form2->Label1->pos(), QPoint(40, 4));
        EXPECT_EQ(Form2->Label1->font().pixelSize(), 17);
        EXPECT_EQ(Form2->Label1->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        EXPECT_GE(Form2->Label1->width(), Form2->Label1->sizeHint().width());

        // Ver 0.01, right-aligned: its text ends at x = 218 in the box.
        EXPECT_EQ(Form2->Label2->text(), QStringLiteral("Ver 0.01"));
        EXPECT_EQ(Form2->Label2->y(), 20);
        EXPECT_EQ(Form2->Label2->x() + Form2->Label2->width(), 218);
        EXPECT_TRUE(Form2->Label2->alignment() & Qt::AlignRight);
        // Its ink ends at 218 less the last glyph's own side bearing.
        EXPECT_GE(Form2->Label2->x() + LastInkColumn(Form2->Label2), 218 - 6);
        EXPECT_EQ(Form2->Label2->font().pixelSize(), 12);

        EXPECT_EQ(Form2->Label3->text(), QStringLiteral("(c)2026 Quarnel"));
        EXPECT_EQ(Form2->Label3->pos(), QPoint(124, 32));
        EXPECT_GE(Form2->Label3->width(), Form2->Label3->sizeHint().width()) << "notice cut";
        EXPECT_LE(Form2->Label3->x() + Form2->Label3->width(), 219) << "notice runs off the box";

        EXPECT_EQ(Form2->Bevel1->geometry(), QRect(0, 44, 221, 5));
        EXPECT_EQ(Form2->Bevel1->frameShape(), QFrame::HLine);

        EXPECT_EQ(Form2->Button1->text(), QStringLiteral("&OK"));
        EXPECT_EQ(Form2->Button1->geometry(), QRect(180, 48, 37, 21));
        // The only control that takes the focus, so Enter reaches it.
        EXPECT_TRUE(QTest::qWaitForWindowActive(Form2));
        EXPECT_EQ(QApplication::focusWidget(), Form2->Button1);
        EXPECT_EQ(Form2->windowModality(), Qt::ApplicationModal);
        Click(Form2->Button1);
    });
}

TEST_F(AboutBoxTest, ClosesByOkEnterAndItsFrameButNotByEscape)
{
    struct Case {
        const char* name;
        std::function<void()> close;
        int result;  // the modal result: 1 OK, 2 cancel
    };
    const Case cases[] = {
        {"OkButton", [] { Click(Form2->Button1); }, 1},
        {"EnterOnTheFocusedButton", [] { QTest::keyClick(Form2->Button1, Qt::Key_Return); }, 1},
        {"AccessKey", [] { QTest::keyClick(Form2, Qt::Key_O, Qt::AltModifier); }, 1},
        // The close box, the system menu and Alt+F4 all ask the window to close.
        {"CloseRequest", [] { Form2->close(); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Activate(Form1);
        OpenAboutBox([&c] {
            QTest::keyClick(Form2->Button1, Qt::Key_Escape);
            QTest::keyClick(Form2, Qt::Key_Escape);
            QApplication::processEvents();
            EXPECT_TRUE(Form2->isVisible()) << "Escape closed the box";
            c.close();
        });
        EXPECT_EQ(Form2->result(), c.result);
    }
}

TEST_F(AboutBoxTest, IsFilledAnewEachTimeWithTheSameContents)
{
    QStringList first;
    QStringList second;
    for (QStringList* seen : {&first, &second}) {
        Activate(Form1);
        OpenAboutBox([seen] {
            *seen << Form2->Label1->text() << Form2->Label2->text() << Form2->Label3->text()
                  << QString::number(Form2->Image1->pixmap().width());
            Click(Form2->Button1);
        });
        // Spoil what the box shows: the next opening must put it right.
        Form2->Label1->setText(QStringLiteral("x"));
        Form2->Label2->setText(QStringLiteral("y"));
        Form2->Image1->clear();
    }
    EXPECT_EQ(first, QStringList({QStringLiteral("Quarnel"), QStringLiteral("Ver 0.01"),
                                  QStringLiteral("(c)2026 Quarnel"), QStringLiteral("32")}));
    EXPECT_EQ(second, first);
}

// Clicks through the window system, as a real mouse does: Qt then drops the
// clicks that a modal window blocks (QTest's widget clicks would bypass that).
void ClickThroughWindow(QWidget* widget, QPoint at)
{
    QWidget* window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, widget->mapTo(window, at));
    QApplication::processEvents();
}

TEST_F(AboutBoxTest, WindowsBehindItTakeNoInputWhileItIsUp)
{
    quarnel::testing::TempDir dir;
    Form1->Edit1->setText(QString::fromStdString(dir.Write("a.bin", "a")));
    TabStrip* tabs = Form1->TabControl1;

    // The same clicks reach the window while nothing blocks it.
    ClickThroughWindow(tabs, tabs->TabRect(2).center());
    ASSERT_EQ(tabs->TabIndex(), 2);
    ClickThroughWindow(tabs, tabs->TabRect(0).center());
    ASSERT_EQ(tabs->TabIndex(), 0);

    OpenAboutBox([tabs] {
        ClickThroughWindow(tabs, tabs->TabRect(3).center());
        ClickThroughWindow(Form1->Button3, Form1->Button3->rect().center());
        EXPECT_EQ(tabs->TabIndex(), 0);
        EXPECT_FALSE(Form3->isVisible()) << "the search ran";
        EXPECT_EQ(QApplication::activeModalWidget(), Form2);
        EXPECT_TRUE(Form2->isVisible());
        Click(Form2->Button1);
    });
    EXPECT_EQ(quarnel::SearchReport().LineCount(), 0u);

    ClickThroughWindow(Form1->Button3, Form1->Button3->rect().center());
    EXPECT_TRUE(Form3->isVisible()) << "the window takes clicks again";
}

}  // namespace
