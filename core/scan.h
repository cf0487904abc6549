// Finding the offsets that match, a block at a time: a kernel turns two
// blocks into one bit per offset, chosen once per search for this processor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quarnel {

// What a match is, for bytes a (file A, or the one file) and b (file B).
enum class ScanKind : std::uint8_t {
    Never,       // nothing matches (a value outside 0..255)
    Value,       // a == p
    Pair,        // a == p and b == q
    Match,       // a == b
    Difference,  // a != b
    Increase,    // b == a + p, with no wrap past 255
    Decrease     // b == a - p, with no wrap below 0
};

struct ScanRule {
    ScanKind kind = ScanKind::Never;
    std::uint8_t p = 0;
    std::uint8_t q = 0;
};

// Whether bytes a and b match by `rule`, as plain integers.
[[nodiscard]] bool Matches(const ScanRule& rule, int a, int b);

// The rule of change search for `amount`: b - amount == a as plain integers.
[[nodiscard]] ScanRule ChangeRule(int amount);

// Sets bit (i % 64) of masks[i / 64] when offset i < n matches, for all i < n;
// bits at and past n are clear. `b` is not read for Value and Never.
using MaskKernel = void (*)(const ScanRule& rule, const std::uint8_t* a,
                            const std::uint8_t* b, std::size_t n, std::uint64_t* masks);

struct NamedKernel {
    std::string_view name;
    MaskKernel kernel;
};

// Every kernel this processor can run, the plain loop first and the fastest last.
[[nodiscard]] std::vector<NamedKernel> AvailableKernels();
// The fastest of them.
[[nodiscard]] MaskKernel FastestKernel();

// The kernels, for the dispatch and for tests.
void PlainMaskKernel(const ScanRule&, const std::uint8_t*, const std::uint8_t*, std::size_t,
                     std::uint64_t*);
void Sse2MaskKernel(const ScanRule&, const std::uint8_t*, const std::uint8_t*, std::size_t,
                    std::uint64_t*);
void Avx2MaskKernel(const ScanRule&, const std::uint8_t*, const std::uint8_t*, std::size_t,
                    std::uint64_t*);

}  // namespace quarnel
