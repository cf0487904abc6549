// Saving a report: the exact bytes, and a failed save that leaves the old
// file as it was.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "core/results_file.h"
#include "tests/support/test_support.h"

namespace quarnel {
namespace {

using testing::ReadFile;
using testing::TempDir;

class ResultsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_report.AppendLine("\x83\x74\x83\x40\x83\x43\x83\x8b 100%s");  // ファイル 100%s
        m_report.BeginMatchRun(MatchLayout::OneColumn, 65, -1, -1);
        m_report.AppendMatch(16, 0, 0);
        m_report.AppendLine("");
    }

    Report m_report;
    TempDir m_dir;
};

constexpr char kSaved[] = "\x83\x74\x83\x40\x83\x43\x83\x8b 100%s\r\n   16(0x0010)|   65(0x0041)\r\n\r\n";

TEST_F(ResultsFileTest, WritesEveryLineWithCrLf)
{
    const std::string path = m_dir.File("report.txt");
    ASSERT_TRUE(SaveReportFile(m_report, path).ok);
    EXPECT_EQ(ReadFile(path), kSaved);
    EXPECT_EQ((std::filesystem::status(path).permissions() & std::filesystem::perms::owner_write),
              std::filesystem::perms::owner_write);
}

TEST_F(ResultsFileTest, Utf8WritesLf)
{
    const std::string path = m_dir.File("report.txt");
    ASSERT_TRUE(SaveReportFile(m_report, path, ReportEncoding::Utf8Lf).ok);
    EXPECT_EQ(ReadFile(path), "ファイル 100%s\n   16(0x0010)|   65(0x0041)\n\n");
}

TEST_F(ResultsFileTest, EmptyReportGivesEmptyFile)
{
    const std::string path = m_dir.Write("old.txt", "old contents");
    ASSERT_TRUE(SaveReportFile(Report(), path).ok);
    EXPECT_EQ(ReadFile(path), "");
}

TEST_F(ResultsFileTest, ReplacesALongerFileWhollyAndKeepsItsModeAndLinks)
{
    const std::string path = m_dir.Write("old.txt", std::string(100000, 'x'));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string link = m_dir.File("link.txt");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(SaveReportFile(m_report, link).ok);
    EXPECT_EQ(ReadFile(path), kSaved);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    struct stat info{};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 2);
}

TEST_F(ResultsFileTest, FullDeviceFailsWithNoSpace)
{
    const SaveOutcome outcome = SaveReportFile(m_report, "/dev/full");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error, ENOSPC);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    EXPECT_TRUE(SaveReportFile(m_report, "/dev/null").ok);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

// A file-size limit makes a write fail part-way (EFBIG), as a full disk would.
TEST_F(ResultsFileTest, FailedWriteLeavesTheOldFileAsItWas)
{
    const std::string path = m_dir.Write("old.txt", "precious");
    Report big;
    big.BeginMatchRun(MatchLayout::TwoColumns, -1, -1, -1);
    for (std::uint64_t i = 0; i < 200000; ++i) big.AppendMatch(i, 1, 2);

    struct rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const SaveOutcome outcome = SaveReportFile(big, path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error, EFBIG);
    EXPECT_EQ(ReadFile(path), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 1);
}

TEST_F(ResultsFileTest, RefusesFoldersAndMissingFolders)
{
    for (const std::string& path : {m_dir.Path().string(), m_dir.File("no/such/folder.txt"), std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(SaveReportFile(m_report, path).ok);
    }
}

}  // namespace
}  // namespace quarnel
