// The plain and SSE2 kernels and the choice of kernel for this processor.
#include "scan.h"

#include "scan_simd.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define QUARNEL_X86 1
#endif

namespace quarnel {

ScanRule ChangeRule(int amount)
{
    if (amount < -255 || amount > 255) return {ScanKind::Never, 0, 0};
    if (amount >= 0) return {ScanKind::Increase, static_cast<std::uint8_t>(amount), 0};
    return {ScanKind::Decrease, static_cast<std::uint8_t>(-amount), 0};
}

bool Matches(const ScanRule& rule, int a, int b)
{
    return PlainMatches(rule, a, b);
}

void PlainMaskKernel(const ScanRule& rule, const std::uint8_t* a, const std::uint8_t* b,
                     std::size_t n, std::uint64_t* masks)
{
    const bool readsB = rule.kind != ScanKind::Value && rule.kind != ScanKind::Never;
    for (std::size_t from = 0; from < n; from += 64) {
        const std::size_t to = from + 64 < n ? from + 64 : n;
        PlainTail(rule, a, readsB ? b : nullptr, from, to, masks);
    }
}

#if QUARNEL_X86
namespace {

struct Sse2Ops {
    using V = __m128i;
    static constexpr std::size_t kWidth = 16;
    static V Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static V Set(std::uint8_t v) { return _mm_set1_epi8(static_cast<char>(v)); }
    static V Eq(V x, V y) { return _mm_cmpeq_epi8(x, y); }
    static V And(V x, V y) { return _mm_and_si128(x, y); }
    static V Or(V x, V y) { return _mm_or_si128(x, y); }
    static V Not(V x) { return _mm_xor_si128(x, _mm_set1_epi8(-1)); }
    static V Sub(V x, V y) { return _mm_sub_epi8(x, y); }
    static V Max(V x, V y) { return _mm_max_epu8(x, y); }
    static bool IsZero(V x) { return _mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_setzero_si128())) == 0xFFFF; }
    static std::uint32_t MoveMask(V x) { return static_cast<std::uint32_t>(_mm_movemask_epi8(x)); }
};

}  // namespace

void Sse2MaskKernel(const ScanRule& rule, const std::uint8_t* a, const std::uint8_t* b,
                    std::size_t n, std::uint64_t* masks)
{
    VectorMaskKernel<Sse2Ops>(rule, a, b, n, masks);
}
#endif

std::vector<NamedKernel> AvailableKernels()
{
    std::vector<NamedKernel> kernels{{"plain", PlainMaskKernel}};
#if QUARNEL_X86
    kernels.push_back({"sse2", Sse2MaskKernel});
    if (__builtin_cpu_supports("avx2")) kernels.push_back({"avx2", Avx2MaskKernel});
#endif
    return kernels;
}

MaskKernel FastestKernel()
{
    static const MaskKernel fastest = AvailableKernels().back().kernel;
    return fastest;
}

}  // namespace quarnel
