// The results window (Form3): shows the report, saves it as a results file,
// discards it and hides. Its controls come from res.ui; this class holds
// behaviour.
#pragma once

#include <QMainWindow>
#include <memory>

class QAction;
class QMenu;
class QMenuBar;
class ReportView;
class SaveDialog;

namespace Ui {
class TForm3;
}

class TForm3 : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window, hidden, from its form; Memo1 shows the search report.
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    // The form's components, in its order; all owned by the window.
    QMenuBar* MainMenu1 = nullptr;
    SaveDialog* SaveDialog1 = nullptr;
    QMenu* F1 = nullptr;
    QAction* K1 = nullptr;
    QAction* N1 = nullptr;
    QAction* KC1 = nullptr;
    QAction* KD1 = nullptr;
    QAction* K2 = nullptr;
    ReportView* Memo1 = nullptr;

    // "閉じる(&Q)": hides the window; the report stays.
    void KC1Click();
    // "破棄して閉じる(&D)": empties the report, then hides the window.
    void KD1Click();
    // "結果を破棄(&C)": empties the report; the window stays.
    void K2Click();
    // "結果を保存(&S)" and Ctrl+S: SaveResults.
    void K1Click();

private:
    void BindEvents();
    // Tells the user that a selection was too large to copy.
    void Memo1CopyRefused();

    std::unique_ptr<Ui::TForm3> m_ui;
};

// Captions the results window "<application title> -結果-", shows it and
// brings it to the front. The report is not touched.
void ShowResultsWindow();

// Asks for a file name with SaveDialog1 (starting on its first filter, offering
// the name chosen last) and writes the report there: each line's CP932 bytes
// and CR LF. Returns 0 when the file is written; 1 when the user cancelled or
// the file could not be written completely, after "ﾌｧｲﾙが保存できません。" in
// the latter case. A file that was there stays as it was unless the save
// succeeds.
[[nodiscard]] int SaveResults();
