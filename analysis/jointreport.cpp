// The report of the joint analysis and the command that runs it.
#include <cmath>

#include "analysis/jointfit.h"
#include "base/log.h"
#include "base/text.h"
#include "model/modeloptions.h"
#include "model/units.h"
#include "platform/platform.h"

namespace {

constexpr double DEGREES_PER_RADIAN = 57.29577951308232;

// The constituent's name before the label's colon ("M2", "2MS6"), or the
// whole name.
std::string ShortName(const std::string& name)
{
    const std::size_t colon = name.find(':');
    std::string shortName = name.substr(0, colon);
    while (!shortName.empty() && shortName.back() == ' ')
        shortName.pop_back();
    return shortName.empty() ? name : shortName;
}

std::string WaveLine(const Wave& w, double share)
{
    const WaveUncertainty& u = w.uncertainty;
    return Format("%-8s %11.6f  %7.4f ± %6.4f  %7.2f ± %6.2f  %9.3g  %8.3f\n", ShortName(w.name).c_str(),
                  PeriodHoursFromSpeed(w.speed), w.ampl, u.ampl95, w.etab * DEGREES_PER_RADIAN,
                  u.etab95 * DEGREES_PER_RADIAN, u.snr, 100 * share);
}

std::string LeftOutLine(const LeftOutWave& w, double rayleigh)
{
    const std::string name = ShortName(w.name);
    if (w.separation < 0)
        return name + " : au-delà de la fréquence de Nyquist des mesures horaires.\n";
    const std::string nearest = w.nearest.empty() ? "du niveau moyen" : "de " + ShortName(w.nearest);
    return Format("%s : trop proche %s (%.3f < %g).\n", name.c_str(), nearest.c_str(), w.separation, rayleigh);
}

}  // namespace

std::string JointReport(const JointResult& r)
{
    std::string text =
        Format("Analyse harmonique : le niveau moyen et %zu ondes ajustés ensemble.\n"
               "Heures mesurées : %zu sur %zu, %.0f h de la première à la dernière (%.1f jours).\n"
               "Critère de Rayleigh R = %g : les fréquences de deux ondes, ou d'une onde et du niveau moyen,\n"
               "diffèrent d'au moins %g cycle sur les %.0f h du relevé.\n"
               "Corrections nodales : %s.\n"
               "Niveau moyen : %.6f m.\n"
               "Écart type : relevé %.4f m, résidu %.4f m (%.2f %% de la variance expliquée).\n"
               "Intervalles de confiance à 95 %%, le bruit pris dans le spectre du résidu près de chaque onde ;\n"
               "RSB : amplitude² / variance de l'amplitude.\n\n",
               r.waves.size(), r.measuredHours, r.hours, r.spanHours, r.spanHours / 24, r.rayleigh, r.rayleigh,
               r.spanHours, Model.NodalCorrections ? "oui" : "non", r.meanLevel, std::sqrt(r.recordVariance),
               std::sqrt(r.residualVariance),
               r.recordVariance > 0 ? 100 * (1 - r.residualVariance / r.recordVariance) : 0.0);
    text += "Onde     Période (h)  Amplitude (m)       Phase (°)           RSB  Variance (%)\n";
    for (std::size_t k = 0; k < r.waves.size(); ++k)
        text += WaveLine(r.waves[k], r.shares[k]);
    if (!r.leftOut.empty()) {
        text += Format("\nOndes écartées (%zu) :\n", r.leftOut.size());
        for (const LeftOutWave& w : r.leftOut)
            text += LeftOutLine(w, r.rayleigh);
    }
    return text;
}

std::optional<std::string> RunJointAnalysis(JointSet set, double rayleigh)
{
    const std::vector<JointCandidate> candidates = CandidatesOf(set);
    BeginLongWork("Analyse harmonique");
    const JointResult result = FitJointly(candidates, rayleigh);
    if (EndLongWork() || result.stopped) {
        LogText("Analyse harmonique interrompue : les ondes en mémoire restent.\n\n");
        return std::nullopt;
    }
    if (!result.solved) {
        ShowMessage(MainWindow, result.problem, "Analyse harmonique", MessageButtons::Ok, MessageIcon::Warning);
        LogText("Analyse harmonique impossible : " + result.problem + "\n\n");
        return std::nullopt;
    }
    const std::string report = JointReport(result);
    const int before = WaveSet.count;
    WaveSet.count = 0;
    for (const Wave& w : result.waves)
        AppendWave(w);
    WaveSet.MeanLevel = result.meanLevel;
    LogText(report);
    LogPrintf("\nLes %i ondes en mémoire sont remplacées par le niveau moyen et les %i ondes de l'analyse.\n\n",
              before, WaveSet.count);
    return report;
}
