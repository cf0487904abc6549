// The main window: the two files, the search mode, the byte values and the
// search command. Its controls, their places and captions come from main.ui;
// this class holds the behaviour.
#pragma once

#include <QMainWindow>
#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class TOpenDialog;
class TabStrip;

namespace Ui {
class TForm1;
}

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window, hidden, from its form, then runs FormCreate.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The form's components under their designer names, in its order, all
    // owned by the window: the free functions below and the other windows
    // reach them through Form1, as the form library publishes them.
    TOpenDialog* OpenDialog1 = nullptr;  // shared by both path fields
    QMenuBar* MainMenu1 = nullptr;
    QMenu* F1 = nullptr;
    QAction* K1 = nullptr;
    QAction* K2 = nullptr;
    QAction* N1 = nullptr;
    QAction* KQ1 = nullptr;
    QMenu* H1 = nullptr;
    QAction* KA1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TabStrip* TabControl1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Button3 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QMenu* N2 = nullptr;
    QAction* K3 = nullptr;

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

    std::unique_ptr<Ui::TForm1> m_ui;
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
