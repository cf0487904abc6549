// quarnel-bench: measures the search against baselines taken in the same run
// on files it makes itself, and prints medians and ratios next to the goals.
//
//   quarnel-bench [--dir DIR] [--report-dir DIR] [--size-mib N] [--dense-mib N] [--runs N]
//
// Every ratio compares times measured in this run, on this machine.
//
// --dir holds the files searched; --report-dir (default: --dir) the results
// files that cmp -l and the save write in the every-offset case.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/large_buffer.h"
#include "core/results_file.h"
#include "core/search.h"

namespace {

using quarnel::RunSearch;
using quarnel::SearchReport;
using quarnel::SearchStatus;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

using quarnel::bench::Median;
using quarnel::bench::Seconds;

// Times `first` and `second` alternately `runs` times, so that a drift in the
// machine's speed touches both alike; returns their medians.
std::pair<double, double> Alternating(int runs, const std::function<void()>& first,
                                      const std::function<void()>& second)
{
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(Seconds(first));
        b.push_back(Seconds(second));
    }
    return {Median(a), Median(b)};
}

double MedianOf(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(Seconds(work));
    return Median(times);
}

// The baseline: read() both files alternately in large blocks, from `from`,
// into a buffer allocated as the search allocates its own.
void ReadBoth(const std::string& a, const std::string& b, std::uint64_t from = 0)
{
    static const quarnel::LargeBuffer buffer = quarnel::AllocateLargeBuffer(kMiB);
    const int fa = ::open(a.c_str(), O_RDONLY), fb = ::open(b.c_str(), O_RDONLY);
    ::lseek(fa, static_cast<off_t>(from), SEEK_SET);
    ::lseek(fb, static_cast<off_t>(from), SEEK_SET);
    while (::read(fa, buffer.get(), kMiB) > 0 && ::read(fb, buffer.get(), kMiB) > 0) {
    }
    ::close(fa);
    ::close(fb);
}

// The straightforward design: stdio, one call per byte per file.
std::uint64_t StdioDifferences(const std::string& a, const std::string& b, std::uint64_t limit)
{
    std::FILE* fa = std::fopen(a.c_str(), "rb");
    std::FILE* fb = std::fopen(b.c_str(), "rb");
    std::uint64_t differences = 0;
    for (std::uint64_t i = 0; i < limit; ++i) {
        const int x = std::fgetc(fa), y = std::fgetc(fb);
        if (x == EOF || y == EOF) break;
        differences += x != y;
    }
    std::fclose(fa);
    std::fclose(fb);
    return differences;
}

void Search(const std::string& a, const std::string& b, int mode, int valueA, int valueB, int sign = 0)
{
    quarnel::SearchPaths = {a, b};
    quarnel::SignFlag = sign;
    quarnel::ClearReport();
    if (RunSearch(mode, valueA, valueB, 0) != SearchStatus::Finished) {
        std::fprintf(stderr, "search failed\n");
        std::exit(1);
    }
}

std::uint64_t MatchLines(int headingLines)
{
    return SearchReport().LineCount() - static_cast<std::uint64_t>(headingLines) - 2;
}

const char* Verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const quarnel::bench::Options options = quarnel::bench::ParseOptions(argc, argv, "quarnel-bench", {});
    const std::filesystem::path dir = quarnel::bench::MakeRunFolder(options.dir, "quarnel-bench");
    auto file = [&](const char* name) { return (dir / name).string(); };
    const std::filesystem::path reportDir = options.reportDir.empty() ? dir : std::filesystem::path(options.reportDir);
    auto output = [&](const char* name) { return (reportDir / name).string(); };
    const std::uint64_t size = options.sizeMiB * kMiB;
    const int runs = options.runs;

    std::printf("Making files in %s ...\n", dir.c_str());
    quarnel::bench::WriteRandomFile(file("a"), size, 1);
    quarnel::bench::WriteChangedCopy(file("a"), file("b"), 1000);
    quarnel::bench::WriteRandomFile(file("c"), size, 2);
    ReadBoth(file("a"), file("b"));  // into the page cache
    ReadBoth(file("c"), file("c"));

    // 1. Few matches.
    std::printf("\n1. Few matches: %llu MiB per file, page-cached, median of %d runs\n",
                static_cast<unsigned long long>(options.sizeMiB), runs);
    std::printf("   each search is timed alternately with the baseline, read() of both files in 1 MiB blocks\n");
    struct Mode {
        const char* name;
        const char* b;
        int mode, valueA, valueB, sign, heading;
    };
    const Mode modes[] = {
        {"value search (A for 0x41)", "b", 0, 0x41, 0, 0, 5},
        {"value-pair search (0x41, 0x42), A vs copy", "b", 1, 0x41, 0x42, 0, 7},
        {"match search, A vs unrelated C", "c", 2, 0, 0, 0, 6},
        {"change search +1, A vs copy", "b", 3, 1, 0, 0, 7},
        {"change search -7, A vs unrelated C", "c", 3, 7, 0, 1, 7},
        {"difference search, A vs copy (1000 changes)", "b", 4, 0, 0, 0, 6},
    };
    double worst = 0, differenceTime = 0;
    for (const Mode& mode : modes) {
        const auto [read, time] = Alternating(
            runs, [&] { ReadBoth(file("a"), file(mode.b)); },
            [&] { Search(file("a"), file(mode.b), mode.mode, mode.valueA, mode.valueB, mode.sign); });
        const std::uint64_t matches = MatchLines(mode.heading);
        std::printf("   %-46s %7.3f s  baseline %7.3f s (%4.1f GB/s)  %5.2f x  (1 match in %.0f offsets)\n",
                    mode.name, time, read, 2.0 * static_cast<double>(size) / read / 1e9, time / read,
                    matches ? static_cast<double>(size) / static_cast<double>(matches) : 0.0);
        worst = std::max(worst, time / read);
        if (mode.mode == 4) differenceTime = time;
    }
    std::printf("   goal: every search <= 1.25 x baseline: worst %.2f x, %s\n", worst, Verdict(worst <= 1.25));

    const std::uint64_t prefix = std::min<std::uint64_t>(64 * kMiB, size);
    const double stdio = MedianOf(std::min(runs, 3), [&] { StdioDifferences(file("a"), file("b"), prefix); }) *
                         static_cast<double>(size) / static_cast<double>(prefix);
    std::printf("   %-48s %8.3f s  (%llu MiB prefix, scaled)\n", "reference: stdio, one fgetc per byte per file", stdio,
                static_cast<unsigned long long>(prefix / kMiB));
    std::printf("   goal: difference search >= 30 x faster than stdio: %.1f x, %s\n", stdio / differenceTime,
                Verdict(stdio / differenceTime >= 30));
    std::filesystem::remove(file("c"));

    // 4. Beyond 4 GiB: sparse files whose data lies past 4 GiB. Measured
    // before the every-offset case, whose gigabytes of results leave the
    // system busy writing them back for a while after.
    const std::uint64_t far = (std::uint64_t{4} << 30) + size;
    quarnel::bench::WriteSparseTail(file("f1"), far, size, 6);
    quarnel::bench::WriteSparseTail(file("f2"), far, size, 6);
    quarnel::bench::WriteSparseTail(file("g1"), (std::uint64_t{4} << 30) + 64 * kMiB, 64 * kMiB, 7);
    quarnel::bench::WriteSparseTail(file("g2"), (std::uint64_t{4} << 30) + 64 * kMiB, 64 * kMiB, 8);
    ReadBoth(file("f1"), file("f2"), far - size);
    std::printf("\n4. Beyond 4 GiB: %llu MiB of data after a 4 GiB hole, median of %d\n",
                static_cast<unsigned long long>(options.sizeMiB), runs);
    const auto [farRead, farSearch] =
        Alternating(runs, [&] { ReadBoth(file("f1"), file("f2"), far - size); },
                    [&] { Search(file("f1"), file("f2"), 4, 0, 0); });
    std::printf("   %-48s %8.3f s\n", "baseline: read() of the data past 4 GiB", farRead);
    std::printf("   %-48s %8.3f s  %5.2f x baseline, %s\n", "difference search (the hole is passed over)", farSearch,
                farSearch / farRead, Verdict(farSearch / farRead <= 1.25));
    quarnel::ClearReport();
    quarnel::bench::ResetPeakRss();
    const std::uint64_t before = quarnel::bench::PeakRss();
    Search(file("g1"), file("g2"), 4, 0, 0);
    const std::uint64_t farGrowth = quarnel::bench::PeakRss() - before;
    const std::uint64_t farLines = SearchReport().LineCount();
    std::printf("   dense difference search of 64 MiB past 4 GiB: %llu lines, %.2f bytes per line, last match line:\n   %s\n",
                static_cast<unsigned long long>(farLines), static_cast<double>(farGrowth) / static_cast<double>(farLines),
                SearchReport().Line(farLines - 3).c_str());
    quarnel::ClearReport();
    // 2 and 3. Every offset matches.
    const std::uint64_t dense = options.denseMiB * kMiB;
    quarnel::bench::WriteRandomFile(file("d1"), dense, 3);
    quarnel::bench::WriteRandomFile(file("d2"), dense, 4);
    ReadBoth(file("d1"), file("d2"));
    const int denseRuns = std::max(1, std::min(runs, 3));
    std::printf("\n2. Every offset matches: two unrelated %llu MiB files, results written to %s, median of %d\n",
                static_cast<unsigned long long>(options.denseMiB), reportDir.c_str(), denseRuns);
    // Each run writes a new file and the file is removed after it, so every
    // run starts from the same state of the page cache; the first run of each
    // is a warm-up and not counted (on a virtual machine, memory never touched
    // before is slow to hand out the first time).
    const std::string cmpCommand = "cmp -l '" + file("d1") + "' '" + file("d2") + "' > '" + output("cmp.out") + "'";
    auto runCmp = [&] {
        [[maybe_unused]] const int rc = std::system(cmpCommand.c_str());
        std::filesystem::remove(output("cmp.out"));
    };
    runCmp();
    const double cmp = MedianOf(denseRuns, runCmp);
    std::printf("   %-48s %8.3f s\n", "baseline: cmp -l A B > file", cmp);
    double searchOnly = 0;
    std::uint64_t growth = 0;
    std::uint64_t bytes = 0;
    auto runOurs = [&] {
        quarnel::ClearReport();
        quarnel::bench::ResetPeakRss();
        const std::uint64_t before = quarnel::bench::PeakRss();
        searchOnly = Seconds([&] { Search(file("d1"), file("d2"), 4, 0, 0); });
        growth = quarnel::bench::PeakRss() - before;
        if (!quarnel::SaveReportFile(SearchReport(), output("report.txt")).ok) {
            std::fprintf(stderr, "save failed\n");
            std::exit(1);
        }
        bytes = std::filesystem::file_size(output("report.txt"));
        std::filesystem::remove(output("report.txt"));
    };
    runOurs();
    const double ours = MedianOf(denseRuns, runOurs);
    const std::uint64_t lines = SearchReport().LineCount();
    std::printf("   %-48s %8.3f s  (search alone %.3f s; %llu lines, %.2f GB)\n", "difference search + save as results file",
                ours, searchOnly, static_cast<unsigned long long>(lines), static_cast<double>(bytes) / 1e9);
    std::printf("   goal: >= 4 x faster than cmp -l: %.2f x, %s\n", cmp / ours, Verdict(cmp / ours >= 4));

    const double perLine = static_cast<double>(growth) / static_cast<double>(lines);
    std::printf("\n3. Memory: peak RSS growth %.1f MiB for %llu lines = %.2f bytes per line; goal <= 4: %s\n",
                static_cast<double>(growth) / kMiB, static_cast<unsigned long long>(lines), perLine, Verdict(perLine <= 4));
    std::mt19937_64 random(5);
    constexpr int kProbes = 20000;
    std::uint64_t sink = 0;
    const double probes = Seconds([&] {
        for (int i = 0; i < kProbes; ++i) sink += SearchReport().Line(random() % lines).size();
    });
    std::printf("   reading one line at random: %.2f us per line (%llu bytes read)\n", probes / kProbes * 1e6,
                static_cast<unsigned long long>(sink));
    quarnel::ClearReport();
    std::filesystem::remove(file("d1"));
    std::filesystem::remove(file("d2"));

    std::filesystem::remove_all(dir);
    return 0;
}
