// The results window's behaviour: its menu handlers, showing it, and saving
// the report.
#include "ui/res.h"

#include <QFile>
#include <QMenuBar>
#include <tuple>

#include "core/report.h"
#include "core/results_file.h"
#include "core/search.h"
#include "ui/app.h"
#include "ui/report_view.h"
#include "ui/save_dialog.h"
#include "ui_res.h"

TForm3::TForm3(QWidget* parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm3>())
{
    m_ui->setupUi(this);
    MainMenu1 = m_ui->MainMenu1;
    F1 = m_ui->F1;
    K1 = m_ui->K1;
    N1 = m_ui->N1;
    KC1 = m_ui->KC1;
    KD1 = m_ui->KD1;
    K2 = m_ui->K2;
    Memo1 = m_ui->Memo1;

    // A form marks a separator by the caption "-".
    N1->setSeparator(true);

    // uic sets no pixel sizes: the fonts, 12 pixels high, are set here.
    setFont(FormFont());
    Memo1->setFont(FixedPitchFont());
    // The form's outer size 385 x 236 leaves Memo1 377 x 190 below the menu
    // bar; the menu bar's height here depends on its font.
    resize(377, 190 + MainMenu1->sizeHint().height());

    // The dialog is no control of the form's: it is made here.
    SaveDialog1 = new SaveDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->SetFilter(QStringLiteral("RESﾌｧｲﾙ(*.TXT)|*.TXT|全ﾌｧｲﾙ(*.*)|*.*"));
    SaveDialog1->SetDefaultExt(QStringLiteral("txt"));

    Memo1->SetReport(&quarnel::SearchReport());
    BindEvents();
}

TForm3::~TForm3() = default;

// Binds each menu item to its handler, as the form lists them.
void TForm3::BindEvents()
{
    connect(K1, &QAction::triggered, this, &TForm3::K1Click);
    connect(K2, &QAction::triggered, this, &TForm3::K2Click);
    connect(KC1, &QAction::triggered, this, &TForm3::KC1Click);
    connect(KD1, &QAction::triggered, this, &TForm3::KD1Click);
    connect(Memo1, &ReportView::CopyRefused, this, &TForm3::Memo1CopyRefused);
}

void TForm3::KC1Click()
{
    hide();
}

void TForm3::KD1Click()
{
    if (quarnel::Report* report = Memo1->GetReport()) report->Clear();
    hide();
}

void TForm3::K2Click()
{
    if (quarnel::Report* report = Memo1->GetReport()) report->Clear();
}

void TForm3::K1Click()
{
    std::ignore = SaveResults();
}

void TForm3::Memo1CopyRefused()
{
    Application->MessageBox(QStringLiteral("選択範囲が大きすぎるため、コピーできません。"));
}

void ShowResultsWindow()
{
    if (!Form3) return;
    Form3->setWindowTitle(Application->Title() + QStringLiteral(" -結果-"));
    Form3->show();
    Form3->raise();
    Form3->activateWindow();
}

int SaveResults()
{
    SaveDialog& dialog = *Form3->SaveDialog1;
    dialog.SetFilterIndex(0);
    if (!dialog.Execute()) return 1;

    const quarnel::Report* report = Form3->Memo1->GetReport();
    const quarnel::SaveOutcome outcome =
        report ? quarnel::SaveReportFile(*report, QFile::encodeName(dialog.FileName()).toStdString())
               : quarnel::SaveOutcome{};
    if (!outcome.ok) {
        Application->MessageBox(QStringLiteral("ﾌｧｲﾙが保存できません。"));
        return 1;
    }
    return 0;
}
