// The report: lines read back exactly as appended, at any index, in order,
// and as the text a save writes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/line_format.h"
#include "core/report.h"

namespace quarnel {
namespace {

std::string Text(const Report& report, std::string_view lineEnd)
{
    std::string text;
    EXPECT_TRUE(report.ForEachText(lineEnd, [&](std::string_view slice) {
        text += slice;
        return true;
    }));
    return text;
}

TEST(LineFormat, NumbersWidenPastTheirMinimumWidths)
{
    const std::vector<std::pair<std::uint64_t, std::string>> cases = {
        {0, "    0(0x0000)"},
        {65, "   65(0x0041)"},
        {65535, "65535(0xffff)"},
        {65536, "65536(0x10000)"},
        {99999, "99999(0x1869f)"},
        {100000, "100000(0x186a0)"},
        {4294967296u, "4294967296(0x100000000)"},
        {18446744073709551615u, "18446744073709551615(0xffffffffffffffff)"},
    };
    for (const auto& [value, text] : cases) {
        std::string out;
        AppendNumberColumn(out, value);
        EXPECT_EQ(out, text);
    }
}

// The writer that advances the offset's text digit by digit must give what
// formatting each offset afresh gives, across every carry and widening.
TEST(LineFormat, SequentialWriterMatchesFreshFormatting)
{
    std::vector<std::uint64_t> offsets;
    for (std::uint64_t start : {0ull, 9ull, 95ull, 4090ull, 65530ull, 99990ull, 1048570ull, 4294967290ull}) {
        for (std::uint64_t i = 0; i < 12; ++i) offsets.push_back(start + i);
    }
    offsets.push_back(5000000000ull);  // a jump
    offsets.push_back(5000000001ull);
    for (MatchLayout layout : {MatchLayout::OneColumn, MatchLayout::TwoColumns}) {
        MatchLineWriter writer(layout, "\r\n");
        for (std::uint64_t offset : offsets) {
            char fresh[kMaxMatchLine], sequential[kMaxMatchLine + 16];
            const std::size_t size = WriteMatchLine(fresh, layout, offset, 7, 250);
            const std::size_t written = writer.Write(sequential, offset, 7, 250);
            ASSERT_EQ(std::string(sequential, written), std::string(fresh, size) + "\r\n") << offset;
        }
    }
}

TEST(Report, TextAndMatchLinesReadBackInOrder)
{
    Report report;
    report.AppendLine("head");
    report.BeginMatchRun(MatchLayout::TwoColumns, -1, -1, -1);
    report.AppendMatch(16, 65, 66);
    report.AppendMatch(70000, 0, 255);
    report.AppendLine("");
    report.BeginMatchRun(MatchLayout::OneColumn, 9, -1, -1);
    report.AppendMatch(3, 0, 0);
    report.AppendLine("tail %s %n");

    const std::vector<std::string> expected = {
        "head",
        "   16(0x0010)|   65(0x0041)    66(0x0042)",
        "70000(0x11170)|    0(0x0000)   255(0x00ff)",
        "",
        "    3(0x0003)|    9(0x0009)",
        "tail %s %n",
    };
    ASSERT_EQ(report.LineCount(), expected.size());
    std::string joined;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(report.Line(i), expected[i]);
        joined += expected[i] + "\r\n";
    }
    EXPECT_EQ(Text(report, "\r\n"), joined);
    EXPECT_EQ(report.LongestLine(), expected[2].size());
    EXPECT_THROW((void)report.Line(expected.size()), std::out_of_range);
}

TEST(Report, RunsDeriveTheBytesTheyDoNotStore)
{
    Report report;
    report.BeginMatchRun(MatchLayout::TwoColumns, -1, -1, 0);  // match: b is a
    report.AppendMatch(1, 200, 0);
    report.BeginMatchRun(MatchLayout::TwoColumns, -1, -1, 251);  // change by -5
    report.AppendMatch(2, 21, 0);
    report.BeginMatchRun(MatchLayout::TwoColumns, 65, 66, -1);  // value pair
    report.AppendMatch(3, 0, 0);
    EXPECT_EQ(report.Line(0), "    1(0x0001)|  200(0x00c8)   200(0x00c8)");
    EXPECT_EQ(report.Line(1), "    2(0x0002)|   21(0x0015)    16(0x0010)");
    EXPECT_EQ(report.Line(2), "    3(0x0003)|   65(0x0041)    66(0x0042)");
}

// Many blocks and chunks, with gaps of every size: each line read at random
// equals the line formatted from what was appended.
TEST(Report, RandomAccessAcrossBlocksAndChunks)
{
    std::mt19937_64 random(3);
    Report report;
    report.AppendLine("first");
    report.BeginMatchRun(MatchLayout::TwoColumns, -1, -1, -1);
    struct Appended {
        std::uint64_t offset;
        std::uint8_t a, b;
    };
    std::vector<Appended> appended;
    std::uint64_t offset = 0;
    for (int i = 0; i < 300000; ++i) {
        const int kind = static_cast<int>(random() % 100);
        offset += kind < 80 ? 1 : kind < 95 ? random() % 300 + 1 : random() % (std::uint64_t{1} << 40) + 1;
        appended.push_back({offset, static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random())});
        report.AppendMatch(offset, appended.back().a, appended.back().b);
    }
    ASSERT_EQ(report.LineCount(), appended.size() + 1);
    char text[kMaxMatchLine];
    for (int probe = 0; probe < 20000; ++probe) {
        const std::size_t i = random() % appended.size();
        const Appended& line = appended[i];
        ASSERT_EQ(report.Line(i + 1),
                  std::string(text, WriteMatchLine(text, MatchLayout::TwoColumns, line.offset, line.a, line.b)))
            << i;
    }
    // The saved text runs through every line in order.
    std::string expected = "first\n";
    for (const Appended& line : appended) {
        expected.append(text, WriteMatchLine(text, MatchLayout::TwoColumns, line.offset, line.a, line.b));
        expected += '\n';
    }
    EXPECT_EQ(Text(report, "\n"), expected);
}

// The size a save preallocates must be the size it writes, also where the
// offsets widen inside a block; and reading in the smallest buffers must cut
// long lines without losing a byte.
TEST(Report, TextSizeAndSmallReadsAgreeWithTheText)
{
    Report report;
    report.AppendLine(std::string(1000, 'p'));
    report.BeginMatchRun(MatchLayout::TwoColumns, -1, -1, -1);
    for (std::uint64_t offset = 99900; offset < 100100; ++offset) report.AppendMatch(offset, 1, 2);
    for (std::uint64_t offset = 65530; offset < 65540; ++offset) report.AppendMatch(offset * 1000, 1, 2);
    report.AppendLine("");
    report.BeginMatchRun(MatchLayout::OneColumn, 3, -1, -1);
    for (std::uint64_t offset = 0; offset < 1000; offset += 3) report.AppendMatch(offset, 0, 0);
    for (const std::string_view lineEnd : {"\r\n", "\n"}) {
        const std::string text = Text(report, lineEnd);
        EXPECT_EQ(report.TextSize(lineEnd), text.size());
        Report::TextReader reader(report, lineEnd);
        std::string pieces;
        std::vector<char> buffer(Report::kMinTextBuffer);
        for (std::size_t size; (size = reader.Read(buffer.data(), buffer.size())) != 0;) pieces.append(buffer.data(), size);
        EXPECT_EQ(pieces, text);
    }
}

TEST(Report, DenseMatchLinesCostUnderFourBytes)
{
    Report report;
    report.BeginMatchRun(MatchLayout::TwoColumns, -1, -1, -1);
    constexpr std::uint64_t kLines = 4'000'000;
    for (std::uint64_t i = 0; i < kLines; ++i) report.AppendMatch(i * 2, 1, 2);
    EXPECT_LE(static_cast<double>(report.MatchStorageBytes()) / kLines, 4.0);
}

TEST(Report, ClearEmptiesAndTellsTheListener)
{
    Report report;
    int told = 0;
    report.SetChangeListener([&] { ++told; });
    report.AppendLine("x");
    report.BeginMatchRun(MatchLayout::OneColumn, 1, -1, -1);
    report.AppendMatch(0, 1, 1);
    EXPECT_EQ(told, 1);  // match lines do not call it
    report.Clear();
    EXPECT_EQ(told, 2);
    EXPECT_EQ(report.LineCount(), 0u);
    EXPECT_EQ(Text(report, "\r\n"), "");
    EXPECT_THROW(report.AppendMatch(5, 0, 0), std::logic_error);  // no open run
}

}  // namespace
}  // namespace quarnel
