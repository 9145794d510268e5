#include "model/predictionwalk.h"

#include <cmath>
#include <cstring>

#include "base/computation.h"
#include "model/waves.h"

namespace {

// ---- Vector code: element-wise rotations and sums of products --------------------
//
// The sums are taken in vector lanes, in another order than one by one; the
// bounds hold for any order.

typedef double Doubles2 __attribute__((vector_size(16)));
typedef double Doubles4 __attribute__((vector_size(32)));
typedef double Doubles8 __attribute__((vector_size(64)));
constexpr std::size_t PADDING = 8;  // doubles in the widest vector

template <typename V>
constexpr std::size_t WidthOf = sizeof(V) / sizeof(double);

template <typename V>
[[gnu::always_inline]] inline void RotateAll(double* c, double* s, const double* turnCos, const double* turnSin,
                                             std::size_t n)
{
    for (std::size_t j = 0; j < n; j += WidthOf<V>) {
        V cj, sj, tc, ts;
        std::memcpy(&cj, c + j, sizeof(V));
        std::memcpy(&sj, s + j, sizeof(V));
        std::memcpy(&tc, turnCos + j, sizeof(V));
        std::memcpy(&ts, turnSin + j, sizeof(V));
        const V nc = cj * tc - sj * ts;
        const V ns = sj * tc + cj * ts;
        std::memcpy(c + j, &nc, sizeof(V));
        std::memcpy(s + j, &ns, sizeof(V));
    }
}

// Σ coef·value over the padded waves.
template <typename V>
[[gnu::always_inline]] inline double DotAll(const double* coef, const double* value, std::size_t n)
{
    V sum{};
    for (std::size_t j = 0; j < n; j += WidthOf<V>) {
        V a, b;
        std::memcpy(&a, coef + j, sizeof(V));
        std::memcpy(&b, value + j, sizeof(V));
        sum += a * b;
    }
    double total = 0;
    for (std::size_t l = 0; l < WidthOf<V>; ++l)
        total += sum[l];
    return total;
}

void RotateBaseline(double* c, double* s, const double* tc, const double* ts, std::size_t n)
{
    RotateAll<Doubles2>(c, s, tc, ts, n);
}

double DotBaseline(const double* coef, const double* value, std::size_t n)
{
    return DotAll<Doubles2>(coef, value, n);
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] void RotateAvx2(double* c, double* s, const double* tc, const double* ts, std::size_t n)
{
    RotateAll<Doubles4>(c, s, tc, ts, n);
}

[[gnu::target("avx2")]] double DotAvx2(const double* coef, const double* value, std::size_t n)
{
    return DotAll<Doubles4>(coef, value, n);
}

[[gnu::target("avx512f")]] void RotateAvx512(double* c, double* s, const double* tc, const double* ts, std::size_t n)
{
    RotateAll<Doubles8>(c, s, tc, ts, n);
}

[[gnu::target("avx512f")]] double DotAvx512(const double* coef, const double* value, std::size_t n)
{
    return DotAll<Doubles8>(coef, value, n);
}
#endif

void RotatePairs(double* c, double* s, const double* tc, const double* ts, std::size_t n)
{
#if defined(__x86_64__) || defined(__i386__)
    if (Computation.vectorCode == VectorCode::Avx512)
        return RotateAvx512(c, s, tc, ts, n);
    if (Computation.vectorCode == VectorCode::Avx2)
        return RotateAvx2(c, s, tc, ts, n);
#endif
    RotateBaseline(c, s, tc, ts, n);
}

double Dot(const std::vector<double>& coef, const std::vector<double>& value)
{
#if defined(__x86_64__) || defined(__i386__)
    if (Computation.vectorCode == VectorCode::Avx512)
        return DotAvx512(coef.data(), value.data(), coef.size());
    if (Computation.vectorCode == VectorCode::Avx2)
        return DotAvx2(coef.data(), value.data(), coef.size());
#endif
    return DotBaseline(coef.data(), value.data(), coef.size());
}

// ---- The walk ----------------------------------------------------------------------

constexpr double U = 0x1p-53;  // unit roundoff of a double
// Every bound is widened by this factor for the roundings of the bounds
// themselves and for terms of second order.
constexpr double SLACK = 1.001;
// Past this drift the pairs are computed again from the exact functions;
// well below it the bounds stay far under the resolution of any caller.
constexpr double DRIFT_LIMIT = 1e-10;
// Covers products that underflow.
constexpr double TINY = 1e-300;

// The exact pairs at t, with the arguments rounded as PredictHeight rounds
// them: that rounding and the library's error (under an ulp) make the drift.
void Anchor(PredictionWalk& walk)
{
    for (std::size_t j = 0; j < walk.speed.size(); ++j) {
        const double angle = walk.speed[j] * walk.t - walk.etab[j];
        walk.cosAt[j] = std::cos(angle);
        walk.sinAt[j] = std::sin(angle);
    }
    walk.drift = SLACK * (U * (2.01 * walk.maxSpeed * std::fabs(walk.t) + walk.maxEtab) + 3 * U);
}

void Rotate(PredictionWalk& walk, std::size_t level)
{
    RotatePairs(walk.cosAt.data(), walk.sinAt.data(), walk.turnCos[level].data(), walk.turnSin[level].data(),
                walk.speed.size());
    walk.t += walk.turnSeconds[level];
    walk.drift = walk.drift * (1 + walk.turnDrift[level]) + walk.turnDrift[level];
    if (!(walk.drift <= DRIFT_LIMIT))
        Anchor(walk);
}

void SumOver(PredictionWalk& walk)
{
    for (std::size_t j = 0; j < walk.speed.size(); ++j) {
        const double s = std::fabs(walk.speed[j]);
        const double a = std::fabs(walk.ampl[j]);
        const double e = std::fabs(walk.etab[j]);
        walk.sumAmpl += a;
        walk.sumRate += s * a;
        walk.sumAccel += s * s * a;
        walk.sumJerk += s * s * s * a;
        walk.sumAmplEtab += a * e;
        walk.sumRateEtab += s * a * e;
        walk.maxSpeed = std::fmax(walk.maxSpeed, s);
        walk.maxEtab = std::fmax(walk.maxEtab, e);
    }
    walk.usable = std::isfinite(walk.meanLevel) && std::isfinite(walk.sumJerk) && std::isfinite(walk.sumRateEtab) &&
                  std::isfinite(walk.sumAmplEtab);
}

// One rotation by Δ: the turn's own error (its angle rounded, the library's
// cos and sin) and the roundings of the rotation.
double TurnDrift(const PredictionWalk& walk, double delta)
{
    return SLACK * (7 * U + U * walk.maxSpeed * std::fabs(delta));
}

// The rotations of each level, by step·2^level, of waves of these speeds.
struct Turns {
    std::vector<double> speed;
    double step = 0;
    int levels = -1;
    std::vector<double> seconds;
    std::vector<std::vector<double>> cos, sin;
};

Turns TurnsOf(const std::vector<double>& speed, double step, int levels)
{
    Turns turns{speed, step, levels, {}, {}, {}};
    for (int level = 0; level < levels; ++level) {
        const double delta = step * std::ldexp(1.0, level);
        turns.seconds.push_back(delta);
        std::vector<double> turnCos(speed.size()), turnSin(speed.size());
        for (std::size_t j = 0; j < speed.size(); ++j) {
            turnCos[j] = std::cos(speed[j] * delta);
            turnSin[j] = std::sin(speed[j] * delta);
        }
        turns.cos.push_back(std::move(turnCos));
        turns.sin.push_back(std::move(turnSin));
    }
    return turns;
}

}  // namespace

void StartWalk(PredictionWalk& walk, double t, double step, int levels)
{
    walk = PredictionWalk{};
    walk.t = t;
    walk.step = step;
    walk.from = WavesInForceFrom(t);
    walk.until = WavesInForceUntil(t);
    walk.meanLevel = WaveSet.MeanLevel;
    walk.waves = static_cast<std::size_t>(WaveSet.count);
    const std::size_t n = (walk.waves + PADDING - 1) / PADDING * PADDING;
    walk.speed.assign(n, 0);
    walk.ampl.assign(n, 0);
    walk.etab.assign(n, 0);
    walk.rateCoef.assign(n, 0);
    walk.accelCoef.assign(n, 0);
    const Wave* waves = WavesInForceAt(t);
    for (std::size_t j = 0; j < walk.waves; ++j) {
        const Wave& w = waves[j];
        walk.speed[j] = w.speed;
        walk.ampl[j] = w.ampl;
        walk.etab[j] = w.etab;
        walk.rateCoef[j] = w.speed * w.ampl;
        walk.accelCoef[j] = w.speed * w.speed * w.ampl;
    }
    walk.cosAt.resize(n);
    walk.sinAt.resize(n);
    SumOver(walk);
    // With the nodal corrections a walk starts again each day with the same
    // speeds: the turns of the last start serve again.
    thread_local Turns lastTurns;
    if (lastTurns.speed != walk.speed || lastTurns.step != step || lastTurns.levels != levels)
        lastTurns = TurnsOf(walk.speed, step, levels);
    walk.turnSeconds = lastTurns.seconds;
    walk.turnCos = lastTurns.cos;
    walk.turnSin = lastTurns.sin;
    for (double delta : walk.turnSeconds)
        walk.turnDrift.push_back(TurnDrift(walk, delta));
    Anchor(walk);
}

void WalkSteps(PredictionWalk& walk, std::int64_t steps)
{
    const auto top = walk.turnCos.size() - 1;
    for (std::size_t level = 0; steps > 0; ++level, steps >>= 1) {
        if (level == top) {
            for (; steps > 0; --steps)
                Rotate(walk, top);
            return;
        }
        if (steps & 1)
            Rotate(walk, level);
    }
}

double WalkHeight(const PredictionWalk& walk)
{
    return walk.meanLevel + Dot(walk.ampl, walk.cosAt);
}

// Each term's pair error, its product's rounding, and one rounding per sum
// of at most the largest partial sum.
double WalkHeightError(const PredictionWalk& walk)
{
    const double d = walk.drift;
    const double n = static_cast<double>(walk.waves + 1);  // the mean level's sum too
    const double partial = std::fabs(walk.meanLevel) + walk.sumAmpl * (1 + d);
    return SLACK * (walk.sumAmpl * (d + U * (1 + d)) + n * U * partial) + TINY;
}

double WalkRate(const PredictionWalk& walk)
{
    return -Dot(walk.rateCoef, walk.sinAt);
}

// The bound of a derivative's sum: each term's coefficient of size at most
// sum carries the drift and `roundings` roundings, and the sum of the n
// terms one rounding each.
namespace {
double DerivativeError(const PredictionWalk& walk, double sum, double roundings)
{
    const double d = walk.drift;
    const double n = static_cast<double>(walk.waves);
    return SLACK * (sum * (d + roundings * U * (1 + d)) + n * U * sum * (1 + d)) + TINY;
}
}  // namespace

double WalkRateError(const PredictionWalk& walk)
{
    return DerivativeError(walk, walk.sumRate, 2);
}

double WalkAccel(const PredictionWalk& walk)
{
    return -Dot(walk.accelCoef, walk.cosAt);
}

double WalkAccelError(const PredictionWalk& walk)
{
    return DerivativeError(walk, walk.sumAccel, 3);
}

// PredictHeight's argument speed·t − etab is rounded twice, its cosine is
// within an ulp, then as WalkHeightError with the exact pair.
double HeightRoundingBound(const PredictionWalk& walk, double tAbsMax)
{
    const double n = static_cast<double>(walk.waves);
    const double arguments = U * (2.01 * walk.sumRate * tAbsMax + walk.sumAmplEtab);
    const double partial = std::fabs(walk.meanLevel) + walk.sumAmpl;
    return SLACK * (arguments + 3 * U * walk.sumAmpl + n * U * partial) + TINY;
}

double RateRoundingBound(const PredictionWalk& walk, double tAbsMax)
{
    const double n = static_cast<double>(walk.waves);
    const double arguments = U * (2.01 * walk.sumAccel * tAbsMax + walk.sumRateEtab);
    return SLACK * (arguments + 4 * U * walk.sumRate + n * U * walk.sumRate) + TINY;
}
