// The AVX2 kernel. This file alone is compiled for AVX2; it is called only
// after the processor has said it supports it.
#include "scan.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "scan_simd.h"

namespace quarnel {
namespace {

struct Avx2Ops {
    using V = __m256i;
    static constexpr std::size_t kWidth = 32;
    static V Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    static V Set(std::uint8_t v) { return _mm256_set1_epi8(static_cast<char>(v)); }
    static V Eq(V x, V y) { return _mm256_cmpeq_epi8(x, y); }
    static V And(V x, V y) { return _mm256_and_si256(x, y); }
    static V Or(V x, V y) { return _mm256_or_si256(x, y); }
    static V Not(V x) { return _mm256_xor_si256(x, _mm256_set1_epi8(-1)); }
    static V Sub(V x, V y) { return _mm256_sub_epi8(x, y); }
    static V Max(V x, V y) { return _mm256_max_epu8(x, y); }
    static bool IsZero(V x) { return _mm256_testz_si256(x, x) != 0; }
    static std::uint32_t MoveMask(V x) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(x)); }
};

}  // namespace

void Avx2MaskKernel(const ScanRule& rule, const std::uint8_t* a, const std::uint8_t* b,
                    std::size_t n, std::uint64_t* masks)
{
    VectorMaskKernel<Avx2Ops>(rule, a, b, n, masks);
}

}  // namespace quarnel
#endif
