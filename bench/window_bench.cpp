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

#include "bench_files.h"
#include "core/search.h"
#include "ui/app.h"
#include "ui/main.h"
#include "ui/res.h"
#include "ui/tab_strip.h"
#include "ui/ver.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

double Seconds(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Options {
    std::string dir = std::filesystem::temp_directory_path().string();
    std::uint64_t sizeMiB = 1024;
    std::uint64_t denseMiB = 64;
    int runs = 3;
};

Options Parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--dir") options.dir = argv[i + 1];
        else if (arg == "--size-mib") options.sizeMiB = std::stoull(argv[i + 1]);
        else if (arg == "--dense-mib") options.denseMiB = std::stoull(argv[i + 1]);
        else if (arg == "--runs") options.runs = std::max(1, std::atoi(argv[i + 1]));
        else {
            std::fprintf(stderr, "usage: quarnel-window-bench [--dir DIR] [--size-mib N] [--dense-mib N] [--runs N]\n");
            std::exit(2);
        }
    }
    return options;
}

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
    const Options options = Parse(argc, argv);
    QApplication qtApplication(argc, argv);

    std::string dirPattern = options.dir + "/quarnel-window-bench-XXXXXX";
    if (!::mkdtemp(dirPattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = dirPattern;
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
