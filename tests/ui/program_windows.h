// The program's three windows made as start-up makes them, for the tests of
// the main window and the about box, and the few ways those tests type.
#pragma once

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>
#include <gtest/gtest.h>

#include "core/search.h"
#include "core/sign_flag.h"
#include "tests/support/test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app.h"
#include "ui/main.h"
#include "ui/res.h"
#include "ui/tab_strip.h"
#include "ui/ver.h"

namespace quarnel::testing {

// Form1, Form2 and Form3 in their order, with the title, caption and icon set
// as start-up sets them, the core's messages going to the application message
// box, and reports stamped Sun Mar 07 09:05:03 1999. Nothing is shown yet.
// Everything is gone again when the object is.
class ProgramWindows {
public:
    ProgramWindows()
    {
        SignFlag = 0;
        m_application.Initialize();
        m_application.CreateForm(Form1);
        m_application.CreateForm(Form2);
        m_application.CreateForm(Form3);
        m_application.SetTitle(QStringLiteral("Quarnel"));
        Form1->setWindowTitle(m_application.Title());
        Form1->setWindowIcon(m_application.Icon());
        SetClock(&m_clock);
    }

    ~ProgramWindows()
    {
        SetClock(nullptr);
        ClearReport();
        SignFlag = 0;
    }

    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

private:
    TApplication m_application;
    FixedClock m_clock;
};

// Answers every message box that comes up while it lives, as a user does
// with Enter, and keeps what each showed: a test that expects no message (or
// one) then fails on an unexpected one instead of waiting on it for ever.
class MessageBoxCatcher {
public:
    MessageBoxCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(10);
    }

    // Runs while each box is up, before it is answered.
    std::function<void()> whileShown;
    std::vector<ShownBox> shown;

private:
    void Poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        shown.push_back(Describe(*box));
        if (whileShown) whileShown();
        if (box->button(QMessageBox::Ok)) ClickButton(*box, QMessageBox::Ok);
        else box->close();
    }

    QTimer m_timer;
};

// Replaces the whole text of `field` in one edit, as pasting over a selection
// does: select all with the keyboard, then delete or commit the new text
// through the input method (which also carries text that QTest cannot type).
inline void ReplaceText(QLineEdit* field, const QString& text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Delete);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

// Clicks tab `index` of the strip, as the user does.
inline void ClickTab(TabStrip* strip, int index)
{
    Click(strip, strip->TabRect(index).center());
}

// Opens `menu` from the main window's menu bar and clicks `item`, as the user
// does. Schedule WhenModalShows first when the item opens a modal window.
inline void ClickMenuItem(QMenu* menu, QAction* item)
{
    Click(Form1->MainMenu1, Form1->MainMenu1->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    Click(menu, menu->actionGeometry(item).center());
}

}  // namespace quarnel::testing
