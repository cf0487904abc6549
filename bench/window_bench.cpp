// quarnel-window-bench: the same searches started two ways in one process,
// with the program's windows up: straight through RunSearch, and from the
// main window's search button (paths, values and tab read from the window,
// the results window shown, Memo1 painting the report). Prints medians and
// the ratio, which says what the window adds.
//
//   quarnel-window-bench [--dir DIR] [--size-mib N] [--dense-mib N] [--runs N]
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/search.h"
#include "ui/app.h"
#include "ui/main.h"
#include "ui/res.h"
#include "ui/tab_strip.h"
#include "ui/ver.h"

namespace {

using quarnel::bench::Median;
using quarnel::bench::Seconds;
constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

struct Case {
    const char* name;
    std::string a, b;
    int mode, valueA;
};

// The search as the core runs it for any caller.
void SearchDirectly(const Case& c)
{
    quarnel::SearchPaths = {c.a, c.b};
    quarnel::ClearReport();
    if (quarnel::RunSearch(c.mode, c.valueA, 0, 0) != quarnel::SearchStatus::Finished) {
        std::fprintf(stderr, "search failed\n");
        std::exit(1);
    }
}

// The search as the user starts it: the window's fields and tab, a click on
// 検索, and the events that follow until the window is idle (the results
// window shown and Memo1 painted).
void SearchFromTheWindow(const Case& c)
{
    Form1->Edit1->setText(QString::fromStdString(c.a));
    Form1->Edit2->setText(QString::fromStdString(c.b));
    Form1->Edit3->setText(QString::number(c.valueA));
    Form1->TabControl1->SetTabIndex(c.mode);
    Form1->TabControl1Change();
    Form1->Button3->click();
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    quarnel::bench::Options defaults;
    defaults.denseMiB = 64;
    defaults.runs = 3;
    const quarnel::bench::Options options =
        quarnel::bench::ParseOptions(argc, argv, "quarnel-window-bench", defaults);
    QApplication qtApplication(argc, argv);

    const std::filesystem::path dir = quarnel::bench::MakeRunFolder(options.dir, "quarnel-window-bench");
    auto file = [&](const char* name) { return (dir / name).string(); };
    std::printf("Making files in %s ...\n", dir.c_str());
    quarnel::bench::WriteRandomFile(file("a"), options.sizeMiB * kMiB, 1);
    quarnel::bench::WriteChangedCopy(file("a"), file("b"), 1000);
    quarnel::bench::WriteRandomFile(file("d1"), options.denseMiB * kMiB, 3);
    quarnel::bench::WriteRandomFile(file("d2"), options.denseMiB * kMiB, 4);

    TApplication application;
    application.Initialize();
    application.CreateForm(Form1);
    application.CreateForm(Form2);
    application.CreateForm(Form3);
    application.SetTitle(QStringLiteral("Quarnel"));
    Form1->show();
    QApplication::processEvents();

    const Case cases[] = {
        {"difference search, A vs copy (1000 changes)", file("a"), file("b"), 4, 0},
        {"value search for 0x41 (1 line in 256 bytes)", file("a"), file("b"), 0, 0x41},
        {"difference search, every offset (dense files)", file("d1"), file("d2"), 4, 0},
    };
    std::printf("\nThe same search straight through RunSearch and from the main window's 検索 button,\n"
                "%llu MiB files (dense: %llu MiB), page-cached, alternating, median of %d runs\n",
                static_cast<unsigned long long>(options.sizeMiB), static_cast<unsigned long long>(options.denseMiB),
                options.runs);
    for (const Case& c : cases) {
        SearchDirectly(c);  // warm-up: the page cache and the report's memory
        std::vector<double> direct, window;
        for (int run = 0; run < options.runs; ++run) {
            direct.push_back(Seconds([&] { SearchDirectly(c); }));
            window.push_back(Seconds([&] { SearchFromTheWindow(c); }));
        }
        const double d = Median(direct), w = Median(window);
        std::printf("   %-48s RunSearch %7.3f s   window %7.3f s   %5.3f x   (%llu lines)\n", c.name, d, w, w / d,
                    static_cast<unsigned long long>(quarnel::SearchReport().LineCount()));
    }
    quarnel::ClearReport();
    std::filesystem::remove_all(dir);
    return 0;
}
