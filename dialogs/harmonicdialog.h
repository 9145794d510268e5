// "Détermination des ondes > Analyse harmonique...": the dialog that asks
// which waves to fit together and the Rayleigh number (template 106), then
// the analysis, then its report (template 107).
#pragma once

#include "platform/platform.h"

inline constexpr int HARMONIC_SET_ID = 102;       // the set: known, known and shallow-water, in memory
inline constexpr int HARMONIC_RAYLEIGH_ID = 103;  // R, a number from 0 to 100
inline constexpr int HARMONIC_REPORT_ID = 101;    // the report: multi-line, read-only

// Asks, runs the analysis as long work, and shows its report; Annuler, or
// the analysis stopped or refused, leaves the model as it was. A Rayleigh
// number that is not one, or no wave in memory to fit, is said and keeps
// the dialog open.
void RunHarmonicAnalysisDialog();

void HarmonicAnalysisDialog(Window dialog, DialogEvent event, int id, int notification);

extern const DialogTemplate HarmonicAnalysisTemplate;
extern const DialogTemplate HarmonicReportTemplate;
