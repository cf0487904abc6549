// The main window's behaviour: its start state, the per-tab states, browsing
// for the files and the search command.
#include "ui/main.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <cstdio>
#include <iterator>
#include <tuple>

#include "core/search.h"
#include "core/value_fields.h"
#include "ui/app.h"
#include "ui/open_dialog.h"
#include "ui/res.h"
#include "ui/tab_strip.h"
#include "ui/value_controls.h"
#include "ui/ver.h"
#include "ui_main.h"

namespace {

// What each tab of TabControl1 enables and shows.
struct TabState {
    bool searchTarget;  // GroupBox2
    bool valueA;        // GroupBox3
    bool valueB;        // GroupBox4
    bool direction;     // Button4 and Button5
};

constexpr TabState kTabStates[] = {
    {true, true, false, false},    // 数値検索１: single-value search
    {false, true, true, false},    // 数値検索２: value-pair search
    {false, false, false, false},  // 一致検索: match search
    {false, true, false, true},    // 変化検索: change search
    {false, false, false, false},  // 全変化検索: difference search
};

std::string PathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string FieldBytes(const QLineEdit& field)
{
    return field.text().toStdString();
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>())
{
    m_ui->setupUi(this);
    MainMenu1 = m_ui->MainMenu1;
    F1 = m_ui->F1;
    K1 = m_ui->K1;
    K2 = m_ui->K2;
    N1 = m_ui->N1;
    KQ1 = m_ui->KQ1;
    H1 = m_ui->H1;
    KA1 = m_ui->KA1;
    GroupBox1 = m_ui->GroupBox1;
    Label1 = m_ui->Label1;
    Label2 = m_ui->Label2;
    Edit2 = m_ui->Edit2;
    Button1 = m_ui->Button1;
    Button2 = m_ui->Button2;
    Edit1 = m_ui->Edit1;
    TabControl1 = m_ui->TabControl1;
    GroupBox2 = m_ui->GroupBox2;
    ComboBox1 = m_ui->ComboBox1;
    GroupBox3 = m_ui->GroupBox3;
    Label3 = m_ui->Label3;
    Label4 = m_ui->Label4;
    Edit3 = m_ui->Edit3;
    Edit4 = m_ui->Edit4;
    Label5 = m_ui->Label5;
    Label6 = m_ui->Label6;
    Button3 = m_ui->Button3;
    Edit5 = m_ui->Edit5;
    Edit6 = m_ui->Edit6;
    GroupBox4 = m_ui->GroupBox4;
    Button4 = m_ui->Button4;
    Button5 = m_ui->Button5;
    N2 = m_ui->N2;
    K3 = m_ui->K3;
    setFont(FormFont());
    // Labels size themselves to their text in this font.
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6})
        label->adjustSize();
    // A single fixed border with the system menu and the minimise box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The client area is fixed in the form; the window takes its size plus
    // the menu bar's, whatever height the menu bar has here.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    OpenDialog1 = new TOpenDialog(this, QStringLiteral("全ﾌｧｲﾙ(*.*)"));
    BindEvents();
    FormCreate();
}

TForm1::~TForm1() = default;

// Binds each control's event to its handler, as the form lists them.
void TForm1::BindEvents()
{
    connect(KA1, &QAction::triggered, this, &TForm1::KA1Click);
    connect(Edit4, &QLineEdit::textChanged, this, &TForm1::Edit4Change);
    connect(Edit3, &QLineEdit::textChanged, this, &TForm1::Edit3Change);
    connect(Edit5, &QLineEdit::textChanged, this, &TForm1::Edit5Change);
    connect(Edit6, &QLineEdit::textChanged, this, &TForm1::Edit6Change);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(TabControl1, &TabStrip::Changed, this, &TForm1::TabControl1Change);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(K3, &QAction::triggered, this, &TForm1::K3Click);
    connect(K1, &QAction::triggered, this, &TForm1::K1Click);
    connect(K2, &QAction::triggered, this, &TForm1::K2Click);
    // 終了 closes the main window, which ends the program.
    connect(KQ1, &QAction::triggered, this, &QWidget::close);
}

// The start state. Runs while the window is being created, before the about
// box and the results window exist: it touches only this window's controls.
void TForm1::FormCreate()
{
    UpdateSignCaptions();
    ComboBox1->setCurrentIndex(0);
    // Each setting runs the field's change handler, which fills its partner.
    Edit5->setText(QStringLiteral("0"));
    Edit3->setText(Edit5->text());
}

void TForm1::TabControl1Change()
{
    const int index = TabControl1->TabIndex();
    if (index < 0 || index >= static_cast<int>(std::size(kTabStates)))
        return;
    const TabState& state = kTabStates[index];
    GroupBox2->setEnabled(state.searchTarget);
    GroupBox3->setEnabled(state.valueA);
    GroupBox4->setEnabled(state.valueB);
    Button4->setVisible(state.direction);
    Button5->setVisible(state.direction);
    GroupBox2->update();
    GroupBox3->update();
    GroupBox4->update();
}

void TForm1::Button1Click() { BrowseForFile(Edit1); }
void TForm1::K1Click() { BrowseForFile(Edit1); }
void TForm1::Button2Click() { BrowseForFile(Edit2); }
void TForm1::K2Click() { BrowseForFile(Edit2); }

void TForm1::Edit3Change() { quarnel::SyncFromDecimal(*Edit3, *Edit4); }
void TForm1::Edit4Change() { quarnel::SyncFromHex(*Edit4, *Edit3); }
void TForm1::Edit5Change() { quarnel::SyncFromDecimal(*Edit5, *Edit6); }
void TForm1::Edit6Change() { quarnel::SyncFromHex(*Edit6, *Edit5); }

void TForm1::Button4Click() { ToggleSign(); }
void TForm1::Button5Click() { ToggleSign(); }

// The search command: the paths as typed, less blanks and control characters
// at their ends; the values from the decimal fields; the mode from the tab.
// The results window is shown, empty, before the search starts, and the
// search runs to its end inside this handler.
void TForm1::Button3Click()
{
    quarnel::SearchPaths[quarnel::kFileA] = PathBytes(TrimControlCharacters(Edit1->text()));
    quarnel::SearchPaths[quarnel::kFileB] = PathBytes(TrimControlCharacters(Edit2->text()));
    quarnel::ClearReport();
    ShowResultsWindow();
    const int valueA = quarnel::ParseDecimal(FieldBytes(*Edit3)).value_or(0);
    const int valueB = quarnel::ParseDecimal(FieldBytes(*Edit5)).value_or(0);
    // A failure has been shown to the user where it happened.
    std::ignore = quarnel::RunSearch(TabControl1->TabIndex(), valueA, valueB,
                                     SearchTargetSlot(*ComboBox1));
}

void TForm1::K3Click() { ShowResultsWindow(); }

// Fills the about box anew and shows it modally.
void TForm1::KA1Click()
{
    char version[16];
    std::snprintf(version, sizeof version, "Ver %s", "0.01");
    Form2->Label2->setText(QString::fromLatin1(version));
    Form2->Image1->setPixmap(Application->Icon().pixmap(32, 32));
    Form2->Label1->setText(Application->Title());
    std::ignore = Form2->exec();
}

void BrowseForFile(QLineEdit* field)
{
    TOpenDialog* dialog = Form1->OpenDialog1;
    if (dialog->Execute())
        field->setText(dialog->FileName());
}

void UpdateSignCaptions()
{
    quarnel::UpdateSignCaptions(*Form1->Button4, *Form1->Button5);
}

void ToggleSign()
{
    quarnel::ToggleSign(*Form1->Button4, *Form1->Button5);
}

int SearchTargetSlot(const QComboBox& selector)
{
    // A typed text leaves no item selected unless it is an item's text; the
    // core then searches file A, as for any slot other than file B's.
    return selector.findText(selector.currentText());
}

QString TrimControlCharacters(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}
