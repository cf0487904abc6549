// Every kernel against a byte-by-byte loop written here from the rules, at
// lengths around each vector edge; and whole searches across block edges and
// sparse holes against the same loop.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/block_reader.h"
#include "core/line_format.h"
#include "core/scan.h"
#include "core/search.h"
#include "tests/support/test_support.h"

namespace quarnel {
namespace {

// A match as the search's rules state it, in plain signed integers.
bool Expected(int mode, int valueA, int valueB, int amount, int a, int b)
{
    switch (mode) {
    case 0: return a == valueA;
    case 1: return a == valueA && b == valueB;
    case 2: return a == b;
    case 3: return b - amount == a;
    default: return a != b;
    }
}

ScanRule RuleFor(int mode, int valueA, int valueB, int amount)
{
    switch (mode) {
    case 0: return {ScanKind::Value, static_cast<std::uint8_t>(valueA), 0};
    case 1: return {ScanKind::Pair, static_cast<std::uint8_t>(valueA), static_cast<std::uint8_t>(valueB)};
    case 2: return {ScanKind::Match, 0, 0};
    case 3: return ChangeRule(amount);
    default: return {ScanKind::Difference, 0, 0};
    }
}

// Bytes from a small alphabet near the byte range's ends, so every rule
// matches often and the wrap cases come up.
std::vector<std::uint8_t> Bytes(std::mt19937& random, std::size_t n)
{
    static constexpr std::uint8_t kAlphabet[] = {0, 1, 2, 5, 0x10, 0x15, 0x7f, 0x80, 0xfa, 0xfe, 0xff};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    std::vector<std::uint8_t> bytes(n);
    for (std::uint8_t& byte : bytes) byte = kAlphabet[pick(random)];
    return bytes;
}

struct RuleCase {
    int mode, valueA, valueB, amount;
};

const std::vector<RuleCase> kRuleCases = {
    {0, 0, 0, 0},    {0, 255, 0, 0},  {1, 5, 0x10, 0}, {1, 0xff, 0xff, 0}, {2, 0, 0, 0},
    {3, 0, 0, 0},    {3, 0, 0, 5},    {3, 0, 0, -5},   {3, 0, 0, 255},      {3, 0, 0, -255},
    {3, 0, 0, 1},    {3, 0, 0, -1},   {3, 0, 0, 0x80}, {4, 0, 0, 0},
};

TEST(ScanKernel, EveryKernelAgreesWithTheByteLoopAtEveryEdge)
{
    std::mt19937 random(20261211);
    for (const NamedKernel& kernel : AvailableKernels()) {
        for (const RuleCase& rule : kRuleCases) {
            for (std::size_t n : {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 127, 128, 129, 191, 200, 255, 256, 257}) {
                SCOPED_TRACE(::testing::Message() << kernel.name << " mode " << rule.mode << " amount "
                                                  << rule.amount << " n " << n);
                const std::vector<std::uint8_t> a = Bytes(random, n), b = Bytes(random, n);
                // Guard words past the end must stay as they were.
                std::vector<std::uint64_t> masks((n + 63) / 64 + 1, 0xDEADBEEFu);
                kernel.kernel(RuleFor(rule.mode, rule.valueA, rule.valueB, rule.amount), a.data(),
                              b.data(), n, masks.data());
                for (std::size_t i = 0; i < n; ++i) {
                    const bool expected =
                        Expected(rule.mode, rule.valueA, rule.valueB, rule.amount, a[i], b[i]);
                    ASSERT_EQ(((masks[i / 64] >> (i % 64)) & 1) != 0, expected) << "offset " << i;
                }
                if (n % 64 != 0) {
                    EXPECT_EQ(masks[n / 64] >> (n % 64), 0u) << "bits past the end";
                }
                EXPECT_EQ(masks.back(), 0xDEADBEEFu);
            }
        }
    }
}

TEST(ScanKernel, ChangeRuleIsNeverForAmountsNoByteCanReach)
{
    EXPECT_EQ(ChangeRule(256).kind, ScanKind::Never);
    EXPECT_EQ(ChangeRule(-256).kind, ScanKind::Never);
    EXPECT_EQ(ChangeRule(0).kind, ScanKind::Increase);
}

class BlockEdgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageSink(&m_sink);
        SetClock(&m_clock);
    }
    void TearDown() override
    {
        SetMessageSink(nullptr);
        SetClock(nullptr);
        SignFlag = 0;
    }

    // Runs a search and checks its match lines against the byte loop.
    void Check(const std::string& pathA, const std::string& pathB, const std::vector<std::uint8_t>& a,
               const std::vector<std::uint8_t>& b, const RuleCase& rule)
    {
        SearchPaths = {pathA, pathB};
        SignFlag = rule.amount < 0 ? 1 : 0;
        const int valueA = rule.mode == 3 ? std::abs(rule.amount) : rule.valueA;
        ClearReport();
        ASSERT_EQ(RunSearch(rule.mode, valueA, rule.valueB, 0), SearchStatus::Finished);
        const Report& report = SearchReport();
        const std::uint64_t heading = rule.mode == 0 ? 5 : rule.mode == 1 || rule.mode == 3 ? 7 : 6;
        std::uint64_t line = heading;
        const std::size_t n = std::min(a.size(), rule.mode == 0 ? a.size() : b.size());
        const MatchLayout layout = rule.mode == 0 ? MatchLayout::OneColumn : MatchLayout::TwoColumns;
        char text[kMaxMatchLine];
        for (std::size_t i = 0; i < n; ++i) {
            if (!Expected(rule.mode, rule.valueA, rule.valueB, rule.amount, a[i], b.empty() ? 0 : b[i])) continue;
            ASSERT_LT(line, report.LineCount());
            const std::uint8_t shownA = rule.mode <= 1 ? static_cast<std::uint8_t>(rule.valueA) : a[i];
            const std::uint8_t shownB = rule.mode == 1 ? static_cast<std::uint8_t>(rule.valueB) : b.empty() ? 0 : b[i];
            ASSERT_EQ(report.Line(line), std::string(text, WriteMatchLine(text, layout, i, shownA, shownB)))
                << "offset " << i;
            ++line;
        }
        EXPECT_EQ(line + 2, report.LineCount()) << "end marker and empty line follow the matches";
        EXPECT_TRUE(m_sink.messages.empty());
    }

    testing::TempDir m_dir;
    testing::RecordingSink m_sink;
    testing::FixedClock m_clock;
};

TEST_F(BlockEdgeTest, SearchesAcrossBlockEdgesAgreeWithTheByteLoop)
{
    constexpr std::size_t kBlock = BlockReader::kBlockSize;
    std::mt19937 random(7);
    for (std::size_t size : {kBlock - 1, kBlock, kBlock + 1, 2 * kBlock + 63}) {
        const std::vector<std::uint8_t> a = Bytes(random, size), b = Bytes(random, size + 100);
        const std::string pathA = m_dir.Write("a", std::string(a.begin(), a.end()));
        const std::string pathB = m_dir.Write("b", std::string(b.begin(), b.end()));
        for (const RuleCase& rule : {RuleCase{0, 0xff, 0, 0}, RuleCase{1, 5, 0x10, 0}, RuleCase{3, 0, 0, -5},
                                     RuleCase{4, 0, 0, 0}}) {
            SCOPED_TRACE(::testing::Message() << "size " << size << " mode " << rule.mode);
            Check(pathA, pathB, a, b, rule);
        }
    }
}

// Sparse files: holes read as zeros, and a search that cannot match 0
// against 0 passes over them.
TEST_F(BlockEdgeTest, SparseFilesSearchLikeTheirZeros)
{
    constexpr std::size_t kSize = 3 * 1024 * 1024;
    std::mt19937 random(11);
    std::vector<std::uint8_t> a(kSize, 0), b(kSize, 0);
    const std::string pathA = m_dir.File("sparse-a"), pathB = m_dir.File("sparse-b");
    // File A has data in its second MiB only, file B in its last 100 KiB only.
    const std::vector<std::uint8_t> dataA = Bytes(random, 1024 * 1024), dataB = Bytes(random, 100 * 1024);
    std::copy(dataA.begin(), dataA.end(), a.begin() + 1024 * 1024);
    std::copy(dataB.begin(), dataB.end(), b.end() - 100 * 1024);
    for (const auto& [path, bytes, from, size] :
         {std::tuple{pathA, &a, std::size_t{1024 * 1024}, dataA.size()},
          std::tuple{pathB, &b, kSize - 100 * 1024, dataB.size()}}) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, bytes->data() + from, size, static_cast<off_t>(from)), static_cast<ssize_t>(size));
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kSize)), 0);
        ::close(fd);
    }
    for (const RuleCase& rule : {RuleCase{4, 0, 0, 0}, RuleCase{1, 0xff, 0, 0}, RuleCase{0, 0xfe, 0, 0},
                                 RuleCase{3, 0, 0, 1}}) {
        SCOPED_TRACE(rule.mode);
        Check(pathA, pathB, a, b, rule);
    }
}

}  // namespace
}  // namespace quarnel
