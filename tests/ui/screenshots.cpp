// Renders each window of the program offscreen to a PNG, for the README and
// for looking at what the windows show: scripts/screenshots runs it.
// Usage: quarnel_screenshots FOLDER
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "core/search.h"
#include "tests/support/test_support.h"
#include "ui/app.h"
#include "ui/guarded_application.h"
#include "ui/res.h"
#include "ui/save_dialog.h"
#include "ui/startup.h"
#include "ui/tab_strip.h"
#include "ui/ver.h"
#include "ui/main.h"

namespace {

QString g_folder;
int g_failures = 0;

void Save(const QImage& image, const char* name)
{
    const QString path = g_folder + QLatin1Char('/') + QString::fromLatin1(name);
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

void Shoot(QWidget* window, const char* name)
{
    QApplication::processEvents();
    Save(window->grab().toImage(), name);
}

// A window with one of its menus open: the menu is a window of its own, so
// the two pictures are put together where they stand on the screen.
void ShootWithMenu(QMainWindow* window, QMenu* menu, const char* name)
{
    window->menuBar()->setActiveAction(menu->menuAction());
    QApplication::processEvents();
    const QImage body = window->grab().toImage();
    const QImage popup = menu->grab().toImage();
    const QPoint at = menu->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0));
    QImage both(body.size().expandedTo(QSize(at.x() + popup.width(), at.y() + popup.height())),
                QImage::Format_ARGB32);
    both.fill(Qt::transparent);
    QPainter painter(&both);
    painter.drawImage(0, 0, body);
    painter.drawImage(at, popup);
    painter.end();
    menu->hide();
    Save(both, name);
}

// Two small files that differ here and there, in a fixed folder so the
// report's path lines stay the same from run to run.
std::filesystem::path MakeSampleFiles()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quarnel-sample";
    std::filesystem::create_directories(folder);
    std::string before(4096, '\0');
    for (std::size_t i = 0; i < before.size(); ++i) before[i] = static_cast<char>(i * 7);
    std::string after = before;
    for (std::size_t i : {16u, 17u, 300u, 1025u, 2048u, 2049u, 2050u, 4000u}) after[i] = static_cast<char>(after[i] + 3);
    std::ofstream(folder / "before.dat", std::ios::binary) << before;
    std::ofstream(folder / "after.dat", std::ios::binary) << after;
    return folder;
}

void ShootEverything()
{
    const quarnel::testing::FixedClock clock;
    quarnel::SetClock(&clock);
    const std::filesystem::path folder = MakeSampleFiles();

    // The main window on each tab, as after browsing for the two files.
    Form1->Edit1->setText(QString::fromStdString((folder / "before.dat").string()));
    Form1->Edit2->setText(QString::fromStdString((folder / "after.dat").string()));
    for (int tab = 0; tab < Form1->TabControl1->Tabs().size(); ++tab) {
        Form1->TabControl1->SetTabIndex(tab);
        Form1->TabControl1Change();
        Shoot(Form1, qPrintable(QStringLiteral("main_window_tab%1.png").arg(tab)));
    }
    Form1->TabControl1->SetTabIndex(0);
    Form1->TabControl1Change();
    ShootWithMenu(Form1, Form1->F1, "main_window_menu.png");

    quarnel::SearchPaths = {(folder / "before.dat").string(), (folder / "after.dat").string()};
    quarnel::ClearReport();
    ShowResultsWindow();
    std::ignore = quarnel::RunSearch(4, 0, 0, 0);
    Shoot(Form3, "results_window.png");
    ShootWithMenu(Form3, Form3->F1, "results_window_menu.png");

    // The about box as ﾍﾙﾌﾟ > ﾊﾞｰｼﾞｮﾝ情報 fills and shows it.
    QTimer::singleShot(100, [] {
        Shoot(Form2, "about_box.png");
        Form2->Button1Click();
    });
    Form1->KA1Click();

    // The modal windows are shot once they are up, then closed.
    QTimer::singleShot(100, [] {
        QWidget* box = QApplication::activeModalWidget();
        if (box) {
            Shoot(box, "message_box.png");
            box->close();
        }
    });
    Application->MessageBox(QStringLiteral("ﾌｧｲﾙが保存できません。"));

    Form3->SaveDialog1->SetFilterIndex(0);
    Form3->SaveDialog1->selectFile(QString::fromStdString((folder / "result.txt").string()));
    QTimer::singleShot(300, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog) {
            Shoot(dialog, "save_dialog.png");
            static_cast<QDialog*>(dialog)->reject();
        }
    });
    std::ignore = Form3->SaveDialog1->exec();

    std::filesystem::remove_all(folder);
    quarnel::SetClock(nullptr);
    Application->Terminate();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    GuardedApplication application(argc, argv);
    g_folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    QDir().mkpath(g_folder);
    QTimer::singleShot(0, ShootEverything);
    std::ignore = StartUp();
    return g_failures == 0 ? 0 : 1;
}
