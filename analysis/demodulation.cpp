#include "analysis/demodulation.h"

#include <algorithm>
#include <cstring>

#include "model/units.h"

ComplexF HourTurnOf(double period)
{
    return UnitOf(3600 * (TWO_PI / period));
}

ComplexF DemodulateOne(const float* residual, std::size_t hours, ComplexF turn)
{
    ComplexF z{1, 0};
    ComplexF sum{0, 0};
    for (std::size_t n = 0; n < hours; ++n) {
        const float r = residual[n];
        sum.re += r * z.re;
        sum.im += r * z.im;
        z = Times(z, turn);
    }
    return sum;
}

namespace {

// Lanes are kept in a few vectors of W floats each: real and imaginary parts
// apart, so that each line below is one vector operation on W lanes.
template <typename V>
constexpr int WidthOf = static_cast<int>(sizeof(V) / sizeof(float));

template <typename V, int K>
[[gnu::always_inline]] inline void DemodulateGroup(const float* residual, std::size_t hours, const float* turnRe,
                                                   const float* turnIm, float* sumRe, float* sumIm)
{
    constexpr int W = WidthOf<V>;
    V zr[K], zi[K], sr[K], si[K], tr[K], ti[K];
    for (int k = 0; k < K; ++k) {
        std::memcpy(&tr[k], turnRe + k * W, sizeof(V));
        std::memcpy(&ti[k], turnIm + k * W, sizeof(V));
        zr[k] = V{} + 1.0f;
        zi[k] = V{};
        sr[k] = V{};
        si[k] = V{};
    }
    for (std::size_t n = 0; n < hours; ++n) {
        const V r = residual[n] - V{};  // every lane r; x − (+0) is x, −0 included
#pragma GCC unroll 4
        for (int k = 0; k < K; ++k) {
            sr[k] += r * zr[k];
            si[k] += r * zi[k];
            const V re = zr[k] * tr[k] - zi[k] * ti[k];
            const V im = zr[k] * ti[k] + zi[k] * tr[k];
            zr[k] = re;
            zi[k] = im;
        }
    }
    for (int k = 0; k < K; ++k) {
        std::memcpy(sumRe + k * W, &sr[k], sizeof(V));
        std::memcpy(sumIm + k * W, &si[k], sizeof(V));
    }
}

// Up to four vectors a pass: enough independent chains to hide the latency
// of the recurrence, few enough to stay in registers. Lanes past the last
// are padded with the turn 1, whose sums are dropped.
template <typename V>
[[gnu::always_inline]] inline void DemodulateAll(const float* residual, std::size_t hours, const ComplexF* turns,
                                                 std::size_t lanes, ComplexF* sums)
{
    constexpr int W = WidthOf<V>;
    constexpr int GROUP = 4 * W;
    for (std::size_t first = 0; first < lanes; first += GROUP) {
        const std::size_t count = std::min<std::size_t>(GROUP, lanes - first);
        float turnRe[GROUP], turnIm[GROUP], sumRe[GROUP], sumIm[GROUP];
        for (std::size_t l = 0; l < GROUP; ++l) {
            turnRe[l] = l < count ? turns[first + l].re : 1.0f;
            turnIm[l] = l < count ? turns[first + l].im : 0.0f;
        }
        switch ((count + W - 1) / W) {
        case 1: DemodulateGroup<V, 1>(residual, hours, turnRe, turnIm, sumRe, sumIm); break;
        case 2: DemodulateGroup<V, 2>(residual, hours, turnRe, turnIm, sumRe, sumIm); break;
        case 3: DemodulateGroup<V, 3>(residual, hours, turnRe, turnIm, sumRe, sumIm); break;
        default: DemodulateGroup<V, 4>(residual, hours, turnRe, turnIm, sumRe, sumIm); break;
        }
        for (std::size_t l = 0; l < count; ++l)
            sums[first + l] = {sumRe[l], sumIm[l]};
    }
}

typedef float Floats4 __attribute__((vector_size(16)));
typedef float Floats8 __attribute__((vector_size(32)));
typedef float Floats16 __attribute__((vector_size(64)));

void DemodulateBaseline(const float* residual, std::size_t hours, const ComplexF* turns, std::size_t lanes,
                        ComplexF* sums)
{
    DemodulateAll<Floats4>(residual, hours, turns, lanes, sums);
}

#if defined(__x86_64__) || defined(__i386__)
#define HALIOME_X86 1

[[gnu::target("avx2")]] void DemodulateAvx2(const float* residual, std::size_t hours, const ComplexF* turns,
                                            std::size_t lanes, ComplexF* sums)
{
    DemodulateAll<Floats8>(residual, hours, turns, lanes, sums);
}

[[gnu::target("avx512f")]] void DemodulateAvx512(const float* residual, std::size_t hours, const ComplexF* turns,
                                                 std::size_t lanes, ComplexF* sums)
{
    DemodulateAll<Floats16>(residual, hours, turns, lanes, sums);
}
#endif

}  // namespace

void DemodulateLanes(const float* residual, std::size_t hours, const ComplexF* turns, std::size_t lanes,
                     ComplexF* sums)
{
    const VectorCode code = Computation.vectorCode;
#ifdef HALIOME_X86
    if (code == VectorCode::Avx512)
        return DemodulateAvx512(residual, hours, turns, lanes, sums);
    if (code == VectorCode::Avx2)
        return DemodulateAvx2(residual, hours, turns, lanes, sums);
#endif
    DemodulateBaseline(residual, hours, turns, lanes, sums);
}
