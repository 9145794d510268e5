// A synthetic record of three semi-diurnal waves, for the tests that find
// waves without being told their periods.
#pragma once

#include <vector>

#include "analysis/fitting.h"
#include "tests/support/program_test.h"

inline const Wave M2_TRUTH = WaveOf(12.4206012, 1.5, 1.0);
inline const Wave S2_TRUTH = WaveOf(12.0, 0.5, 2.0);
inline const Wave N2_TRUTH = WaveOf(12.6583482, 0.35, -0.5);

// 415 days around a mean level of 3 m. The 413 days that the fits use hold
// nearly whole numbers of the M2–S2 beat (28 × 14.77 d) and of the M2–N2 beat
// (15 × 27.55 d), so that a fit at the period of one wave is not pulled by
// the others; over a plain year that pull reaches a centimetre.
inline void InstallSemiDiurnalRecord()
{
    InstallRecordOf(415, 3.0, {M2_TRUTH, S2_TRUTH, N2_TRUTH});
    DetermineMeanLevel(1);
}
