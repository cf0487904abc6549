// Shared test helpers.
#include "test_support.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/cp932.h"

namespace quarnel::testing {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quarnel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Write(const std::string& name, std::string_view bytes) const
{
    const std::string path = File(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempDir::File(const std::string& name) const
{
    return (m_path / name).string();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

FixedClock::FixedClock()
{
    m_time.tm_year = 1999 - 1900;
    m_time.tm_mon = 2;
    m_time.tm_mday = 7;
    m_time.tm_wday = 0;
    m_time.tm_hour = 9;
    m_time.tm_min = 5;
    m_time.tm_sec = 3;
}

std::string Sjis(std::string_view utf8)
{
    return Utf8ToCp932(utf8);
}

std::vector<std::string> Lines(const Report& report)
{
    std::vector<std::string> lines;
    for (std::uint64_t i = 0; i < report.LineCount(); ++i) lines.push_back(report.Line(i));
    return lines;
}

}  // namespace quarnel::testing
