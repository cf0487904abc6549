// What the benchmarks share: their options, timing, the files they make
// (from a fast generator, so that making them costs little next to what is
// measured) and the process's memory figures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quarnel::bench {

struct Options {
    std::string dir = std::filesystem::temp_directory_path().string();
    std::string reportDir;  // where results files go; empty: dir
    std::uint64_t sizeMiB = 1024;
    std::uint64_t denseMiB = 256;
    int runs = 5;
};

// Reads --dir, --report-dir, --size-mib, --dense-mib and --runs over
// `defaults`; prints the usage of `program` and exits on anything else.
[[nodiscard]] Options ParseOptions(int argc, char** argv, const char* program, Options defaults);

// A new folder under `parent` for one run's files.
[[nodiscard]] std::filesystem::path MakeRunFolder(const std::string& parent, const char* prefix);

// Wall-clock seconds `work` takes, and the median of a set of such times.
[[nodiscard]] double Seconds(const std::function<void()>& work);
[[nodiscard]] double Median(std::vector<double> times);

// Writes `size` pseudo-random bytes (seeded) to `path`, then flips `changes`
// bytes spread evenly if `changes` > 0. Streams in blocks: no large buffers.
void WriteRandomFile(const std::string& path, std::uint64_t size, std::uint64_t seed);
// Copies `from` to `to`, adding 1 to `changes` bytes spread evenly.
void WriteChangedCopy(const std::string& from, const std::string& to, std::uint64_t changes);
// A sparse file of `size` bytes whose last `dataSize` bytes are random.
void WriteSparseTail(const std::string& path, std::uint64_t size, std::uint64_t dataSize,
                     std::uint64_t seed);

// The process's peak resident set size so far, in bytes (VmHWM).
[[nodiscard]] std::uint64_t PeakRss();
// Resets the peak to the current size, so growth can be measured from here.
void ResetPeakRss();

}  // namespace quarnel::bench
