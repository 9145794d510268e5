// Finding a wave whose period lies somewhere in a band: the sweep of the
// band with its amplitude curve, the recursive refinement of a period, and
// the task through which the menu commands run a sweep or a menu wave.
#pragma once

#include <cstdint>
#include <string>

#include "model/waves.h"
#include "platform/platform.h"

// The grid step (s) at or below which RefineWave stops.
inline constexpr double REFINE_EPSILON = 1e-05;

// Columns of the scan graph: the width of the main window's client area.
inline constexpr int SCAN_GRAPH_WIDTH = 640;

// By Options.DisplayMode: 0 sweeps Options.PeriodMin … Options.PeriodMax
// (hours, truncated to whole seconds) drawing on the main window, 1 appends
// the menu wave Options.SelectedWave, 2 runs nothing. The wait cursor is shown
// meanwhile; the main window is repainted at the end.
void RunAnalysisTask();

// How many periods the sweep of the band minHours … maxHours fits, as
// RunAnalysisTask runs it (in whole seconds); 0 for a band it refuses.
std::int64_t SweepFitCount(double minHours, double maxHours);

// Sweeps the periods lo, lo + step, … below hi (s), step = (hi − lo) div 640
// kept within 1 … 10 s, fitting one wave at each; draws the amplitude curve
// point by point on canvas (none: not drawn), white first, and keeps it in
// ScanGraph. The highest local maximum above 4 cm is refined and appended
// with a report (AddRefinedWave). A band that is not 0 < lo < hi, a full
// wave table, a record too short to fit or a curve without such a maximum is
// reported to the user, and nothing is appended. The sweep and the
// refinement are long work: stopped by the user, they append nothing, leave
// ScanGraph as it was and say so in the log.
void ScanPeriods(int lo, int hi, Canvas* canvas = nullptr);

// The best wave of the grid centre − halfwidth, centre − 0.8·halfwidth, …
// below centre + halfwidth (s), refined recursively on a grid five times
// finer around the best period until the step is eps (s) or less. Equal
// amplitudes go to the longer period. A grid that visits nothing gives
// speed 1.0, ampl −100.0, etab 0. The name is not set. Inside long work it
// gives way to the window at each grid, and gives up when the user asks.
Wave RefineWave(double centre, double halfwidth, double eps);

// Refines around centre (s) with REFINE_EPSILON, appends the wave named
// after its period, writes the report to the log and shows it. A full table
// or a record too short to fit is reported and nothing is appended, as when
// the user stops the refinement. halfwidth > 0 (s).
void AddRefinedWave(double centre, double halfwidth);

// The report of a wave added by a scan or by hand: period (h), amplitude,
// phase and name, as the log and the box show it.
std::string AddedWaveReport(double periodHours, const Wave& w);

// The vertical pixel of each column of the last sweep, 480 − trunc(60·ampl
// + 100): 60 px per metre, amplitude 0 at y = 380. Zeroed when the main window is created; the chart redraws it
// while Options.DisplayMode is 0.
extern std::int32_t ScanGraph[SCAN_GRAPH_WIDTH];
