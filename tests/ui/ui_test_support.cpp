// Helpers for driving the windows in tests.
#include "tests/ui/ui_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

namespace quarnel::testing {

namespace {

constexpr int kPollMs = 10;
constexpr int kGiveUpMs = 10000;

void PollForModal(QPointer<QWidget> below, std::function<void(QWidget*)> action, int waitedMs)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != below && modal->isVisible()) {
        const QPointer<QWidget> shown = modal;
        action(modal);
        // A failed assertion left the action early: close the window so the
        // code under test returns and the failure is reported.
        if (::testing::Test::HasFatalFailure() && shown && shown->isVisible()) shown->close();
        return;
    }
    if (waitedMs >= kGiveUpMs) {
        ADD_FAILURE() << "no modal window came up";
        return;
    }
    QTimer::singleShot(kPollMs, [below, action = std::move(action), waitedMs]() mutable {
        PollForModal(below, std::move(action), waitedMs + kPollMs);
    });
}

}  // namespace

void WhenModalShows(std::function<void(QWidget*)> action)
{
    QPointer<QWidget> below = QApplication::activeModalWidget();
    QTimer::singleShot(0, [below, action = std::move(action)]() mutable { PollForModal(below, std::move(action), 0); });
}

void Click(QWidget* widget, QPoint at)
{
    ASSERT_NE(widget, nullptr);
    const QPoint point = at == QPoint(-1, -1) ? widget->rect().center() : at;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
}

ShownBox Describe(const QMessageBox& box)
{
    ShownBox shown;
    shown.caption = box.windowTitle();
    shown.text = box.text();
    shown.icon = box.icon();
    shown.buttons = static_cast<int>(box.buttons().size());
    shown.okOnly = shown.buttons == 1 && box.standardButton(box.buttons().front()) == QMessageBox::Ok;
    shown.appModal = box.windowModality() == Qt::ApplicationModal;
    return shown;
}

void ClickButton(QMessageBox& box, int standardButton)
{
    QAbstractButton* button = box.button(static_cast<QMessageBox::StandardButton>(standardButton));
    if (!button) {
        ADD_FAILURE() << "the box \"" << box.text().toStdString() << "\" has no such button";
        box.reject();  // so the code under test goes on
        return;
    }
    Click(button);
}

void Activate(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

}  // namespace quarnel::testing
