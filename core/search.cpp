// The search frame and the five search modes. Each mode opens its files,
// writes its heading lines, scans the files a block at a time and appends a
// match line for every matching offset, then the end marker.
#include "search.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <vector>

#include "block_reader.h"
#include "cp932.h"
#include "line_format.h"
#include "scan.h"
#include "texts.h"

namespace quarnel {

std::array<std::string, 2> SearchPaths;
std::array<SearchFile, 2> SearchFiles;

namespace {

MessageSink* g_sink = nullptr;
const Clock* g_clock = nullptr;

void Tell(std::string_view message)
{
    SearchReport().NotifyChanged();
    if (g_sink) g_sink->ShowMessage(message);
}

// "%5lu(0x%04x)" of a value as a 32-bit unsigned number, as the sentences
// print it (a value outside 0..255 never reaches them from the windows).
std::string ValueColumn(int value)
{
    std::string text;
    AppendNumberColumn(text, static_cast<std::uint32_t>(value));
    return text;
}

std::string Concat(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view part : parts) text += part;
    return text;
}

// Scans `length` bytes of the open files from offset 0: file A, or the one
// file, feeds `a` and file B, in a two-file search, feeds `b`. Appends a
// match line at once for each matching offset. On a read that fails or
// comes up short, keeps the lines found so far, tells the user and stops.
SearchStatus Scan(int slotA, int slotB, std::int64_t length, const ScanRule& rule)
{
    Report& report = SearchReport();
    const MaskKernel kernel = FastestKernel();
    std::vector<std::uint64_t> masks(BlockReader::kBlockSize / 64);
    // Where both files have a hole every byte is 0; when 0 against 0 cannot
    // match, the whole hole is passed over without reading it.
    BlockReader reader(SearchFiles[slotA], slotB >= 0 ? &SearchFiles[slotB] : nullptr,
                       static_cast<std::uint64_t>(std::max<std::int64_t>(length, 0)),
                       !Matches(rule, 0, 0));
    for (BlockReader::Block block; reader.Next(block); reader.Release()) {
        const std::size_t n = std::min(block.gotA, block.gotB);
        kernel(rule, block.a, block.b, n, masks.data());
        const std::uint8_t* b = block.b ? block.b : block.a;
        for (std::size_t group = 0; group * 64 < n; ++group) {
            for (std::uint64_t bits = masks[group]; bits != 0; bits &= bits - 1) {
                const std::size_t i = group * 64 + static_cast<std::size_t>(std::countr_zero(bits));
                report.AppendMatch(block.base + i, block.a[i], b[i]);
            }
        }
        if (n < block.want) {
            // Byte by byte, file A is read first at each offset: it failed
            // first unless file B ran out at an earlier offset.
            const bool aFailed = block.gotA <= block.gotB;
            const int failed = aFailed ? slotA : slotB;
            Tell(failed == kFileB ? texts::kCannotReadB : texts::kCannotReadA);
            return SearchStatus::ReadFailed;
        }
    }
    return SearchStatus::Finished;
}

// The common frame after the description lines: the heading, the scan, the end.
SearchStatus RunFrame(int columns, int slotA, int slotB, std::int64_t length,
                      const ScanRule& rule, int fixedA, int fixedB, int bFromA)
{
    AddTimestampLine();
    AddStartMarker();
    AddColumnHeader(columns);
    SearchReport().BeginMatchRun(columns > 1 ? MatchLayout::TwoColumns : MatchLayout::OneColumn,
                                 fixedA, fixedB, bFromA);
    const SearchStatus status = Scan(slotA, slotB, length, rule);
    if (status != SearchStatus::Finished) return status;
    AddEndMarker();
    return SearchStatus::Finished;
}

// The scan length of a two-file search: the shorter of the two.
std::int64_t PairLength()
{
    return std::min(SearchFileLength(kFileA), SearchFileLength(kFileB));
}

ScanRule ByteRule(ScanKind kind, int p, int q = 0)
{
    const bool inRange = p >= 0 && p <= 255 && q >= 0 && q <= 255;
    if (!inRange) return {ScanKind::Never, 0, 0};
    return {kind, static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(q)};
}

}  // namespace

Report& SearchReport()
{
    static Report report;
    return report;
}

void SetMessageSink(MessageSink* sink)
{
    g_sink = sink;
}

void SetClock(const Clock* clock)
{
    g_clock = clock;
}

bool OpenSearchFiles(int mask)
{
    if ((mask & kMaskA) && !SearchFiles[kFileA].Open(SearchPaths[kFileA])) {
        Tell(texts::kCannotOpenA);
        return false;
    }
    if ((mask & kMaskB) && !SearchFiles[kFileB].Open(SearchPaths[kFileB])) {
        Tell(texts::kCannotOpenB);
        return false;
    }
    return true;
}

std::int64_t SearchFileLength(int slot)
{
    if (slot != kFileA && slot != kFileB) return -1;
    return SearchFiles[slot].Length();
}

void CloseSearchFiles()
{
    for (SearchFile& file : SearchFiles) file.Close();
}

void ClearReport()
{
    SearchReport().Clear();
}

void AddResultLine(std::string_view cp932)
{
    SearchReport().AppendLine(cp932);
}

void AddFilePathLine(int slot)
{
    AddResultLine(Utf8ToCp932(SearchPaths[slot == kFileB ? kFileB : kFileA]));
}

void AddTimestampLine()
{
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const SystemClock systemClock;
    const std::tm now = (g_clock ? g_clock : &systemClock)->LocalNow();
    const int day = now.tm_wday >= 0 && now.tm_wday < 7 ? now.tm_wday : 0;
    const int month = now.tm_mon >= 0 && now.tm_mon < 12 ? now.tm_mon : 0;
    char text[64];
    const int size = std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %4d", kDays[day],
                                   kMonths[month], now.tm_mday, now.tm_hour, now.tm_min,
                                   now.tm_sec, now.tm_year + 1900);
    AddResultLine(std::string_view(text, static_cast<std::size_t>(std::max(size, 0))));
}

void AddStartMarker()
{
    AddResultLine(texts::kStartMarker);
}

void AddEndMarker()
{
    AddResultLine(texts::kEndMarker);
}

void AddColumnHeader(int columns)
{
    std::string header(texts::kHeaderOneColumn);
    if (columns > 1) header += texts::kHeaderSecondColumn;
    AddResultLine(header);
}

SearchStatus SearchValue(int targetSlot, int value)
{
    const int slot = targetSlot == kFileB ? kFileB : kFileA;
    if (!OpenSearchFiles(slot + 1)) return SearchStatus::NotOpened;
    const std::int64_t length = SearchFileLength(slot);
    AddFilePathLine(slot);
    AddResultLine(Concat({texts::kKara, ValueColumn(value), texts::kSearchOffsets}));
    return RunFrame(1, slot, -1, length, ByteRule(ScanKind::Value, value), value & 0xFF, -1, -1);
}

SearchStatus SearchValuePair(int valueA, int valueB)
{
    if (!OpenSearchFiles(kMaskA | kMaskB)) return SearchStatus::NotOpened;
    const std::int64_t length = PairLength();
    AddFilePathLine(kFileA);
    AddResultLine(Concat({texts::kGa, ValueColumn(valueA), texts::kKatsu}));
    AddFilePathLine(kFileB);
    AddResultLine(Concat({texts::kGa, ValueColumn(valueB), texts::kSearchOffsets}));
    return RunFrame(2, kFileA, kFileB, length, ByteRule(ScanKind::Pair, valueA, valueB),
                    valueA & 0xFF, valueB & 0xFF, -1);
}

SearchStatus SearchMatch()
{
    if (!OpenSearchFiles(kMaskA | kMaskB)) return SearchStatus::NotOpened;
    const std::int64_t length = PairLength();
    AddFilePathLine(kFileA);
    AddFilePathLine(kFileB);
    AddResultLine(texts::kSearchMatching);
    return RunFrame(2, kFileA, kFileB, length, {ScanKind::Match, 0, 0}, -1, -1, 0);
}

SearchStatus SearchChange(int amount)
{
    if (!OpenSearchFiles(kMaskA | kMaskB)) return SearchStatus::NotOpened;
    const std::int64_t length = PairLength();
    AddFilePathLine(kFileA);
    AddResultLine(texts::kKara);
    AddFilePathLine(kFileB);
    char numbers[48];
    const unsigned magnitude =
        amount < 0 ? 0u - static_cast<unsigned>(amount) : static_cast<unsigned>(amount);
    const int size = std::snprintf(numbers, sizeof numbers, "%4d(0x%02x", amount, magnitude);
    AddResultLine(Concat({texts::kNi, std::string_view(numbers, static_cast<std::size_t>(size)),
                          SignFlag != 0 ? texts::kDecrease : texts::kIncrease, ")",
                          texts::kSearchChanged}));
    return RunFrame(2, kFileA, kFileB, length, ChangeRule(amount), -1, -1, amount & 0xFF);
}

SearchStatus SearchDifference()
{
    if (!OpenSearchFiles(kMaskA | kMaskB)) return SearchStatus::NotOpened;
    const std::int64_t length = PairLength();
    AddFilePathLine(kFileA);
    AddFilePathLine(kFileB);
    AddResultLine(texts::kSearchDiffering);
    return RunFrame(2, kFileA, kFileB, length, {ScanKind::Difference, 0, 0}, -1, -1, -1);
}

SearchStatus RunSearch(int mode, int valueA, int valueB, int targetSlot)
{
    SearchStatus status = SearchStatus::NotOpened;
    switch (mode) {
    case 0: status = SearchValue(targetSlot, valueA); break;
    case 1: status = SearchValuePair(valueA, valueB); break;
    case 2: status = SearchMatch(); break;
    case 3: {
        // The negation wraps rather than overflows for the most negative int.
        const int amount = SignFlag != 0 ? static_cast<int>(0u - static_cast<unsigned>(valueA)) : valueA;
        status = SearchChange(amount);
        break;
    }
    case 4: status = SearchDifference(); break;
    default: break;
    }
    CloseSearchFiles();
    if (status == SearchStatus::Finished) AddResultLine("");
    return status;
}

}  // namespace quarnel
