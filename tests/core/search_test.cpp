// Reports of the five search modes, byte for byte, and the search's failures.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/search.h"
#include "tests/support/test_support.h"

namespace quarnel {
namespace {

using namespace std::string_literals;

using testing::FixedClock;
using testing::Lines;
using testing::RecordingSink;
using testing::Sjis;
using testing::TempDir;

std::vector<std::string> SjisLines(const std::vector<std::string>& utf8)
{
    std::vector<std::string> lines;
    for (const std::string& line : utf8) lines.push_back(Sjis(line));
    return lines;
}

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetClock(&m_clock);
        SetMessageSink(&m_sink);
        SignFlag = 0;
        ClearReport();
    }
    void TearDown() override
    {
        SetClock(nullptr);
        SetMessageSink(nullptr);
        SignFlag = 0;
    }

    // Runs a search over files holding `a` and `b` and returns its lines.
    std::vector<std::string> Run(int mode, std::string_view a, std::string_view b, int valueA = 0,
                                 int valueB = 0, int target = 0)
    {
        SearchPaths = {m_dir.Write("a.bin", a), m_dir.Write("b.bin", b)};
        ClearReport();
        m_status = RunSearch(mode, valueA, valueB, target);
        return Lines(SearchReport());
    }

    std::string PathA() const { return m_dir.File("a.bin"); }
    std::string PathB() const { return m_dir.File("b.bin"); }

    TempDir m_dir;
    FixedClock m_clock;
    RecordingSink m_sink;
    SearchStatus m_status = SearchStatus::NotOpened;
};

TEST_F(SearchTest, ValuePairWorkedExampleComesOutByteForByte)
{
    std::string a(70001, '\0'), b(70001, '\0');
    a[16] = a[70000] = 65;
    b[16] = b[70000] = 66;
    a[17] = 65;  // only file A holds its value here
    b[18] = 66;  // only file B here
    // Backslashes are ordinary characters in a Linux file name, so the
    // example's paths can name files in the current folder.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
    m_dir.Write("C:\\WORK\\A.DAT", a);
    m_dir.Write("C:\\WORK\\B.DAT", b);
    SearchPaths = {"C:\\WORK\\A.DAT", "C:\\WORK\\B.DAT"};
    const SearchStatus status = RunSearch(1, 65, 66, 0);
    std::filesystem::current_path(previous);
    EXPECT_EQ(status, SearchStatus::Finished);

    const std::string expected =
        "C:\\WORK\\A.DAT\r\n"
        "\x82\xaa   65(0x0041)\x82\xa9\x82\xc2\x81\x41\r\n"
        "C:\\WORK\\B.DAT\r\n"
        "\x82\xaa   66(0x0042)\x82\xcc\x83\x49\x83\x74\x83\x5a\x83\x62\x83\x67\x82\xf0\x8c\x9f\x8d\xf5"
        "\x82\xb5\x82\xdc\x82\xb7\x81\x42\r\n"
        "Sun Mar 07 09:05:03 1999\r\n"
        "---------------\x8a\x4a\x8e\x6e---------------\r\n"
        "   \x83\x49\x83\x74\x83\x5a\x83\x62\x83\x67|   \x83\x74\x83\x40\x83\x43\x83\x8b\x82\x60"
        "    \x83\x74\x83\x40\x83\x43\x83\x8b\x82\x61\r\n"
        "   16(0x0010)|   65(0x0041)    66(0x0042)\r\n"
        "70000(0x11170)|   65(0x0041)    66(0x0042)\r\n"
        "---------------\x8f\x49\x97\xb9---------------\r\n"
        "\r\n";
    std::string text;
    SearchReport().ForEachText("\r\n", [&](std::string_view slice) {
        text += slice;
        return true;
    });
    EXPECT_EQ(text, expected);
}

TEST_F(SearchTest, EachModeWritesItsDescriptionAndMatchLines)
{
    struct Case {
        const char* name;
        int mode, valueA, valueB, target, sign;
        std::string a, b;
        std::vector<std::string> description;  // after the path lines are substituted
        std::vector<std::string> matches;
        int columns;
    };
    const std::string A = "@A", B = "@B";
    const std::vector<Case> cases = {
        {"ValueInA", 0, 0x41, 0, 0, 0, "xAyA", "AAAA",
         {A, "から   65(0x0041)のオフセットを検索します。"},
         {"    1(0x0001)|   65(0x0041)", "    3(0x0003)|   65(0x0041)"}, 1},
        {"ValueInBStillNamesFileAInHeader", 0, 0x41, 0, 1, 0, "AAAA", "xxA",
         {B, "から   65(0x0041)のオフセットを検索します。"}, {"    2(0x0002)|   65(0x0041)"}, 1},
        {"UnselectedTargetSearchesFileA", 0, 0x41, 0, -1, 0, "A", "x",
         {A, "から   65(0x0041)のオフセットを検索します。"}, {"    0(0x0000)|   65(0x0041)"}, 1},
        {"PairWithEqualValues", 1, 7, 7, 0, 0, "\x07\x07\x01"s, "\x07\x01\x07"s,
         {A, "が    7(0x0007)かつ、", B, "が    7(0x0007)のオフセットを検索します。"},
         {"    0(0x0000)|    7(0x0007)     7(0x0007)"}, 2},
        {"MatchStopsAtShorterFile", 2, 0, 0, 0, 0, "ab\xff" "d", "xb\xff",
         {A, B, "が、一致するオフセットを検索します。"},
         {"    1(0x0001)|   98(0x0062)    98(0x0062)", "    2(0x0002)|  255(0x00ff)   255(0x00ff)"}, 2},
        {"ChangeIncreaseDoesNotWrap", 3, 5, 0, 0, 0, "\x10\xfe\x00"s, "\x15\x03\x05"s,
         {A, "から", B, "に、   5(0x05増)変化しているオフセットを検索します。"},
         {"    0(0x0000)|   16(0x0010)    21(0x0015)", "    2(0x0002)|    0(0x0000)     5(0x0005)"}, 2},
        {"ChangeDecrease", 3, 5, 0, 0, 1, "\x15\x03\xff"s, "\x10\xfe\xfa"s,
         {A, "から", B, "に、  -5(0x05減)変化しているオフセットを検索します。"},
         {"    0(0x0000)|   21(0x0015)    16(0x0010)", "    2(0x0002)|  255(0x00ff)   250(0x00fa)"}, 2},
        {"ChangeByZeroIsMatch", 3, 0, 0, 0, 1, "ab", "ac",
         {A, "から", B, "に、   0(0x00減)変化しているオフセットを検索します。"},
         {"    0(0x0000)|   97(0x0061)    97(0x0061)"}, 2},
        {"ChangeBy255", 3, 255, 0, 0, 0, "\x00\x01\xff"s, "\xff\xff\x00"s,
         {A, "から", B, "に、 255(0xff増)変化しているオフセットを検索します。"},
         {"    0(0x0000)|    0(0x0000)   255(0x00ff)"}, 2},
        {"DifferenceIgnoresLongerTail", 4, 0, 0, 0, 0, "abcX", "abd",
         {A, B, "が、一致しないオフセットを検索します。"},
         {"    2(0x0002)|   99(0x0063)   100(0x0064)"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SignFlag = c.sign;
        const std::vector<std::string> lines = Run(c.mode, c.a, c.b, c.valueA, c.valueB, c.target);
        EXPECT_EQ(m_status, SearchStatus::Finished);
        std::vector<std::string> expected;
        for (const std::string& line : c.description) {
            expected.push_back(line == A ? PathA() : line == B ? PathB() : line);
        }
        expected.push_back("Sun Mar 07 09:05:03 1999");
        expected.push_back("---------------開始---------------");
        expected.push_back(c.columns == 1 ? "   オフセット|   ファイルＡ  "
                                          : "   オフセット|   ファイルＡ    ファイルＢ");
        expected.insert(expected.end(), c.matches.begin(), c.matches.end());
        expected.push_back("---------------終了---------------");
        expected.push_back("");
        EXPECT_EQ(lines, SjisLines(expected));
        EXPECT_TRUE(m_sink.messages.empty());
    }
}

TEST_F(SearchTest, EmptyFilesGiveHeadingAndEndOnly)
{
    const std::vector<std::string> lines = Run(4, "", "");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[6], Sjis("---------------終了---------------"));
    EXPECT_EQ(lines[7], "");
}

TEST_F(SearchTest, TimestampWritesTheDayWithALeadingZero)
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_wday = 1;
    time.tm_hour = 23;
    time.tm_min = 0;
    time.tm_sec = 59;
    const FixedClock clock(time);
    SetClock(&clock);
    AddTimestampLine();
    EXPECT_EQ(SearchReport().Line(0), "Mon Dec 07 23:00:59 2026");
}

TEST_F(SearchTest, OffsetsWidenPastFourHexAndFiveDecimalDigits)
{
    std::string a(100001, 'x'), b(100001, 'x');
    for (std::size_t offset : {65535u, 65536u, 99999u, 100000u}) a[offset] = 'A';
    const std::vector<std::string> lines = Run(0, a, b, 'A');
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[5], "65535(0xffff)|   65(0x0041)");
    EXPECT_EQ(lines[6], "65536(0x10000)|   65(0x0041)");
    EXPECT_EQ(lines[7], "99999(0x1869f)|   65(0x0041)");
    EXPECT_EQ(lines[8], "100000(0x186a0)|   65(0x0041)");
}

// Sparse files: `truncate` semantics make 4 GiB without using the disk.
TEST_F(SearchTest, OffsetsBeyondFourGibibytesPrintInFull)
{
    const std::string a = m_dir.File("big-a"), b = m_dir.File("big-b");
    constexpr off_t kOffset = off_t{1} << 32;
    for (const std::string& path : {a, b}) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, path == a ? "\x01" : "\x02", 1, kOffset), 1);
        ::close(fd);
    }
    SearchPaths = {a, b};
    ClearReport();
    ASSERT_EQ(RunSearch(4, 0, 0, 0), SearchStatus::Finished);
    const std::vector<std::string> lines = Lines(SearchReport());
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[6], "4294967296(0x100000000)|    1(0x0001)     2(0x0002)");
}

TEST_F(SearchTest, FilesThatCannotBeOpenedLeaveTheReportEmpty)
{
    const std::string file = m_dir.Write("file", "abc");
    const std::string fifo = m_dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string dir = m_dir.Path().string();
    struct Case {
        const char* name;
        int mode, target;
        std::string a, b;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"BothMissingTellsOnlyA", 2, 0, "", "/nonexistent/b", {"ﾌｧｲﾙＡが開けません。"}},
        {"BMissing", 1, 0, file, m_dir.File("missing"), {"ﾌｧｲﾙＢが開けません。"}},
        {"DirectoryAsA", 4, 0, dir, file, {"ﾌｧｲﾙＡが開けません。"}},
        {"FifoAsADoesNotBlock", 3, 0, fifo, file, {"ﾌｧｲﾙＡが開けません。"}},
        {"DeviceAsB", 4, 0, file, "/dev/zero", {"ﾌｧｲﾙＢが開けません。"}},
        {"ValueOnBWithBMissing", 0, 1, file, "", {"ﾌｧｲﾙＢが開けません。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_sink.messages.clear();
        SearchPaths = {c.a, c.b};
        ClearReport();
        EXPECT_EQ(RunSearch(c.mode, 0, 0, c.target), SearchStatus::NotOpened);
        EXPECT_EQ(SearchReport().LineCount(), 0u);
        EXPECT_EQ(m_sink.messages, SjisLines(c.messages));
        EXPECT_FALSE(SearchFiles[0].IsOpen());
        EXPECT_FALSE(SearchFiles[1].IsOpen());
    }
}

TEST_F(SearchTest, ValueSearchOnBIgnoresAMissingFileA)
{
    SearchPaths = {"", m_dir.Write("b", "zz")};
    ClearReport();
    EXPECT_EQ(RunSearch(0, 'z', 0, 1), SearchStatus::Finished);
    EXPECT_EQ(SearchReport().LineCount(), 9u);
    EXPECT_TRUE(m_sink.messages.empty());
}

// A clock that shrinks a file when the timestamp is taken: after the lengths
// were read and before the scan starts.
class ShrinkingClock final : public Clock {
public:
    ShrinkingClock(std::string path, off_t size) : m_path(std::move(path)), m_size(size) {}
    std::tm LocalNow() const override
    {
        if (::truncate(m_path.c_str(), m_size) != 0) ADD_FAILURE() << "truncate failed";
        return FixedClock().LocalNow();
    }

private:
    std::string m_path;
    off_t m_size;
};

TEST_F(SearchTest, AFileThatShrinksKeepsEarlierMatchesAndLacksTheEnd)
{
    constexpr std::size_t kSize = 600 * 1024;
    std::string a(kSize, 'x'), b(kSize, 'x');
    b[10] = b[kSize - 10] = 'y';
    SearchPaths = {m_dir.Write("a", a), m_dir.Write("b", b)};
    for (int shrinking : {0, 1}) {
        SCOPED_TRACE(shrinking);
        m_sink.messages.clear();
        ShrinkingClock clock(SearchPaths[shrinking], 300 * 1024);
        SetClock(&clock);
        ClearReport();
        EXPECT_EQ(RunSearch(4, 0, 0, 0), SearchStatus::ReadFailed);
        const std::vector<std::string> lines = Lines(SearchReport());
        ASSERT_EQ(lines.size(), 7u);  // two paths, sentence, timestamp, start, header, one match
        EXPECT_EQ(lines.back(), "   10(0x000a)|  120(0x0078)   121(0x0079)");
        EXPECT_EQ(m_sink.messages,
                  SjisLines({shrinking ? "ﾌｧｲﾙＢが読み込めません。" : "ﾌｧｲﾙＡが読み込めません。"}));
        EXPECT_FALSE(SearchFiles[0].IsOpen());
        EXPECT_FALSE(SearchFiles[1].IsOpen());
        SearchPaths[shrinking] = m_dir.Write(shrinking ? "b" : "a", shrinking ? b : a);
    }
}

TEST_F(SearchTest, UnknownModeAppendsNothing)
{
    SearchPaths = {m_dir.Write("a", "a"), m_dir.Write("b", "a")};
    EXPECT_EQ(RunSearch(5, 0, 0, 0), SearchStatus::NotOpened);
    EXPECT_EQ(SearchReport().LineCount(), 0u);
}

TEST_F(SearchTest, PathsAreConvertedToCp932AndHaveNoLengthBound)
{
    std::filesystem::path deep = m_dir.Path();
    while (deep.string().size() < 3800) deep /= std::string(200, 'd');
    std::filesystem::create_directories(deep);
    const std::string name = (deep / "データü.bin").string();
    ASSERT_GT(name.size(), 3800u);
    SearchPaths = {name, ""};
    {
        std::ofstream(name, std::ios::binary) << "q";
    }
    EXPECT_EQ(RunSearch(0, 'q', 0, 0), SearchStatus::Finished);
    EXPECT_EQ(SearchReport().Line(0), deep.string() + "/" + "\x83\x66\x81\x5b\x83\x5e?.bin");
    EXPECT_EQ(SearchReport().Line(5), "    0(0x0000)|  113(0x0071)");
}

}  // namespace
}  // namespace quarnel
