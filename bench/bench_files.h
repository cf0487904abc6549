// Files for the benchmark: made once per run in a folder of its own, from a
// fast generator so that making them costs little next to what is measured.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarnel::bench {

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
