// The main window: the two files, the search mode, the byte values and the
// search command. Its controls, their places and captions come from main.ui;
// this class holds the behaviour.
#pragma once

#include <QMainWindow>

#include "ui/open_dialog.h"
#include "ui_main.h"

class QLineEdit;

// The controls are public members under their designer names (Edit1,
// Button3, TabControl1...), as the form library publishes them, so that the
// free functions below and the shell reach them through Form1.
class TForm1 : public QMainWindow, public Ui::TForm1 {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The file-open dialog, shared by both path fields.
    TOpenDialog* OpenDialog1 = nullptr;

    // Event handlers, bound to their controls by BindEvents.
    void KA1Click();
    void Edit4Change();
    void Edit3Change();
    void Edit5Change();
    void Edit6Change();
    void Button1Click();
    void Button2Click();
    void FormCreate();
    void TabControl1Change();
    void Button4Click();
    void Button5Click();
    void Button3Click();
    void K3Click();
    void K1Click();
    void K2Click();

private:
    void BindEvents();
};

// Runs OpenDialog1 of Form1 and, if the user confirms a file, puts its full
// path into `field` (Edit1 or Edit2). A cancelled dialog changes nothing.
void BrowseForFile(QLineEdit* field);

// The direction buttons of Form1 (Button4, Button5): both show the caption of
// SignFlag; ToggleSign flips it first.
void UpdateSignCaptions();
void ToggleSign();

// The file slot a search-target selector stands for: the index of the item
// whose text it shows, or -1 when its text is none of them (a typed text).
[[nodiscard]] int SearchTargetSlot(const QComboBox& selector);

// `text` without the characters U+0000 to U+0020 at either end; any other
// character, a full-width space included, stays.
[[nodiscard]] QString TrimControlCharacters(const QString& text);
