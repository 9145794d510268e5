// The main window's picture: the one-day chart with the times of high and
// low water, the multi-day chart of the predicted and source tides and
// their difference, or the graph of the last period scan. Everything is
// recomputed from the model at every paint.
#pragma once

#include <cstdint>

#include "platform/platform.h"

inline constexpr Color PenRed{255, 0, 0};
inline constexpr Color PenGreen{0, 255, 0};
inline constexpr Color PenBlue{0, 0, 255};
inline constexpr Color PenBlack{0, 0, 0};

// Model time (s, without the year offset) of column x of each chart, from
// the horizontal bar's position (and the vertical one's zoom, in s/px).
std::int64_t OneDayColumnTime(int x);
std::int64_t MultiDayColumnTime(int x);
// Scrolls the chart shown so that its first column is at model time t (s),
// or as near as the bar goes.
void ScrollChartTo(std::int64_t t);

// y of a height (m): the mean level at 210, 30 px a metre (more for a small
// tide: the waves' amplitudes then span 150 px each way), up is higher.
// Kept within reach of the window system whatever the model holds.
int ScaleY(double heightM);

// How many positions of the horizontal bar the multi-day chart's view
// spans (the bar's 10000 cover the record less one view).
double MultiDayViewPositions();

void OnPaint(Canvas* canvas);
// Moves the bar as the user asked, then repaints.
void OnScroll(ScrollBar bar, ScrollRequest request, int thumbPosition);

extern int ModelReady;  // 1 once the start-up determination has run; the chart draws curves only then
