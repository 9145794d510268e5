// Models fitted by the analyses, for the tests from the analysis layer up.
#pragma once

#include <string>

#include "tests/support/model_state.h"

// A real record (REAL_RECORDS) with its mean level determined, as the
// program reads it; and a record of four years made of them one after the
// other (2009, 2012, 2010, 2009 again: long enough for fits on two threads).
void LoadRealRecord(const std::string& file);
void LoadFourYearRecord();

// The start-up's five waves, then the catalogue's in order, then the
// catalogue's again (each fitted to what the others leave), up to count waves.
void FitWavesUpTo(int count);
