#include "shell/chart.h"

#include <cmath>
#include <string>

#include "analysis/scan.h"
#include "base/calendar.h"
#include "base/options.h"
#include "base/text.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"

int ModelReady = 0;

namespace {

constexpr int ONE_DAY_LAST_COLUMN = 640;
constexpr int MULTI_DAY_LAST_COLUMN = 620;
constexpr double INV_1440 = 1.0 / 1440;

double Predicted(std::int64_t t) { return PredictHeight(static_cast<double>(t), 0); }
double Source(std::int64_t t) { return SourceHeight(static_cast<double>(t), 0); }

std::int64_t RecordSpan()
{
    return RecordSeries.RecordDays * DAY_SECONDS;
}

// ---- Decorations shared by both charts -------------------------------------------

struct TickKinds {
    bool tenMinutes;
    bool hours;
};

// Marks rise from y = 400; which ones depends on t itself (model time
// without the year offset), so day marks fall on the record's midnights.
void DrawTick(Canvas* canvas, std::int64_t t, int x, TickKinds kinds)
{
    MoveTo(canvas, x, 420);
    if (kinds.tenMinutes && t % 600 == 0) {
        MoveTo(canvas, x, 400);
        LineTo(canvas, x, 399);
    }
    if (kinds.hours && t % 3600 == 0) {
        MoveTo(canvas, x, 400);
        LineTo(canvas, x, 397);
    }
    if (t % DAY_SECONDS == 0) {
        MoveTo(canvas, x, 400);
        LineTo(canvas, x, 392);
    }
    if (t % 2592000 == 0)
        LineTo(canvas, x, 385);  // lengthens the day mark: 30 days
}

void DrawHeightAxis(Canvas* canvas)
{
    SelectPen(canvas, PenBlack);
    for (int cm = 0; cm <= 800; cm += 10) {
        MoveTo(canvas, 2, ScaleY(cm / 100.0));
        LineTo(canvas, 3, ScaleY(cm / 100.0));
    }
    for (int cm = 0; cm <= 800; cm += 100) {
        MoveTo(canvas, 2, ScaleY(cm / 100.0));
        LineTo(canvas, 6, ScaleY(cm / 100.0));
    }
    TextOut(canvas, 2, 360, "0m");
    TextOut(canvas, 2, 95, "8m");
}

std::tm LocalTimeOfModel(std::int64_t t)
{
    return LocalTimeOf(Header.Time_of_debut + t);
}

// ---- One-day chart -----------------------------------------------------------------

void DrawOneDayCurve(Canvas* canvas)
{
    SelectPen(canvas, PenBlue);
    MoveTo(canvas, 0, 210);
    for (int x = 0; x <= ONE_DAY_LAST_COLUMN; ++x)
        LineTo(canvas, x, ScaleY(Predicted(OneDayColumnTime(x) + Options.YearOffset)));
}

void DrawOneDayTicks(Canvas* canvas, std::int64_t dayStart)
{
    SelectPen(canvas, PenBlack);
    for (std::int64_t t = dayStart; t < dayStart + 86535; t += 60)
        DrawTick(canvas, t, static_cast<int>((t - dayStart) / 135), TickKinds{true, true});
}

void DrawDateHeader(Canvas* canvas, std::int64_t dayStart)
{
    std::tm day = LocalTimeOfModel(Options.YearOffset + dayStart);
    TextOut(canvas, 240, 5,
            Format("%s%i %s %i", DayNameAligned(day.tm_wday).c_str(), day.tm_mday, MonthName(day.tm_mon).c_str(),
                   day.tm_year + 1900));
}

// Marks the first 10-second sample after each high or low water.
void DrawTimesOfTide(Canvas* canvas, std::int64_t start)
{
    bool rising = Predicted(start + 10) - Predicted(start) > 0;
    double prev = Predicted(start);
    for (std::int64_t t = start; t < start + DAY_SECONDS; t += 10) {
        double cur = Predicted(t);
        if (rising ? cur < prev : cur > prev) {
            rising = !rising;
            std::tm clock = LocalTimeOfModel(t);
            auto minutes = static_cast<double>((t - start) / 60);
            int x = static_cast<int>(minutes * INV_1440 * 640 - 15);
            double below = cur < WaveSet.MeanLevel ? 10 : -30;
            int y = PixelOf(460 - ((cur - WaveSet.MeanLevel) * 30 + 250) + below);
            TextOut(canvas, x, y, Format("%2i:%02i", clock.tm_hour, clock.tm_min));
        }
        prev = cur;
    }
}

void DrawOneDayChart(Canvas* canvas)
{
    const std::int64_t dayStart = GetScrollPos(ScrollBar::Horizontal) * DAY_SECONDS;
    DrawOneDayCurve(canvas);
    DrawOneDayTicks(canvas, dayStart);
    if (Options.ShowHeightAxis)
        DrawHeightAxis(canvas);
    if (Options.ShowTimeAxis)
        DrawDateHeader(canvas, dayStart);
    if (Options.ShowTimesOfTide)
        DrawTimesOfTide(canvas, dayStart + Options.YearOffset);
}

// ---- Multi-day chart ---------------------------------------------------------------

// A curve through the columns, from (0, 210); a height that is NaN (an hour
// the record does not have) leaves a gap, and the curve starts again at the
// next column that has one.
void DrawColumns(Canvas* canvas, double (*height)(std::int64_t), int (*rowOf)(double))
{
    MoveTo(canvas, 0, 210);
    bool gap = false;
    for (int x = 0; x <= MULTI_DAY_LAST_COLUMN; ++x) {
        const double h = height(MultiDayColumnTime(x) + Options.YearOffset);
        if (std::isnan(h)) {
            gap = true;
        } else if (gap) {
            MoveTo(canvas, x, rowOf(h));
            gap = false;
        } else {
            LineTo(canvas, x, rowOf(h));
        }
    }
}

void DrawMultiDayCurve(Canvas* canvas, Color pen, double (*height)(std::int64_t))
{
    SelectPen(canvas, pen);
    DrawColumns(canvas, height, ScaleY);
}

double Difference(std::int64_t t)
{
    return Source(t) - Predicted(t);
}

int DifferenceRow(double d)
{
    return 460 - PixelOf(d * 30 + 250);
}

void DrawDifference(Canvas* canvas)
{
    SelectPen(canvas, PenRed);
    DrawColumns(canvas, Difference, DifferenceRow);
    MoveTo(canvas, 0, 230);
    LineTo(canvas, MULTI_DAY_LAST_COLUMN, 230);
}

void DrawMultiDayTimeAxis(Canvas* canvas)
{
    const int zoom = GetScrollPos(ScrollBar::Vertical);  // s per px
    const int place = GetScrollPos(ScrollBar::Horizontal);
    std::int64_t first = static_cast<std::int64_t>(place * (static_cast<double>(RecordSpan() - 620 * zoom) * 0.0001));
    first -= first % 60;  // toward zero: column 0's time without its seconds
    SelectPen(canvas, PenBlack);
    const TickKinds kinds{zoom < 500, zoom < 1000};
    for (std::int64_t t = first; t < first + 621LL * zoom; t += 60)
        DrawTick(canvas, t, static_cast<int>((t - first) / zoom), kinds);
    const CalendarTime shown = Header.Time_of_debut + Options.YearOffset + first;
    TextOut(canvas, 2, 5, "de ");
    TextOut(canvas, 22, 5, ShortDateTimeText(shown));
    TextOut(canvas, 435, 5, "à ");
    TextOut(canvas, 450, 5, ShortDateTimeText(shown + 620LL * zoom));
}

void DrawMultiDayChart(Canvas* canvas)
{
    const int curves = Options.CurveSelection;
    if (curves == 2 || curves == 3)
        DrawMultiDayCurve(canvas, PenGreen, Source);
    if (curves == 1 || curves == 3)
        DrawMultiDayCurve(canvas, PenBlue, Predicted);
    if (curves == 3)
        DrawDifference(canvas);
    if (Options.ShowTimeAxis)
        DrawMultiDayTimeAxis(canvas);
    if (Options.ShowHeightAxis)
        DrawHeightAxis(canvas);
}

// ---- Scan graph and dispatch -------------------------------------------------------

void DrawScanGraph(Canvas* canvas)
{
    for (int i = 0; i < SCAN_GRAPH_WIDTH; ++i)
        LineTo(canvas, i, ScanGraph[i]);
}

std::int64_t Clamp(std::int64_t v, std::int64_t lo, std::int64_t hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

std::int64_t OneDayColumnTime(int x)
{
    return GetScrollPos(ScrollBar::Horizontal) * DAY_SECONDS + x * DAY_SECONDS / 640;
}

std::int64_t MultiDayColumnTime(int x)
{
    const int zoom = GetScrollPos(ScrollBar::Vertical);
    const int place = GetScrollPos(ScrollBar::Horizontal);
    return static_cast<std::int64_t>(static_cast<double>(RecordSpan() - 620 * zoom) * place * 0.0001 +
                                     static_cast<double>(x) * zoom);
}

int ScaleY(double heightM)
{
    return 460 - PixelOf((heightM - WaveSet.MeanLevel) * 30 + 250);
}

void OnPaint(Canvas* canvas)
{
    FillWhite(canvas);
    if (Options.DisplayMode == 0) {
        DrawScanGraph(canvas);
    } else if (Options.DisplayMode == 1 || Options.DisplayMode == 2) {
        if (!ModelReady)
            LineTo(canvas, 640, 460);  // placeholder until the start-up determination has run
        else if (Options.CurveSelection == 0)
            DrawOneDayChart(canvas);
        else
            DrawMultiDayChart(canvas);
    }
}

void OnScroll(ScrollBar bar, ScrollRequest request, int thumbPosition)
{
    const std::int64_t current = GetScrollPos(bar);
    std::int64_t next = current;
    switch (request) {
    case ScrollRequest::LineUp: next = current - 1; break;
    case ScrollRequest::LineDown: next = current + 1; break;
    case ScrollRequest::PageUp: next = current - 30; break;
    case ScrollRequest::PageDown: next = current + 30; break;
    case ScrollRequest::ThumbPosition:
    case ScrollRequest::ThumbTrack: next = thumbPosition; break;
    case ScrollRequest::Top: next = 0; break;
    case ScrollRequest::Bottom: next = 10000; break;
    case ScrollRequest::EndScroll: break;
    }
    SetScrollPos(bar, static_cast<int>(Clamp(next, INT32_MIN, INT32_MAX)));
    Repaint();
}
