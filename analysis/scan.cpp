#include "analysis/scan.h"

#include <cassert>
#include <cmath>
#include <limits>
#include <string>

#include "analysis/fitting.h"
#include "analysis/knownwaves.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
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
                Format("La bande de périodes de %Lf h à %Lf h ne peut pas être balayée :\n"
                       "il faut deux périodes positives, la première plus courte que la seconde.\n\n"
                       "Aucune onde n'a été ajoutée.",
                       Lf(lo * INV_3600), Lf(hi * INV_3600)),
                "Bande de périodes incorrecte", MessageButtons::Ok, MessageIcon::Warning);
    LogPrintf("Bande de périodes incorrecte (%Lf h à %Lf h) : aucune onde ajoutée.\n\n",
              Lf(lo * INV_3600), Lf(hi * INV_3600));
    return false;
}

void ReportNoWaveInBand(int lo, int hi)
{
    ShowMessage(MainWindow,
                Format("Aucune onde n'a été repérée entre %Lf h et %Lf h :\n"
                       "la courbe des amplitudes n'a aucun maximum au-dessus de 4 cm.\n\n"
                       "Aucune onde n'a été ajoutée.",
                       Lf(lo * INV_3600), Lf(hi * INV_3600)),
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

// 60 px per metre, amplitude 0 at y = 380, larger amplitudes higher up.
std::int32_t RowOf(double ampl)
{
    return 480 - static_cast<std::int32_t>(ampl * 60 + 100);  // truncates toward zero
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

PeakSearch SweepBand(int lo, int hi, int step, Canvas* canvas)
{
    const int span = hi - lo;
    PeakSearch peaks;
    for (std::int64_t T = lo; T < hi; T += step) {  // 64 bits: T + step may pass the int range
        const int x = ColumnOf(T, lo, span);
        const Wave w = DetermineWave(static_cast<double>(T));
        const std::int32_t y = RowOf(w.ampl);
        ScanGraph[x] = y;
        if (canvas)
            LineTo(canvas, x, y);
        TakeLocalMaximum(peaks, T, w);
    }
    return peaks;
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
    const PeakSearch peaks = SweepBand(lo, hi, step, canvas);
    if (peaks.bestSpeed == 0)
        return ReportNoWaveInBand(lo, hi);
    LogPrintf("\nOnde à preciser : %i %f %f %f\n\n", WaveSet.count, peaks.bestSpeed, peaks.bestAmpl,
              peaks.bestEtab);
    AddRefinedWave(TWO_PI / peaks.bestSpeed, step);
}

Wave RefineWave(double centre, double halfwidth, double eps)
{
    assert(eps > 0);
    const double s = halfwidth * 0.2;
    Wave best;
    best.speed = 1.0;
    best.ampl = -100.0;
    best.etab = 0;
    const double end = centre + halfwidth;
    for (double T = centre - halfwidth; T < end;) {
        const Wave w = DetermineWave(T);
        if (w.ampl >= best.ampl)
            best = w;
        const double next = T + s;
        if (next == T)
            break;  // a step below the spacing of doubles at T would never reach the end
        T = next;
    }
    if (s > eps)
        best = RefineWave(TWO_PI / best.speed, s, eps);
    return best;
}

std::string AddedWaveReport(double periodHours, const Wave& w)
{
    return Format("L'onde suivante a étée ajoutée :\n - Période : %Lf\n - Amplitude : %Lf\n"
                  " - Etablissement : %Lf\n%s\n",
                  Lf(periodHours), Lf(w.ampl), Lf(w.etab), w.name.c_str());
}

void AddRefinedWave(double centre, double halfwidth)
{
    assert(halfwidth > 0);
    if (!CanAddFittedWaveOrReport(MainWindow))
        return;
    Wave w = RefineWave(centre, halfwidth, REFINE_EPSILON);
    const double periodHours = PeriodHoursFromSpeed(w.speed);
    w.name = Format("Onde déteminée de période %Lf", Lf(periodHours));
    AppendWave(w);
    const std::string report = AddedWaveReport(periodHours, w);
    LogPrintf("%s\n", report.c_str());
    ShowMessage(MainWindow, report, "Sélection d'une onde", MessageButtons::Ok, MessageIcon::Information);
}
