// quarnel-cli: runs one search over two files without the windows and writes
// the report exactly as the results file would hold it.
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "core/cp932.h"
#include "core/results_file.h"
#include "core/search.h"
#include "core/texts.h"
#include "core/value_fields.h"

namespace {

constexpr std::string_view kUsage =
    "usage: quarnel-cli --mode value|pair|match|change|diff [-A FILE_A] [-B FILE_B]\n"
    "                   [--value-a N] [--value-b N] [--target A|B] [--sign +|-]\n"
    "                   [-o REPORT] [--utf8]\n"
    "\n"
    "  --mode       value (0): offsets of FILE holding --value-a (file --target)\n"
    "               pair (1): A holds --value-a and B holds --value-b\n"
    "               match (2): A and B agree    diff (4): A and B differ\n"
    "               change (3): B = A + --value-a (--sign +) or A - --value-a (--sign -)\n"
    "  --value-a N, --value-b N   a byte 0..255: 65, $41, 0x41, x41 (default 0)\n"
    "  -o REPORT    write the report to REPORT instead of standard output\n"
    "  --utf8       write UTF-8 with LF line ends, for reading in a terminal\n"
    "\n"
    "The report is CP932 text with CR LF after every line. Exit status: 0 when the\n"
    "search ran to its end, 1 when a file could not be opened, read or written,\n"
    "2 for a usage error.\n";

// Texts for the user: CP932 as it is where the terminal speaks it, else UTF-8.
std::string ForTerminal(std::string_view cp932)
{
    const std::string_view codeset = nl_langinfo(CODESET);
    if (codeset == "CP932" || codeset == "SHIFT_JIS" || codeset == "SJIS") return std::string(cp932);
    return quarnel::Cp932ToUtf8(cp932);
}

class StderrSink final : public quarnel::MessageSink {
public:
    void ShowMessage(std::string_view cp932) override
    {
        std::cerr << ForTerminal(cp932) << '\n';
    }
};

struct Options {
    int mode = -1;
    int valueA = 0;
    int valueB = 0;
    int target = quarnel::kFileA;
    int sign = 0;
    std::string pathA, pathB, output;
    bool utf8 = false;
    bool help = false;
};

int UsageError(const std::string& why)
{
    std::cerr << "quarnel-cli: " << why << '\n' << kUsage;
    return 2;
}

std::optional<int> ParseMode(std::string_view text)
{
    constexpr std::string_view kNames[] = {"value", "pair", "match", "change", "diff"};
    for (int i = 0; i < 5; ++i) {
        if (text == kNames[i] || text == std::string(1, static_cast<char>('0' + i))) return i;
    }
    return std::nullopt;
}

std::optional<int> ParseByte(std::string_view text)
{
    const std::optional<std::int32_t> value = quarnel::ParseDecimal(text);
    if (!value || *value < 0 || *value > 255) return std::nullopt;
    return *value;
}

// Parses argv; returns an exit status for a usage error.
std::optional<int> ParseArguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return std::nullopt;
        }
        if (arg == "--utf8") {
            options.utf8 = true;
            continue;
        }
        const bool takesValue = arg == "--mode" || arg == "-A" || arg == "-B" ||
                                arg == "--value-a" || arg == "--value-b" ||
                                arg == "--target" || arg == "--sign" || arg == "-o";
        if (!takesValue) return UsageError("unknown argument: " + std::string(arg));
        if (i + 1 >= argc) return UsageError(std::string(arg) + " needs a value");
        const std::string_view value = argv[++i];
        if (arg == "--mode") {
            const std::optional<int> mode = ParseMode(value);
            if (!mode) return UsageError("unknown mode: " + std::string(value));
            options.mode = *mode;
        } else if (arg == "-A") {
            options.pathA = value;
        } else if (arg == "-B") {
            options.pathB = value;
        } else if (arg == "--value-a" || arg == "--value-b") {
            const std::optional<int> byte = ParseByte(value);
            if (!byte) return UsageError(std::string(arg) + " takes a byte 0..255, not " + std::string(value));
            (arg == "--value-a" ? options.valueA : options.valueB) = *byte;
        } else if (arg == "--target") {
            if (value != "A" && value != "B") return UsageError("--target takes A or B");
            options.target = value == "B" ? quarnel::kFileB : quarnel::kFileA;
        } else if (arg == "--sign") {
            if (value != "+" && value != "-") return UsageError("--sign takes + or -");
            options.sign = value == "-" ? 1 : 0;
        } else {
            options.output = value;
        }
    }
    if (options.mode < 0) return UsageError("--mode is required");
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    Options options;
    if (const std::optional<int> status = ParseArguments(argc, argv, options)) return *status;
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }

    StderrSink sink;
    quarnel::SetMessageSink(&sink);
    quarnel::SearchPaths = {options.pathA, options.pathB};
    quarnel::SignFlag = options.sign;
    quarnel::ClearReport();
    const quarnel::SearchStatus status =
        quarnel::RunSearch(options.mode, options.valueA, options.valueB, options.target);
    if (status == quarnel::SearchStatus::NotOpened) return 1;

    const auto encoding = options.utf8 ? quarnel::ReportEncoding::Utf8Lf
                                       : quarnel::ReportEncoding::Cp932Crlf;
    const quarnel::Report& report = quarnel::SearchReport();
    const quarnel::SaveOutcome saved =
        options.output.empty() ? quarnel::WriteReport(report, STDOUT_FILENO, encoding)
                               : quarnel::SaveReportFile(report, options.output, encoding);
    if (!saved.ok) {
        std::cerr << ForTerminal(quarnel::texts::kCannotSave) << " (" << std::strerror(saved.error)
                  << ")\n";
        return 1;
    }
    return status == quarnel::SearchStatus::Finished ? 0 : 1;
}
