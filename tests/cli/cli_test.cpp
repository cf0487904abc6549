// quarnel-cli as a script uses it: its output bytes and its exit statuses.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

using quarnel::testing::ReadFile;
using quarnel::testing::TempDir;

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs quarnel-cli with `args`, its output and errors sent to files.
Result RunCli(const TempDir& dir, std::vector<std::string> args)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        args.insert(args.begin(), QUARNEL_CLI);
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) _exit(127);
        ::setenv("LC_ALL", "C.UTF-8", 1);
        ::execv(QUARNEL_CLI, argv.data());
        _exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

TEST(Cli, WritesTheResultsFileBytesToStandardOutput)
{
    TempDir dir;
    const std::string a = dir.Write("a", "xAyA"), b = dir.Write("b", "zzzB");
    const Result result = RunCli(dir, {"--mode", "pair", "-A", a, "-B", b, "--value-a", "$41", "--value-b", "0x42"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    const std::string tail =
        "---------------\x8a\x4a\x8e\x6e---------------\r\n"
        "   \x83\x49\x83\x74\x83\x5a\x83\x62\x83\x67|   \x83\x74\x83\x40\x83\x43\x83\x8b\x82\x60"
        "    \x83\x74\x83\x40\x83\x43\x83\x8b\x82\x61\r\n"
        "    3(0x0003)|   65(0x0041)    66(0x0042)\r\n"
        "---------------\x8f\x49\x97\xb9---------------\r\n\r\n";
    ASSERT_GE(result.out.size(), tail.size());
    EXPECT_EQ(result.out.substr(result.out.size() - tail.size()), tail);
    EXPECT_EQ(result.out.substr(0, a.size() + 2), a + "\r\n");
}

TEST(Cli, ModesByIndexSignTargetAndUtf8)
{
    TempDir dir;
    const std::string a = dir.Write("a", "\x15\x10"), b = dir.Write("b", "\x10\x10");
    const Result change = RunCli(dir, {"--mode", "3", "-A", a, "-B", b, "--value-a", "5", "--sign", "-", "--utf8"});
    EXPECT_EQ(change.status, 0);
    EXPECT_NE(change.out.find("に、  -5(0x05減)変化しているオフセットを検索します。\n"), std::string::npos);
    EXPECT_NE(change.out.find("\n    0(0x0000)|   21(0x0015)    16(0x0010)\n"), std::string::npos);
    const Result value = RunCli(dir, {"--mode", "value", "-B", b, "--target", "B", "--value-a", "16", "--utf8"});
    EXPECT_EQ(value.status, 0);
    EXPECT_EQ(value.out.substr(0, b.size() + 1), b + "\n");
    EXPECT_NE(value.out.find("\n    1(0x0001)|   16(0x0010)\n"), std::string::npos);
}

TEST(Cli, FailuresAndUsageErrors)
{
    TempDir dir;
    const std::string a = dir.Write("a", "ab");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string errStart;
    };
    const std::vector<Case> cases = {
        {"MissingA", {"--mode", "diff", "-A", dir.File("none"), "-B", a}, 1, "ﾌｧｲﾙＡが開けません。\n"},
        {"DirectoryB", {"--mode", "match", "-A", a, "-B", dir.Path().string()}, 1, "ﾌｧｲﾙＢが開けません。\n"},
        {"NoMode", {"-A", a}, 2, "quarnel-cli: --mode is required\n"},
        {"BadMode", {"--mode", "7"}, 2, "quarnel-cli: unknown mode: 7\n"},
        {"ValueOutOfRange", {"--mode", "0", "--value-a", "256"}, 2, "quarnel-cli: --value-a takes a byte"},
        {"ValueNotANumber", {"--mode", "0", "--value-b", "12 "}, 2, "quarnel-cli: --value-b takes a byte"},
        {"MissingValue", {"--mode"}, 2, "quarnel-cli: --mode needs a value\n"},
        {"UnknownOption", {"--mode", "0", "--fast"}, 2, "quarnel-cli: unknown argument: --fast\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result result = RunCli(dir, c.args);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.substr(0, c.errStart.size()), c.errStart);
    }
}

TEST(Cli, OutputFileIsReplacedOnlyWhenComplete)
{
    TempDir dir;
    const std::string a = dir.Write("a", "aaaa"), b = dir.Write("b", "abab");
    const std::string report = dir.Write("report.txt", "old");
    const Result saved = RunCli(dir, {"--mode", "diff", "-A", a, "-B", b, "-o", report});
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out, "");
    EXPECT_NE(ReadFile(report).find("    3(0x0003)|   97(0x0061)    98(0x0062)\r\n"), std::string::npos);

    const Result full = RunCli(dir, {"--mode", "diff", "-A", a, "-B", b, "-o", "/dev/full"});
    EXPECT_EQ(full.status, 1);
    const std::string message = "ﾌｧｲﾙが保存できません。 (";
    EXPECT_EQ(full.err.substr(0, message.size()), message);
}

TEST(Cli, HelpPrintsUsage)
{
    TempDir dir;
    const Result help = RunCli(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.substr(0, 31), "usage: quarnel-cli --mode value");
}

}  // namespace
