// Display state and options: what the main window shows and how the
// analyses behave; the model's own options are in model/modeloptions.h.
// They start at these values at every run and are never saved; the menu
// commands (and the period-range dialog for the band) are the only writers.
#pragma once

#include <cstdint>

#include "base/calendar.h"

struct DisplayOptions {
    int DisplayMode = 2;       // 0 scan graph; 1 chart after a single-wave determination; 2 chart
    int CurveSelection = 3;    // 0 one day; multi-day: 1 predicted, 2 source, 3 both and difference
    std::int64_t YearOffset = 0;  // s, added to every model time the chart evaluates or shows
    int ShowTimeAxis = 1;      // 0/1
    int ShowHeightAxis = 1;    // 0/1
    int ShowTimesOfTide = 1;   // 0/1
    int UseFourier = 1;        // 1 fit by demodulation, 0 fit by phase search
    int VerboseFft = 0;        // 0/1: a message box before each stage of the FFT detection
    int SourceMode = 0;        // 0 record, 1 normal, 2 rectified, 3 rounded, 4 rectified rounded
    int SelectedWave = 0;      // row of the menu waves, 0..4
    double PeriodMin = 11.8;   // h, lower bound of the period scan (not the 11.75 of the first preset)
    double PeriodMax = 13.0;   // h
};

// One year of the year navigation: 365 days.
inline constexpr std::int64_t YEAR_SHIFT_SECONDS = 365 * DAY_SECONDS;

extern DisplayOptions Options;
