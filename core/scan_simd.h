// The vector kernel, written once over a small set of vector operations and
// compiled once per instruction set (scan.cpp for SSE2, scan_avx2.cpp for
// AVX2). Everything here has internal linkage, so the AVX2 copy can never be
// picked by the linker for code that runs on a processor without AVX2.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan.h"

namespace quarnel {
namespace {

// A match in plain integers, for the bytes past the last full group of 64.
inline bool PlainMatches(const ScanRule& rule, int a, int b)
{
    switch (rule.kind) {
    case ScanKind::Never: return false;
    case ScanKind::Value: return a == rule.p;
    case ScanKind::Pair: return a == rule.p && b == rule.q;
    case ScanKind::Match: return a == b;
    case ScanKind::Difference: return a != b;
    case ScanKind::Increase: return b - rule.p == a;
    case ScanKind::Decrease: return b + rule.p == a;
    }
    return false;
}

inline void PlainTail(const ScanRule& rule, const std::uint8_t* a, const std::uint8_t* b,
                      std::size_t from, std::size_t n, std::uint64_t* masks)
{
    if (from >= n) return;
    std::uint64_t mask = 0;
    for (std::size_t i = from; i < n; ++i) {
        if (PlainMatches(rule, a[i], b ? b[i] : 0)) mask |= std::uint64_t{1} << (i - from);
    }
    masks[from / 64] = mask;
}

template <class Ops>
struct Predicates {
    using V = typename Ops::V;

    struct Value {
        static constexpr bool kReadsB = false;
        V p;
        V operator()(V a, V) const { return Ops::Eq(a, p); }
    };
    struct Pair {
        static constexpr bool kReadsB = true;
        V p, q;
        V operator()(V a, V b) const { return Ops::And(Ops::Eq(a, p), Ops::Eq(b, q)); }
    };
    struct Match {
        static constexpr bool kReadsB = true;
        V operator()(V a, V b) const { return Ops::Eq(a, b); }
    };
    struct Difference {
        static constexpr bool kReadsB = true;
        V operator()(V a, V b) const { return Ops::Not(Ops::Eq(a, b)); }
    };
    // b - a == p modulo 256, and b >= p so that a + p did not wrap.
    struct Increase {
        static constexpr bool kReadsB = true;
        V p;
        V operator()(V a, V b) const
        {
            return Ops::And(Ops::Eq(Ops::Sub(b, a), p), Ops::Eq(Ops::Max(b, p), b));
        }
    };
    // a - b == p modulo 256, and a >= p so that a - p did not wrap.
    struct Decrease {
        static constexpr bool kReadsB = true;
        V p;
        V operator()(V a, V b) const
        {
            return Ops::And(Ops::Eq(Ops::Sub(a, b), p), Ops::Eq(Ops::Max(a, p), a));
        }
    };
};

// One mask word per 64 bytes. Most groups match nowhere when a search has few
// hits, so the lanes are OR-ed and tested once before any mask is built.
template <class Ops, class Pred>
void MaskLoop(const Pred& pred, const ScanRule& rule, const std::uint8_t* a,
              const std::uint8_t* b, std::size_t n, std::uint64_t* masks)
{
    constexpr std::size_t kLanes = 64 / Ops::kWidth;
    const std::size_t groups = n / 64;
    for (std::size_t g = 0; g < groups; ++g) {
        const std::uint8_t* pa = a + g * 64;
        const std::uint8_t* pb = Pred::kReadsB ? b + g * 64 : pa;
        typename Ops::V lanes[kLanes];
        for (std::size_t i = 0; i < kLanes; ++i) {
            lanes[i] = pred(Ops::Load(pa + i * Ops::kWidth), Ops::Load(pb + i * Ops::kWidth));
        }
        typename Ops::V any = lanes[0];
        for (std::size_t i = 1; i < kLanes; ++i) any = Ops::Or(any, lanes[i]);
        std::uint64_t mask = 0;
        if (!Ops::IsZero(any)) {
            for (std::size_t i = 0; i < kLanes; ++i) {
                mask |= static_cast<std::uint64_t>(Ops::MoveMask(lanes[i])) << (i * Ops::kWidth);
            }
        }
        masks[g] = mask;
    }
    PlainTail(rule, a, Pred::kReadsB ? b : nullptr, groups * 64, n, masks);
}

template <class Ops>
void VectorMaskKernel(const ScanRule& rule, const std::uint8_t* a, const std::uint8_t* b,
                      std::size_t n, std::uint64_t* masks)
{
    using P = Predicates<Ops>;
    const auto p = Ops::Set(rule.p);
    const auto q = Ops::Set(rule.q);
    switch (rule.kind) {
    case ScanKind::Never:
        for (std::size_t g = 0; g < (n + 63) / 64; ++g) masks[g] = 0;
        return;
    case ScanKind::Value: return MaskLoop<Ops>(typename P::Value{p}, rule, a, b, n, masks);
    case ScanKind::Pair: return MaskLoop<Ops>(typename P::Pair{p, q}, rule, a, b, n, masks);
    case ScanKind::Match: return MaskLoop<Ops>(typename P::Match{}, rule, a, b, n, masks);
    case ScanKind::Difference:
        return MaskLoop<Ops>(typename P::Difference{}, rule, a, b, n, masks);
    case ScanKind::Increase: return MaskLoop<Ops>(typename P::Increase{p}, rule, a, b, n, masks);
    case ScanKind::Decrease: return MaskLoop<Ops>(typename P::Decrease{p}, rule, a, b, n, masks);
    }
}

}  // namespace
}  // namespace quarnel
