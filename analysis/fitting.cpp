#include "analysis/fitting.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <thread>
#include <vector>

#include "analysis/demodulation.h"
#include "analysis/nodalfit.h"
#include "analysis/residual.h"
#include "base/computation.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
#include "model/record.h"
#include "model/units.h"

double CurrentPeriod = 0;

// ---- Mean level ------------------------------------------------------------------

double DetermineMeanLevel(int silent)
{
    const std::int64_t n = MeasuredHoursBefore(RecordSeries.RecordCount);
    if (n <= 0) {
        if (!silent)
            ShowMessage(MainWindow,
                        Format("L'enregistrement horaire ne contient aucune valeur%s.\n"
                               "Le niveau moyen reste %Lf m.",
                               RecordSeries.RecordCount > 0 ? " mesurée" : "", Lf(WaveSet.MeanLevel)),
                        "Détermination du niveau moyen", MessageButtons::Ok,
                        MessageIcon::Warning);
        return WaveSet.MeanLevel;
    }
    double sum = 0;
    for (std::int32_t i = 0; i < RecordSeries.RecordCount; ++i) {
        const double observed = ObservedHeight(3600.0 * i);
        if (!std::isnan(observed))  // an hour that was not measured
            sum += observed;
    }
    double mean = sum / static_cast<double>(n);
    if (!silent) {
        ShowMessageAndLog(MainWindow, Format("Niveau moyen : %Lf \n\n", Lf(mean)), "Détermination du niveau moyen",
                          MessageIcon::Information);
    }
    WaveSet.MeanLevel = mean;
    NoteWavesChanged();
    return mean;
}

// ---- Checks before a fit ---------------------------------------------------------

bool CanAddFittedWaveOrReport(Window owner)
{
    if (!WaveSetHasRoom()) {
        ShowMessage(owner,
                    Format("Le tableau des ondes est plein : il contient déjà %i ondes.\n"
                           "Supprimez des ondes dans le gestionnaire d'onde avant d'en "
                           "ajouter d'autres.",
                           WAVE_CAPACITY),
                    "Tableau des ondes plein", MessageButtons::Ok, MessageIcon::Warning);
        LogPrintf("Tableau des ondes plein (%i ondes) : aucune onde ajoutée.\n\n", WAVE_CAPACITY);
        return false;
    }
    if (RecordSeries.RecordDays <= 2) {
        ShowMessage(owner,
                    Format("L'enregistrement horaire ne couvre que %i jour(s).\n"
                           "Il en faut au moins 3 pour déterminer une onde : les deux "
                           "derniers jours ne servent pas.",
                           RecordSeries.RecordDays),
                    "Enregistrement trop court", MessageButtons::Ok, MessageIcon::Warning);
        LogPrintf("Enregistrement trop court (%i jours) : aucune onde déterminée.\n\n",
                  RecordSeries.RecordDays);
        return false;
    }
    if (MeasuredHoursBefore(std::int64_t{24} * (RecordSeries.RecordDays - 2)) == 0) {
        ShowMessage(owner,
                    "Aucune heure de l'enregistrement horaire n'a été mesurée, les deux derniers "
                    "jours mis à part :\nil n'y a rien à quoi ajuster une onde.",
                    "Enregistrement sans mesure", MessageButtons::Ok, MessageIcon::Warning);
        LogText("Enregistrement sans mesure : aucune onde déterminée.\n\n");
        return false;
    }
    return true;
}

// ---- Fit by complex demodulation -------------------------------------------------

namespace {

// Records of more than about three years are fitted on several threads when
// there are enough periods to share; below that a thread costs more than it saves.
constexpr std::size_t PARALLEL_MIN_HOURS = 3 * 8766;
constexpr std::size_t PARALLEL_MIN_LANES = 128;

std::uint32_t AngleBits(double period)
{
    return std::bit_cast<std::uint32_t>(static_cast<float>(3600 * (TWO_PI / period)));
}

// hours: the measured hours of the sum, whose mean it gives.
Wave WaveOfSum(double period, ComplexF sum, std::size_t hours)
{
    Wave w;
    w.speed = TWO_PI / period;
    if (hours == 0)
        return w;  // no measured hour in the usable span: nothing to fit
    const auto n = static_cast<double>(hours);
    double x = static_cast<double>(sum.re) / n;
    double y = static_cast<double>(sum.im) / n;
    w.ampl = 2 * std::sqrt(x * x + y * y);
    w.etab = std::atan2(y, x);
    return w;
}

unsigned ThreadsFor(std::size_t hours, std::size_t lanes)
{
    if (hours < PARALLEL_MIN_HOURS || lanes < PARALLEL_MIN_LANES)
        return 1;
    const unsigned cores =
        Computation.threads ? Computation.threads : std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::min<std::size_t>(cores, lanes / (PARALLEL_MIN_LANES / 2)));
}

// Each thread takes a contiguous share of the lanes; a lane's sum does not
// depend on which thread computes it.
void DemodulateShared(const std::vector<float>& residual, const std::vector<ComplexF>& turns,
                      std::vector<ComplexF>& sums)
{
    const unsigned threads = ThreadsFor(residual.size(), turns.size());
    const std::size_t share = (turns.size() + threads - 1) / threads;
    auto run = [&](std::size_t first) {
        const std::size_t count = std::min(share, turns.size() - first);
        DemodulateLanes(residual.data(), residual.size(), &turns[first], count, &sums[first]);
    };
    std::vector<std::thread> helpers;
    for (unsigned k = 1; k < threads && k * share < turns.size(); ++k)
        helpers.emplace_back(run, k * share);
    run(0);
    for (std::thread& t : helpers)
        t.join();
}

// The periods fitted against their nodally modulated form, all together.
void FitNodallyAmong(const double* periods, std::size_t count, Wave* out)
{
    std::vector<std::size_t> nodal;
    std::vector<double> nodalPeriods;
    for (std::size_t i = 0; i < count; ++i) {
        if (FitsNodally(periods[i])) {
            nodal.push_back(i);
            nodalPeriods.push_back(periods[i]);
        }
    }
    if (nodal.empty())
        return;
    std::vector<Wave> waves(nodal.size());
    FitNodally(HourlyResidual(), nodalPeriods.data(), nodalPeriods.size(), waves.data());
    for (std::size_t k = 0; k < nodal.size(); ++k)
        out[nodal[k]] = waves[k];
}

// Forgets the sums of a model that is no longer the current one.
void KeepCurrent(DemodulationMemo& memo)
{
    if (!IsCurrent(memo.stamp))
        memo = DemodulationMemo{CurrentModelStamp(RESIDUAL_PARTS), {}};
}

void DemodulateAll(const double* periods, std::size_t count, Wave* out, DemodulationMemo* memo)
{
    if (memo)
        KeepCurrent(*memo);
    std::vector<std::size_t> todo;  // indices whose angle the memo does not hold, each angle once
    std::vector<ComplexF> turns;
    std::unordered_map<std::uint32_t, std::size_t> firstOfAngle;
    for (std::size_t i = 0; i < count; ++i) {
        if (FitsNodally(periods[i]))
            continue;
        const std::uint32_t key = AngleBits(periods[i]);
        if ((memo && memo->sums.contains(key)) || !firstOfAngle.emplace(key, i).second)
            continue;
        todo.push_back(i);
        turns.push_back(HourTurnOf(periods[i]));
    }
    std::vector<ComplexF> sums(turns.size());
    if (turns.size() == 1)
        sums[0] = DemodulateCurrentResidual(turns[0]);
    else if (!turns.empty())
        DemodulateShared(HourlyResidual(), turns, sums);
    DemodulationMemo local;
    DemodulationMemo& known = memo ? *memo : local;
    for (std::size_t k = 0; k < todo.size(); ++k)
        known.sums[AngleBits(periods[todo[k]])] = sums[k];
    HourlyResidual();  // brought up to date, with its count of measured hours
    const std::size_t hours = ResidualCache.measuredHours;
    for (std::size_t i = 0; i < count; ++i)
        if (!FitsNodally(periods[i]))
            out[i] = WaveOfSum(periods[i], known.sums.at(AngleBits(periods[i])), hours);
    FitNodallyAmong(periods, count, out);
}

}  // namespace

void DetermineWaves(const double* periods, std::size_t count, Wave* out, DemodulationMemo* memo)
{
    if (count == 0)
        return;
    if (Options.UseFourier && Computation.fastPaths) {
        DemodulateAll(periods, count, out, memo);
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            CurrentPeriod = periods[i];  // the fold step of the search
            out[i] = Options.UseFourier ? FitByDemodulation(periods[i]) : FitByPhaseSearch(periods[i]);
        }
    }
    CurrentPeriod = periods[count - 1];
}

Wave DetermineWave(double period)
{
    Wave w;
    DetermineWaves(&period, 1, &w);
    return w;
}

Wave FitByDemodulation(double period)
{
    const std::vector<float> residual = HourlyResidualDirect();
    const auto measured = static_cast<std::size_t>(MeasuredHoursBefore(static_cast<std::int64_t>(residual.size())));
    if (FitsNodally(period))
        return FitNodallyDirect(residual, period);
    return WaveOfSum(period, DemodulateOne(residual.data(), residual.size(), HourTurnOf(period)), measured);
}

// ---- Fit by phase search ----------------------------------------------------------

namespace {

// Stored value i, the index kept inside the storage.
std::int32_t StoredValue(std::int64_t i)
{
    const std::int64_t last = RecordSeries.RecordCount;
    return RecordSeries.RecordValues[static_cast<std::size_t>(i < 0 ? 0 : i > last ? last : i)];
}

double StoredCm(std::int64_t i)
{
    return StoredValue(i);
}

// Whether the hours that Residual, ResidualRate and ResidualAccel read at s
// (h − 1 … h + 1, or 0 … 2 in the first hour) were all measured.
bool MeasuredAround(std::int64_t s)
{
    if (RecordSeries.MissingHours == 0)
        return true;
    const std::int64_t h = s / 3600 < 1 ? 1 : s / 3600;
    for (std::int64_t i = h - 1; i <= h + 1; ++i)
        if (StoredValue(i) == MISSING_HEIGHT_CM)
            return false;
    return true;
}

// Hourly slope (cm per hour) of the segment that starts at hour h.
double HourSlopeCm(std::int64_t h)
{
    return StoredCm(h + 1) - StoredCm(h);
}

}  // namespace

double Residual(std::int64_t s)
{
    std::int64_t h = s / 3600;
    std::int64_t r = s - 3600 * h;
    double observed = (StoredCm(h) * static_cast<double>(3600 - r) +
                       StoredCm(h + 1) * static_cast<double>(r)) * INV_3600 * METRES_PER_CM;
    return observed - PredictHeight(static_cast<double>(s), 0);
}

double ResidualRate(std::int64_t s)
{
    std::int64_t h = s / 3600;
    return HourSlopeCm(h) * INV_3600 * METRES_PER_CM - PredictHeightRate(static_cast<double>(s), 0);
}

double ResidualAccel(std::int64_t s)
{
    // The record has no value before its first: the first hour takes the
    // second difference of hour 1.
    std::int64_t h = s / 3600 < 1 ? 1 : s / 3600;
    double secondDiff = (HourSlopeCm(h) * INV_3600 - HourSlopeCm(h - 1) * INV_3600) * INV_3600;
    return secondDiff * METRES_PER_CM - PredictHeightAccel(static_cast<double>(s), 0);
}

double FoldedMean(double (*g)(std::int64_t), double x)
{
    // A fold step under a second cannot be folded over hourly values, and
    // one too small to move x would never end.
    if (!(CurrentPeriod >= 1.0))
        return 0;
    const double span = UsableSpan();
    double sum = 0;
    int n = 0;
    while (x < span) {
        const auto s = static_cast<std::int64_t>(x);
        if (MeasuredAround(s)) {  // the three folded means take the same samples
            sum += g(s);
            ++n;
        }
        x += CurrentPeriod;
    }
    return n ? sum / n : 0;
}

namespace {

double WrapIntoTwoPeriods(double x)
{
    const double T = CurrentPeriod;
    auto frac = [](double v) { return v - std::trunc(v); };  // keeps the sign of v
    if (x < 0)
        x = std::fabs(frac(x / T)) * T;
    if (x > 2 * T)
        x = frac(x / T) * T;
    return x;
}

// One Newton step on the folded rate. False, with x unchanged, where the
// folded second derivative is 0 and the step has no direction.
bool NewtonStep(double& x)
{
    double accel = FoldedMean(ResidualAccel, x);
    if (accel == 0)
        return false;
    double next = WrapIntoTwoPeriods(x - FoldedMean(ResidualRate, x) / accel);
    if (!std::isfinite(next))
        return false;
    x = next;
    return true;
}

double FoldedResidual(double x)
{
    return FoldedMean(Residual, x);
}

}  // namespace

double FindPeakTime(double x0, double tolerance)
{
    double y = x0;
    if (!NewtonStep(y))
        return y;
    double z = y;
    if (!NewtonStep(z))
        return z;
    for (int i = 0;;) {
        double atZ = FoldedResidual(z);
        if (atZ >= 0 && std::fabs(atZ - FoldedResidual(y)) <= tolerance)
            return z;
        ++i;
        y = z;
        if (!NewtonStep(z))
            return z;
        if (FoldedResidual(z) < 0)
            z += 0.5 * CurrentPeriod;  // the step found a low: the high is half a period on
        if (i > 30)
            return z;
    }
}

Wave FitByPhaseSearch(double period)
{
    double d = FindPeakTime(period * 0.5, 0.01);
    Wave w;
    w.ampl = FoldedResidual(d);
    w.speed = TWO_PI / period;
    w.etab = w.speed * d;
    return w;
}
