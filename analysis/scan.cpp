#include "analysis/scan.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
#include "model/record.h"
#include "model/units.h"

std::int32_t ScanGraph[SCAN_GRAPH_WIDTH];

namespace {

// Whole seconds of a period in hours, truncated toward zero. A period that
// an int cannot hold is pinned to the nearest limit, and NaN becomes 0, so
// that the conversion stays defined; the sweep refuses what is not positive.
int TruncatedSeconds(double hours)
{
    const double s = std::trunc(hours * 3600.0);
    if (std::isnan(s))
        return 0;
    if (s <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (s >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(s);
}

bool IsSweepableBandOrReport(int lo, int hi)
{
    if (lo > 0 && lo < hi)
        return true;
    ShowMessage(MainWindow,
                Format("La bande de périodes de %s h à %s h ne peut pas être balayée :\n"
                       "il faut deux périodes positives, la première plus courte que la seconde.\n\n"
                       "Aucune onde n'a été ajoutée.",
                       ShortDecimal(lo * INV_3600).c_str(), ShortDecimal(hi * INV_3600).c_str()),
                "Bande de périodes incorrecte", MessageButtons::Ok, MessageIcon::Warning);
    LogPrintf("Bande de périodes incorrecte (%Lf h à %Lf h) : aucune onde ajoutée.\n\n",
              Lf(lo * INV_3600), Lf(hi * INV_3600));
    return false;
}

// Stopped by the user: the status bar and the log say so.
void LogSweepStopped(int lo, int hi)
{
    ShowStatus("Balayage interrompu : aucune onde ajoutée.");
    LogPrintf("\nBalayage de %Lf h à %Lf h interrompu : aucune onde ajoutée.\n\n", Lf(lo * INV_3600),
              Lf(hi * INV_3600));
}

void ReportNoWaveInBand(int lo, int hi)
{
    ShowMessage(MainWindow,
                Format("Aucune onde n'a été repérée entre %s h et %s h :\n"
                       "la courbe des amplitudes n'a aucun maximum au-dessus de 4 cm.\n\n"
                       "Aucune onde n'a été ajoutée.",
                       ShortDecimal(lo * INV_3600).c_str(), ShortDecimal(hi * INV_3600).c_str()),
                "Sélection d'une onde", MessageButtons::Ok, MessageIcon::Information);
    LogPrintf("\nAucune onde repérée entre %Lf h et %Lf h : aucune onde ajoutée.\n\n",
              Lf(lo * INV_3600), Lf(hi * INV_3600));
}

// span div 640, capped at 10 s whatever the width of the band; a band
// narrower than 640 s is swept second by second rather than not at all.
int SweepStep(int span)
{
    int step = span / SCAN_GRAPH_WIDTH;
    if (step >= 10)
        step = 10;
    return step < 1 ? 1 : step;
}

// 0 … 639, since T − lo < span.
int ColumnOf(std::int64_t T, int lo, int span)
{
    return static_cast<int>(static_cast<double>(T - lo) / span * SCAN_GRAPH_WIDTH);  // truncates toward zero
}

// 60 px per metre, amplitude 0 at y = 380, larger amplitudes higher up. A
// record of heights near 2^31 cm gives amplitudes whose row no int holds.
std::int32_t RowOf(double ampl)
{
    return 480 - PixelOf(ampl * 60 + 100);  // truncates toward zero
}

struct PeakSearch {
    double prevAmpl = 10.0;      // m; so that the first sample is never a maximum
    double prevEtab = 0;         // rad
    bool waitingForRise = true;  // no maximum is taken until the curve has risen
    double bestAmpl = -10.0;     // m
    double bestEtab = 0;         // rad
    double bestSpeed = 0;        // rad/s; 0 while no maximum has been taken
};

// The previous sample is a maximum when it is above 4 cm, above the current
// one, and reached after a rise; among maxima the first of the highest wins.
void TakeLocalMaximum(PeakSearch& p, std::int64_t T, const Wave& w)
{
    if (p.prevAmpl < w.ampl)
        p.waitingForRise = false;
    if (p.prevAmpl > 0.04 && p.prevAmpl > w.ampl && !p.waitingForRise) {
        const auto periodS = static_cast<double>(T);
        LogPrintf("Onde reperee pour T = %f avec %f\n", periodS * INV_3600, p.prevAmpl);
        p.waitingForRise = true;
        if (p.prevAmpl > p.bestAmpl) {
            p.bestAmpl = p.prevAmpl;
            p.bestEtab = p.prevEtab;
            p.bestSpeed = TWO_PI / periodS;  // the sample after the maximum: the refinement starts there
        }
    }
    p.prevAmpl = w.ampl;
    p.prevEtab = w.etab;
}

// Periods fitted together: about 5·10⁷ fit-hours, a few milliseconds of
// work, so that the curve grows while the user watches.
std::size_t SweepBatchSize()
{
    const double hours = std::max(1.0, UsableSpan() / 3600);
    return static_cast<std::size_t>(std::clamp(5e7 / hours, 64.0, 8192.0));
}

PeakSearch SweepBand(int lo, int hi, int step, Canvas* canvas)
{
    const int span = hi - lo;
    PeakSearch peaks;
    std::vector<double> periods;
    std::vector<Wave> waves;
    const std::size_t batch = SweepBatchSize();
    for (std::int64_t first = lo; first < hi;) {  // 64 bits: T + step may pass the int range
        if (KeepWindowAliveAndAskStop(static_cast<double>(first - lo) / span))
            break;
        periods.clear();
        for (std::int64_t T = first; T < hi && periods.size() < batch; T += step)
            periods.push_back(static_cast<double>(T));
        waves.resize(periods.size());
        DetermineWaves(periods.data(), periods.size(), waves.data());
        for (std::size_t i = 0; i < periods.size(); ++i) {
            const auto T = static_cast<std::int64_t>(periods[i]);
            const int x = ColumnOf(T, lo, span);
            const std::int32_t y = RowOf(waves[i].ampl);
            ScanGraph[x] = y;
            if (canvas)
                LineTo(canvas, x, y);
            TakeLocalMaximum(peaks, T, waves[i]);
        }
        first += static_cast<std::int64_t>(periods.size()) * step;
    }
    return peaks;
}

// The grid centre − halfwidth, centre − 0.8·halfwidth, … below centre +
// halfwidth, by repeated addition of the step.
std::vector<double> RefinementGrid(double centre, double halfwidth)
{
    std::vector<double> grid;
    const double s = halfwidth * 0.2;
    const double end = centre + halfwidth;
    for (double T = centre - halfwidth; T < end;) {
        grid.push_back(T);
        const double next = T + s;
        if (next == T)
            break;  // a step below the spacing of doubles at T would never reach the end
        T = next;
    }
    return grid;
}

// Fine grids end below the resolution of the fit: their periods repeat fits
// already done, which the memo gives back.
Wave RefineRemembering(double centre, double halfwidth, double eps, DemodulationMemo& memo)
{
    const double s = halfwidth * 0.2;
    Wave best;
    best.speed = 1.0;
    best.ampl = -100.0;
    best.etab = 0;
    if (KeepWindowAliveAndAskStop(-1.0))
        return best;
    const std::vector<double> grid = RefinementGrid(centre, halfwidth);
    std::vector<Wave> waves(grid.size());
    DetermineWaves(grid.data(), grid.size(), waves.data(), &memo);
    for (const Wave& w : waves)
        if (w.ampl >= best.ampl)
            best = w;
    if (s > eps)
        best = RefineRemembering(TWO_PI / best.speed, s, eps, memo);
    return best;
}

}  // namespace

void RunAnalysisTask()
{
    ShowWaitCursor();
    Canvas* canvas = BeginDirectDrawing();
    if (Options.DisplayMode == 0)
        ScanPeriods(TruncatedSeconds(Options.PeriodMin), TruncatedSeconds(Options.PeriodMax), canvas);
    else if (Options.DisplayMode == 1)
        AddMenuWave(Options.SelectedWave);
    EndDirectDrawing(canvas);
    ShowArrowCursor();
    Repaint();
}

std::int64_t SweepFitCount(double minHours, double maxHours)
{
    const int lo = TruncatedSeconds(minHours), hi = TruncatedSeconds(maxHours);
    if (!(lo > 0 && lo < hi))
        return 0;
    const int step = SweepStep(hi - lo);
    return (std::int64_t{hi} - lo + step - 1) / step;
}

void ScanPeriods(int lo, int hi, Canvas* canvas)
{
    if (!IsSweepableBandOrReport(lo, hi) || !CanAddFittedWaveOrReport(MainWindow))
        return;
    const int step = SweepStep(hi - lo);
    if (canvas)
        FillWhite(canvas);  // the curve grows on a clean window, not over the chart shown before
    // A stopped sweep leaves the graph as it leaves the model: as it was,
    // rather than its first columns over the sweep before.
    const auto graphBefore = std::to_array(ScanGraph);
    BeginLongWork(Format("Balayage des périodes de %g h à %g h", lo * INV_3600, hi * INV_3600));
    const PeakSearch peaks = SweepBand(lo, hi, step, canvas);
    if (EndLongWork()) {
        std::copy(graphBefore.begin(), graphBefore.end(), ScanGraph);
        return LogSweepStopped(lo, hi);
    }
    if (peaks.bestSpeed == 0)
        return ReportNoWaveInBand(lo, hi);
    LogPrintf("\nOnde à preciser : %i %f %f %f\n\n", WaveSet.count, peaks.bestSpeed, peaks.bestAmpl,
              peaks.bestEtab);
    AddRefinedWave(TWO_PI / peaks.bestSpeed, step);
}

Wave RefineWave(double centre, double halfwidth, double eps)
{
    assert(eps > 0);
    DemodulationMemo memo;
    return RefineRemembering(centre, halfwidth, eps, memo);
}

std::string AddedWaveReport(double periodHours, const Wave& w)
{
    return Format("L'onde suivante a été ajoutée :\n - Période : %Lf\n - Amplitude : %Lf\n"
                  " - Etablissement : %Lf\n%s\n",
                  Lf(periodHours), Lf(w.ampl), Lf(w.etab), w.name.c_str());
}

void AddRefinedWave(double centre, double halfwidth)
{
    assert(halfwidth > 0);
    if (!CanAddFittedWaveOrReport(MainWindow))
        return;
    BeginLongWork("Précision de la période");
    Wave w = RefineWave(centre, halfwidth, REFINE_EPSILON);
    if (EndLongWork()) {
        ShowStatus("Précision de la période interrompue : aucune onde ajoutée.");
        LogText("\nPrécision de la période interrompue : aucune onde ajoutée.\n\n");
        return;
    }
    const double periodHours = PeriodHoursFromSpeed(w.speed);
    w.name = Format("Onde déterminée de période %Lf", Lf(periodHours));
    AppendWave(w);
    const std::string report = AddedWaveReport(periodHours, w);
    ShowMessageAndLog(MainWindow, report, "Sélection d'une onde", MessageIcon::Information, "\n");
}
