#include "analysis/fftdetect.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "analysis/fft.h"
#include "analysis/fitting.h"
#include "analysis/scan.h"
#include "base/computation.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
#include "model/predictionwalk.h"
#include "model/record.h"
#include "model/units.h"
#include "platform/platform.h"

std::uint32_t FftLength(std::int32_t count)
{
    std::uint32_t n = 1;
    if (count >= 2) {
        while (n < static_cast<std::uint32_t>(count))
            n *= 2;
    }
    return n;
}

std::uint32_t SpectralPeakBin(const float* re, const float* im, std::uint32_t n)
{
    long double bestPower = 0.0L;
    std::uint32_t k = 0;
    for (std::uint32_t j = FIRST_PEAK_BIN; j < n / 2; ++j) {
        const auto r = static_cast<long double>(re[j]);
        const auto i = static_cast<long double>(im[j]);
        const long double power = r * r + i * i;
        if (power > bestPower) {  // strictly: the lowest of equal bins stays
            bestPower = power;
            k = j;
        }
    }
    return k;
}

namespace {

bool HasCandidateBin(std::uint32_t n)
{
    return n / 2 > FIRST_PEAK_BIN;
}

void ShowStage(const char* text)
{
    if (Options.VerboseFft)
        ShowMessage(nullptr, text, "FFT", MessageButtons::Ok, MessageIcon::None);
}

using Samples = std::unique_ptr<float[]>;

Samples SamplesOrExit(std::uint32_t n, int status)
{
    Samples samples(new (std::nothrow) float[n]);
    if (!samples)
        std::exit(status);
    return samples;
}

// The residual at hour i, the stored hour itself (at a whole hour there is
// nothing to interpolate) minus the prediction, rounded to float; 0 at an
// hour that was not measured, as after the end of the record.
float ResidualAtHour(std::int32_t i, double predicted)
{
    const std::int32_t cm = RecordSeries.RecordValues[static_cast<std::size_t>(i)];
    if (cm == MISSING_HEIGHT_CM)
        return 0.0f;
    return static_cast<float>(cm * METRES_PER_CM - predicted);
}

// The prediction walked hour by hour: where its bound leaves no doubt about
// the float, the walk gives it; elsewhere (rarely) the exact function does.
// With the nodal corrections each day has its own waves, so its own walk.
void FillWalkedResidual(float* input, std::int32_t count)
{
    PredictionWalk walk;
    double rounding = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const double t = 3600.0 * i;
        if (i == 0 || !(t < walk.until)) {
            StartWalk(walk, t, 3600, 1);
            rounding = HeightRoundingBound(walk, 3600.0 * count);
        } else {
            WalkSteps(walk, 1);
        }
        const double approx = WalkHeight(walk);
        // Widened so that the rounded sums below still hold the exact value.
        const double error = (WalkHeightError(walk) + rounding) * (1 + 0x1p-50) + 0x1p-50 * std::fabs(approx);
        const float low = ResidualAtHour(i, approx + error);
        const float high = ResidualAtHour(i, approx - error);
        const bool decided = walk.usable && std::isfinite(error) &&
                             std::bit_cast<std::uint32_t>(low) == std::bit_cast<std::uint32_t>(high);
        input[i] = decided ? low : ResidualAtHour(i, PredictHeight(t, 0));
    }
}

}  // namespace

void FillResidual(float* input, std::uint32_t n)
{
    if (!Computation.fastPaths)
        return FillResidualDirect(input, n);
    const std::int32_t count = RecordSeries.RecordCount;
    FillWalkedResidual(input, count);
    for (auto i = static_cast<std::uint32_t>(count); i < n; ++i)
        input[i] = 0.0f;
}

void FillResidualDirect(float* input, std::uint32_t n)
{
    const std::int32_t count = RecordSeries.RecordCount;
    for (std::int32_t i = 0; i < count; ++i)
        input[i] = ResidualAtHour(i, PredictHeight(3600.0 * i, 0));
    for (auto i = static_cast<std::uint32_t>(count); i < n; ++i)
        input[i] = 0.0f;
}

namespace {

void ReportRecordTooShortForFft()
{
    const std::int32_t count = RecordSeries.RecordCount;
    ShowMessage(MainWindow,
                Format("L'enregistrement horaire ne contient que %i valeur(s) :\n"
                       "c'est trop peu pour que la FFT y cherche une période.\n\n"
                       "Aucune onde n'a été ajoutée.",
                       count),
                "Enregistrement trop court", MessageButtons::Ok, MessageIcon::Warning);
    LogPrintf("Méthode FFT : enregistrement trop court (%i valeurs) : aucune onde déterminée.\n\n", count);
}

void ReportNoSpectralLine()
{
    ShowMessage(MainWindow,
                "Le spectre du résidu de l'enregistrement horaire est nul :\n"
                "la FFT ne trouve aucune période.\n\n"
                "Aucune onde n'a été ajoutée.",
                "Sélection d'une onde", MessageButtons::Ok, MessageIcon::Information);
    LogText("Méthode FFT : spectre du résidu nul : aucune onde déterminée.\n\n");
}

}  // namespace

std::uint32_t StrongestResidualBin()
{
    const std::uint32_t n = FftLength(RecordSeries.RecordCount);
    if (!HasCandidateBin(n))
        return 0;
    ShowStage("Allocation mémoire ...");
    Samples input = SamplesOrExit(n, 20);
    Samples re = SamplesOrExit(n, 21);
    Samples im = SamplesOrExit(n, 22);
    FillResidual(input.get(), n);
    ShowStage("FFT de RealIn ...");
    fft_float(n, 0, input.get(), nullptr, re.get(), im.get());
    ShowStage("Determination du max ...");
    return SpectralPeakBin(re.get(), im.get(), n);
}

Wave DetectWaveByFft()
{
    const std::uint32_t n = FftLength(RecordSeries.RecordCount);
    if (!HasCandidateBin(n)) {
        ReportRecordTooShortForFft();
        return Wave{};
    }
    const std::uint32_t k = StrongestResidualBin();  // its arrays are released before the refinement
    if (k == 0) {
        ReportNoSpectralLine();
        return Wave{};
    }
    const double lengthS = n * 3600.0;  // in double: N·3600 passes the int range from N = 2²⁰
    const auto bin = static_cast<double>(k);
    return RefineWave(lengthS / bin, lengthS / (bin * bin), REFINE_EPSILON);
}

void AddFftWave()
{
    if (!CanAddFittedWaveOrReport(MainWindow))
        return;
    BeginLongWork("Méthode FFT");
    Wave w = DetectWaveByFft();
    if (EndLongWork()) {
        ShowStatus("Méthode FFT interrompue : aucune onde ajoutée.");
        LogText("Méthode FFT interrompue : aucune onde ajoutée.\n\n");
        return;
    }
    if (w.speed == 0)
        return;  // no wave found: DetectWaveByFft has told the user
    w.name = Format("Onde déterminée de période %Lf", Lf(PeriodHoursFromSpeed(w.speed)));
    AppendWave(w);
    const std::string report = Format("L'onde suivante a été ajoutée :\n - Période : %Lf\n"
                                      " - Amplitude : %Lf\n - Etablissement : %Lf\n%s\n",
                                      Lf(TWO_PI / w.speed / 3600), Lf(w.ampl), Lf(w.etab),
                                      w.name.c_str());
    ShowMessageAndLog(MainWindow, report, "Sélection d'une onde", MessageIcon::Information, "\n");
}
