// What the window tests share: driving modal windows as they come up, real
// clicks and key presses on them, and reading what they show.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace quarnel::testing {

// Runs `action` once a new modal window is up above the one active now (or
// above none). `action` must close it, or the code that opened it never
// returns. Fails the test if none comes within a few seconds.
void WhenModalShows(std::function<void(QWidget*)> action);

// Clicks `widget` with the left mouse button, at `at` or at its centre.
void Click(QWidget* widget, QPoint at = QPoint(-1, -1));

// What a message box showed, for comparing in one go.
struct ShownBox {
    QString caption;
    QString text;
    int icon = -1;           // QMessageBox::Icon
    int buttons = 0;         // how many buttons
    bool okOnly = false;     // its one button is OK
    bool appModal = false;   // modal to the whole application
};
[[nodiscard]] ShownBox Describe(const QMessageBox& box);

// Clicks the message box's button of role `standardButton` (QMessageBox::StandardButton).
void ClickButton(QMessageBox& box, int standardButton);

// Makes `window` visible and active, as a user's click on it would.
void Activate(QWidget* window);

}  // namespace quarnel::testing
