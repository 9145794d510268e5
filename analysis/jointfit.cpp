#include "analysis/jointfit.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>

#include "analysis/fft.h"
#include "analysis/knownwaves.h"
#include "base/computation.h"
#include "base/text.h"
#include "model/record.h"
#include "model/units.h"
#include "platform/platform.h"

std::vector<JointCandidate> CandidatesOf(JointSet set)
{
    std::vector<JointCandidate> candidates;
    if (set == JointSet::InMemory) {
        std::vector<int> order(static_cast<std::size_t>(WaveSet.count));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [](int a, int b) { return std::fabs(WaveSet.waves[a].ampl) > std::fabs(WaveSet.waves[b].ampl); });
        for (int i : order)
            candidates.push_back({WaveSet.waves[i].speed, WaveSet.waves[i].name});
        return candidates;
    }
    for (int row : KnownWaveOrder)
        candidates.push_back({TWO_PI / (KnownWaves[row].periodHours * 3600.0), KnownWaves[row].label});
    if (set == JointSet::KnownAndShallow)
        for (const KnownWave& w : ShallowWaterWaves)
            candidates.push_back({TWO_PI / (w.periodHours * 3600.0), w.label});
    return candidates;
}

// ---- The columns -----------------------------------------------------------------

namespace {

constexpr std::size_t HOURS_PER_DAY = 24;

// The row of hour n: 1, then each wave's C and S; the height is the
// caller's. Each wave restarts at 00:00 of each day from the exact cosine
// and sine of its argument (with the corrections, of the wave WaveOnDay
// carries to the day) and turns hour by hour, so a row depends on its hour
// alone, whatever hours were asked before.
class JointColumns {
public:
    explicit JointColumns(const std::vector<double>& speeds) : speed(speeds)
    {
        for (double w : speeds) {
            turnC.push_back(std::cos(3600 * w));
            turnS.push_back(std::sin(3600 * w));
        }
        c.resize(speeds.size());
        s.resize(speeds.size());
        factor.resize(speeds.size());
    }

    void Fill(std::size_t n, double* x)
    {
        const std::size_t wantedDay = n / HOURS_PER_DAY, wantedHour = n % HOURS_PER_DAY;
        if (wantedDay != day || wantedHour < hour) {
            StartDay(wantedDay);
        }
        for (; hour < wantedHour; ++hour)
            Turn();
        x[0] = 1;
        for (std::size_t k = 0; k < speed.size(); ++k) {
            x[1 + 2 * k] = factor[k] * c[k];
            x[2 + 2 * k] = factor[k] * s[k];
        }
    }

private:
    void StartDay(std::size_t d)
    {
        day = d;
        hour = 0;
        for (std::size_t k = 0; k < speed.size(); ++k) {
            const Wave carried = WaveOnDay(Wave{speed[k], 1, 0, "", {}}, static_cast<std::int64_t>(d));
            const double angle = std::remainder(speed[k] * (DAY_SECONDS * static_cast<double>(d)) - carried.etab, TWO_PI);
            c[k] = std::cos(angle);
            s[k] = std::sin(angle);
            factor[k] = carried.ampl;
        }
    }

    void Turn()
    {
        for (std::size_t k = 0; k < speed.size(); ++k) {
            const double nextC = c[k] * turnC[k] - s[k] * turnS[k];
            s[k] = c[k] * turnS[k] + s[k] * turnC[k];
            c[k] = nextC;
        }
    }

    std::vector<double> speed, turnC, turnS, c, s, factor;
    std::size_t day = SIZE_MAX, hour = 0;
};

// The height of hour n (m), NaN where it was not measured.
double HeightAt(std::size_t n)
{
    const std::int32_t cm = RecordSeries.RecordValues[n];
    return cm == MISSING_HEIGHT_CM ? std::nan("") : cm * METRES_PER_CM;
}

std::size_t RecordHours()
{
    return static_cast<std::size_t>(RecordSeries.RecordCount);
}

// Rows of products: enough for tiles of 4 rows; columns for tiles of up to 16.
JointSums EmptySums(std::size_t waves)
{
    JointSums sums;
    sums.columns = 2 * waves + 2;
    sums.stride = (sums.columns + 15) / 16 * 16;
    sums.products.assign((sums.columns + 3) / 4 * 4 * sums.stride, 0.0);
    return sums;
}

void Symmetrise(JointSums& sums)
{
    for (std::size_t i = 0; i < sums.columns; ++i)
        for (std::size_t j = 0; j < i; ++j)
            sums.products[i * sums.stride + j] = sums.products[j * sums.stride + i];
}

// ---- The sums, a block of rows at a time -----------------------------------------------

// Adds Σₙ xᵢ·xⱼ over count rows to sums, each product at its hour's turn, by
// tiles of 4 rows and 2 vectors of columns held in registers over the rows.
// Products left of the diagonal are computed too and dropped later. The
// rows are zero past their columns, up to the stride.
template <typename V>
[[gnu::always_inline]] inline void AddProducts(const double* rows, std::size_t count, std::size_t stride,
                                               std::size_t columns, double* sums)
{
    constexpr std::size_t W = sizeof(V) / sizeof(double);
    constexpr std::size_t TILE = 2 * W;
    for (std::size_t i0 = 0; i0 < columns; i0 += 4) {
        for (std::size_t j0 = i0 / TILE * TILE; j0 < columns; j0 += TILE) {
            V acc[4][2];
            for (std::size_t r = 0; r < 4; ++r)
                for (std::size_t v = 0; v < 2; ++v)
                    std::memcpy(&acc[r][v], sums + (i0 + r) * stride + j0 + v * W, sizeof(V));
            for (std::size_t n = 0; n < count; ++n) {
                const double* x = rows + n * stride;
                V b0, b1;
                std::memcpy(&b0, x + j0, sizeof(V));
                std::memcpy(&b1, x + j0 + W, sizeof(V));
#pragma GCC unroll 4
                for (std::size_t r = 0; r < 4; ++r) {
                    const V a = x[i0 + r] - V{};  // every lane xᵢ; x − (+0) is x, −0 included
                    acc[r][0] += a * b0;
                    acc[r][1] += a * b1;
                }
            }
            for (std::size_t r = 0; r < 4; ++r)
                for (std::size_t v = 0; v < 2; ++v)
                    std::memcpy(sums + (i0 + r) * stride + j0 + v * W, &acc[r][v], sizeof(V));
        }
    }
}

typedef double Doubles2 __attribute__((vector_size(16)));
typedef double Doubles4 __attribute__((vector_size(32)));
typedef double Doubles8 __attribute__((vector_size(64)));

void AddProductsBaseline(const double* rows, std::size_t count, std::size_t stride, std::size_t columns, double* sums)
{
    AddProducts<Doubles2>(rows, count, stride, columns, sums);
}

#if defined(__x86_64__) || defined(__i386__)
#define HALIOME_X86 1

[[gnu::target("avx2")]] void AddProductsAvx2(const double* rows, std::size_t count, std::size_t stride,
                                             std::size_t columns, double* sums)
{
    AddProducts<Doubles4>(rows, count, stride, columns, sums);
}

[[gnu::target("avx512f")]] void AddProductsAvx512(const double* rows, std::size_t count, std::size_t stride,
                                                  std::size_t columns, double* sums)
{
    AddProducts<Doubles8>(rows, count, stride, columns, sums);
}
#endif

void AddProductsOfRows(const double* rows, std::size_t count, JointSums& sums)
{
    double* out = sums.products.data();
#ifdef HALIOME_X86
    if (Computation.vectorCode == VectorCode::Avx512)
        return AddProductsAvx512(rows, count, sums.stride, sums.columns, out);
    if (Computation.vectorCode == VectorCode::Avx2)
        return AddProductsAvx2(rows, count, sums.stride, sums.columns, out);
#endif
    AddProductsBaseline(rows, count, sums.stride, sums.columns, out);
}

// Rows a block holds: 64 rows of 128 doubles stay in the second-level cache.
constexpr std::size_t BLOCK_ROWS = 64;

}  // namespace

bool SumJointly(const std::vector<double>& speeds, JointSums& out)
{
    out = EmptySums(speeds.size());
    JointColumns columns(speeds);
    std::vector<double> block(BLOCK_ROWS * out.stride, 0.0);
    std::size_t rows = 0;
    const std::size_t hours = RecordHours();
    for (std::size_t n = 0; n < hours; ++n) {
        const double y = HeightAt(n);
        if (std::isnan(y))
            continue;
        double* x = &block[rows * out.stride];
        columns.Fill(n, x);
        x[out.columns - 1] = y;
        ++out.measuredHours;
        if (++rows == BLOCK_ROWS) {
            AddProductsOfRows(block.data(), rows, out);
            rows = 0;
            if (KeepWindowAliveAndAskStop(static_cast<double>(n) / static_cast<double>(hours)))
                return false;
        }
    }
    AddProductsOfRows(block.data(), rows, out);
    Symmetrise(out);
    return true;
}

JointSums SumJointlyDirect(const std::vector<double>& speeds)
{
    JointSums out = EmptySums(speeds.size());
    JointColumns columns(speeds);
    std::vector<double> x(out.stride, 0.0);
    for (std::size_t n = 0; n < RecordHours(); ++n) {
        const double y = HeightAt(n);
        if (std::isnan(y))
            continue;
        columns.Fill(n, x.data());
        x[out.columns - 1] = y;
        ++out.measuredHours;
        for (std::size_t i = 0; i < out.columns; ++i)
            for (std::size_t j = i; j < out.columns; ++j)
                out.products[i * out.stride + j] += x[i] * x[j];
    }
    Symmetrise(out);
    return out;
}

// ---- The waves a record can resolve ----------------------------------------------

namespace {

double CyclesPerHour(double speed)
{
    return speed * 3600 / TWO_PI;
}

// The candidates kept, most important first: each one whose frequency lies
// at least R / L from the mean level's (0) and from every wave kept before
// it, and below the hourly samples' Nyquist frequency.
std::vector<JointCandidate> ResolvedWaves(const std::vector<JointCandidate>& candidates, double rayleigh,
                                          double spanHours, std::vector<LeftOutWave>& leftOut)
{
    std::vector<JointCandidate> kept;
    for (const JointCandidate& candidate : candidates) {
        const double f = std::fabs(CyclesPerHour(candidate.speed));
        if (f >= 0.5) {
            leftOut.push_back({candidate.name, "", -1});
            continue;
        }
        LeftOutWave closest{candidate.name, "", f * spanHours};
        for (const JointCandidate& k : kept) {
            const double separation = std::fabs(f - std::fabs(CyclesPerHour(k.speed))) * spanHours;
            if (separation < closest.separation)
                closest = {candidate.name, k.name, separation};
        }
        if (closest.separation < rayleigh)
            leftOut.push_back(closest);
        else
            kept.push_back(candidate);
    }
    return kept;
}

// First and last measured hours.
bool MeasuredSpan(std::size_t& first, std::size_t& last)
{
    const std::vector<std::int32_t>& v = RecordSeries.RecordValues;
    const std::size_t hours = RecordHours();
    first = 0;
    while (first < hours && v[first] == MISSING_HEIGHT_CM)
        ++first;
    if (first == hours)
        return false;
    last = hours - 1;
    while (v[last] == MISSING_HEIGHT_CM)
        --last;
    return true;
}

// ---- The solve ---------------------------------------------------------------------

// XᵀX·β = Xᵀy, each column scaled to a unit diagonal first. Eigen's LDLᵀ
// with pivoting, and its estimate of the conditioning: waves that the
// record cannot tell apart make the system singular, and are refused.
constexpr double SMALLEST_RCOND = 1e-12;

struct Solution {
    Eigen::VectorXd beta;
    Eigen::MatrixXd inverse;  // (XᵀX)⁻¹
};

bool Solve(const JointSums& sums, Solution& out)
{
    const auto p = static_cast<Eigen::Index>(sums.columns - 1);
    Eigen::MatrixXd a(p, p);
    Eigen::VectorXd b(p);
    for (Eigen::Index i = 0; i < p; ++i) {
        const double* row = &sums.products[static_cast<std::size_t>(i) * sums.stride];
        for (Eigen::Index j = 0; j < p; ++j)
            a(i, j) = row[j];
        b(i) = row[p];
    }
    if (!(a.diagonal().minCoeff() > 0))
        return false;
    const Eigen::VectorXd scale = a.diagonal().cwiseSqrt().cwiseInverse();
    const Eigen::MatrixXd scaled = scale.asDiagonal() * a * scale.asDiagonal();
    const Eigen::LDLT<Eigen::MatrixXd> ldlt(scaled);
    if (ldlt.info() != Eigen::Success || !(ldlt.rcond() >= SMALLEST_RCOND))
        return false;
    out.beta = scale.asDiagonal() * ldlt.solve(scale.asDiagonal() * b);
    out.inverse = scale.asDiagonal() * ldlt.solve(Eigen::MatrixXd::Identity(p, p)) * scale.asDiagonal();
    return true;
}

// ---- The noise near each wave ------------------------------------------------------

// The residual at each hour of the record (0 where not measured) and its
// mean square over the measured hours.
std::vector<float> ResidualOf(const std::vector<double>& speeds, const Eigen::VectorXd& beta, double& meanSquare)
{
    JointColumns columns(speeds);
    std::vector<double> x(2 * speeds.size() + 2);
    std::vector<float> residual(RecordHours(), 0.0f);
    double sum = 0;
    std::size_t measured = 0;
    for (std::size_t n = 0; n < residual.size(); ++n) {
        const double y = HeightAt(n);
        if (std::isnan(y))
            continue;
        columns.Fill(n, x.data());
        double fitted = 0;
        for (Eigen::Index i = 0; i < beta.size(); ++i)
            fitted += beta(i) * x[static_cast<std::size_t>(i)];
        const double e = y - fitted;
        residual[n] = static_cast<float>(e);
        sum += e * e;
        ++measured;
    }
    meanSquare = measured ? sum / static_cast<double>(measured) : 0;
    return residual;
}

// The bands of the residual's spectrum the noise is taken from: the species
// of k cycles a day, k = 1 … 12, within a quarter of a cycle a day, and the
// long periods up to a tenth of a cycle a day.
constexpr int BANDS = 13;
constexpr double HALF_BAND_CPD = 0.25;
constexpr double LONG_PERIOD_BAND_CPD = 0.1;

int BandOf(double cyclesPerDay)
{
    return std::clamp(static_cast<int>(std::lround(cyclesPerDay)), 0, BANDS - 1);
}

bool InBand(double cyclesPerDay, int band)
{
    return band == 0 ? cyclesPerDay <= LONG_PERIOD_BAND_CPD : std::fabs(cyclesPerDay - band) <= HALF_BAND_CPD;
}

// The variance of a white noise that would give the residual's periodogram
// its mean level in each band: Σ|E(f)|² / bins / measured hours, E(f) the
// residual's Fourier sum at the frequencies of the transform (the record
// padded with zeros to a power of two). The frequencies within 1 / L of a
// wave fitted, or of the mean level's, are left out: the fit took the noise
// there. A band without a frequency (a record of a few days) takes the
// whole spectrum's.
std::vector<double> NoiseOfBands(const std::vector<float>& residual, std::size_t measuredHours,
                                 const std::vector<double>& speeds, double spanHours)
{
    std::uint32_t size = 2;
    while (size < residual.size())
        size *= 2;
    std::vector<float> in(size, 0.0f), re(size), im(size);
    std::copy(residual.begin(), residual.end(), in.begin());
    fft_float(size, 0, in.data(), nullptr, re.data(), im.data());
    std::vector<char> fitted(size / 2 + 1, 0);
    std::vector<double> frequencies{0};
    for (double w : speeds)
        frequencies.push_back(std::fabs(CyclesPerHour(w)));
    const double width = size / std::max(spanHours, 1.0);  // bins in 1 / L
    for (double f : frequencies) {
        const double centre = f * size;
        const auto from = static_cast<std::int64_t>(std::max(0.0, std::ceil(centre - width)));
        const auto to = static_cast<std::int64_t>(std::min(size / 2.0, std::ceil(centre + width) - 1));
        for (std::int64_t m = from; m <= to; ++m)
            fitted[static_cast<std::size_t>(m)] = 1;
    }
    std::vector<double> power(BANDS + 1, 0.0), bins(BANDS + 1, 0.0);
    for (std::uint32_t m = 1; m <= size / 2; ++m) {
        if (fitted[m])
            continue;
        const double cpd = 24.0 * m / size;
        const auto r = static_cast<double>(re[m]), i = static_cast<double>(im[m]);
        const double p = r * r + i * i;
        const int band = BandOf(cpd);
        if (InBand(cpd, band)) {
            power[static_cast<std::size_t>(band)] += p;
            bins[static_cast<std::size_t>(band)] += 1;
        }
        power[BANDS] += p;
        bins[BANDS] += 1;
    }
    std::vector<double> noise(BANDS);
    for (std::size_t band = 0; band < BANDS; ++band) {
        const std::size_t from = bins[band] > 0 ? band : BANDS;
        noise[band] = power[from] / bins[from] / static_cast<double>(measuredHours);
    }
    return noise;
}

// The wave of the coefficients (a, b) of its cosine and sine, with the 95 %
// intervals of its amplitude and phase from their covariance (the noise of
// its band times (XᵀX)⁻¹), to first order in the errors; the phase's is at
// most half a turn.
Wave WaveOf(const JointCandidate& candidate, double a, double b, double vaa, double vab, double vbb)
{
    Wave w{candidate.speed, std::hypot(a, b), std::atan2(b, a), candidate.name, {}};
    const double A2 = w.ampl * w.ampl;
    const double varA = A2 > 0 ? (a * a * vaa + 2 * a * b * vab + b * b * vbb) / A2 : (vaa + vbb) / 2;
    const double varPhase =
        A2 > 0 ? (b * b * vaa - 2 * a * b * vab + a * a * vbb) / (A2 * A2) : std::numeric_limits<double>::infinity();
    w.uncertainty.ampl95 = 1.96 * std::sqrt(varA);
    w.uncertainty.etab95 = std::min(M_PI, 1.96 * std::sqrt(varPhase));
    w.uncertainty.snr = varA > 0 ? A2 / varA : A2 > 0 ? std::numeric_limits<double>::infinity() : 0;
    return w;
}

}  // namespace

// ---- The analysis ------------------------------------------------------------------

JointResult FitJointly(const std::vector<JointCandidate>& candidates, double rayleigh)
{
    JointResult result;
    result.rayleigh = rayleigh;
    result.hours = RecordHours();
    std::size_t first = 0, last = 0;
    if (!MeasuredSpan(first, last)) {
        result.problem = "L'enregistrement horaire ne contient aucune heure mesurée.";
        return result;
    }
    result.spanHours = static_cast<double>(last - first);
    const std::vector<JointCandidate> kept = ResolvedWaves(candidates, rayleigh, result.spanHours, result.leftOut);
    std::vector<double> speeds;
    for (const JointCandidate& k : kept)
        speeds.push_back(k.speed);
    JointSums sums;
    if (Computation.fastPaths) {
        if (!SumJointly(speeds, sums)) {
            result.stopped = true;
            return result;
        }
    } else {
        sums = SumJointlyDirect(speeds);
    }
    result.measuredHours = sums.measuredHours;
    Solution solution;
    if (sums.measuredHours <= sums.columns || !Solve(sums, solution)) {
        result.problem = Format("Les %zu heures mesurées ne suffisent pas à séparer le niveau moyen et les %zu ondes "
                                "retenues :\nchoisissez un nombre de Rayleigh plus grand.",
                                sums.measuredHours, kept.size());
        return result;
    }
    const double n = static_cast<double>(sums.measuredHours);
    const double sumY = sums.products[sums.columns - 1];
    const double sumY2 = sums.products[(sums.columns - 1) * sums.stride + sums.columns - 1];
    result.recordVariance = sumY2 / n - (sumY / n) * (sumY / n);
    const std::vector<float> residual = ResidualOf(speeds, solution.beta, result.residualVariance);
    const std::vector<double> noise = NoiseOfBands(residual, sums.measuredHours, speeds, result.spanHours);
    result.meanLevel = solution.beta(0);
    std::vector<std::pair<double, Wave>> found;
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const auto c = static_cast<Eigen::Index>(1 + 2 * k), s = c + 1;
        const double sigma2 = noise[static_cast<std::size_t>(BandOf(std::fabs(CyclesPerHour(kept[k].speed)) * 24))];
        const Wave w = WaveOf(kept[k], solution.beta(c), solution.beta(s), sigma2 * solution.inverse(c, c),
                              sigma2 * solution.inverse(c, s), sigma2 * solution.inverse(s, s));
        found.emplace_back(result.recordVariance > 0 ? w.ampl * w.ampl / 2 / result.recordVariance : 0, w);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [share, w] : found) {
        result.shares.push_back(share);
        result.waves.push_back(w);
    }
    result.solved = true;
    return result;
}
