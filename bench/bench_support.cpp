// The benchmarks' shared options, timing, files and memory figures.
#include "bench_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace quarnel::bench {

Options ParseOptions(int argc, char** argv, const char* program, Options options)
{
    for (int i = 1; i < argc; i += 2) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value && arg == "--dir") options.dir = value;
        else if (value && arg == "--report-dir") options.reportDir = value;
        else if (value && arg == "--size-mib") options.sizeMiB = std::stoull(value);
        else if (value && arg == "--dense-mib") options.denseMiB = std::stoull(value);
        else if (value && arg == "--runs") options.runs = std::max(1, std::atoi(value));
        else {
            std::fprintf(stderr, "usage: %s [--dir DIR] [--report-dir DIR] [--size-mib N] [--dense-mib N] [--runs N]\n",
                         program);
            std::exit(2);
        }
    }
    return options;
}

std::filesystem::path MakeRunFolder(const std::string& parent, const char* prefix)
{
    std::string pattern = parent + "/" + prefix + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder in " + parent);
    return pattern;
}

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0.0 : times[times.size() / 2];
}
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

void WriteAll(int fd, const std::uint8_t* data, std::size_t size, std::uint64_t offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (written <= 0) throw std::runtime_error("cannot write a benchmark file");
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
}

int Create(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    return fd;
}

// xorshift64*: plenty random for data nothing should compress or predict.
void FillRandom(std::vector<std::uint8_t>& block, std::uint64_t& state)
{
    for (std::size_t i = 0; i + 8 <= block.size(); i += 8) {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        const std::uint64_t value = state * 0x2545F4914F6CDD1Dull;
        for (int k = 0; k < 8; ++k) block[i + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
    }
}

void WriteRandomRange(int fd, std::uint64_t from, std::uint64_t size, std::uint64_t seed)
{
    std::vector<std::uint8_t> block(kBlock);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (std::uint64_t done = 0; done < size; done += kBlock) {
        FillRandom(block, state);
        WriteAll(fd, block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - done)),
                 from + done);
    }
}

std::uint64_t StatusField(const char* name)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == name) {
            std::uint64_t kib = 0;
            status >> kib;
            return kib * 1024;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

}  // namespace

void WriteRandomFile(const std::string& path, std::uint64_t size, std::uint64_t seed)
{
    const int fd = Create(path);
    WriteRandomRange(fd, 0, size, seed);
    ::close(fd);
}

void WriteChangedCopy(const std::string& from, const std::string& to, std::uint64_t changes)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) throw std::runtime_error("cannot open " + from);
    const int out = Create(to);
    const off_t size = ::lseek(in, 0, SEEK_END);
    const std::uint64_t step = changes ? static_cast<std::uint64_t>(size) / changes : 0;
    std::vector<std::uint8_t> block(kBlock);
    for (std::uint64_t offset = 0; offset < static_cast<std::uint64_t>(size); offset += kBlock) {
        const ssize_t got = ::pread(in, block.data(), kBlock, static_cast<off_t>(offset));
        if (got <= 0) throw std::runtime_error("cannot read " + from);
        if (step) {
            for (std::uint64_t at = (offset + step - 1) / step * step; at < offset + static_cast<std::uint64_t>(got); at += step) {
                ++block[static_cast<std::size_t>(at - offset)];
            }
        }
        WriteAll(out, block.data(), static_cast<std::size_t>(got), offset);
    }
    ::close(in);
    ::close(out);
}

void WriteSparseTail(const std::string& path, std::uint64_t size, std::uint64_t dataSize, std::uint64_t seed)
{
    const int fd = Create(path);
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0) throw std::runtime_error("cannot size " + path);
    WriteRandomRange(fd, size - dataSize, dataSize, seed);
    ::close(fd);
}

std::uint64_t PeakRss()
{
    return StatusField("VmHWM:");
}

void ResetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace quarnel::bench
