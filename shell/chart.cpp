#include "shell/chart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/scan.h"
#include "base/calendar.h"
#include "base/options.h"
#include "base/text.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"
#include "tables/porttide.h"

int ModelReady = 0;

namespace {

constexpr int ONE_DAY_LAST_COLUMN = 640;
constexpr int MULTI_DAY_LAST_COLUMN = 620;
constexpr double INV_1440 = 1.0 / 1440;

// px a metre: 30, or more for a port whose tide would fill little of the
// chart, so that the mean level ± the sum of the amplitudes spans 150 px
// each way (at most 600 px a metre).
double HeightPixelsPerMetre()
{
    double sum = 0;
    for (int i = 0; i < WaveSet.count; ++i)
        sum += std::fabs(WaveSet.waves[i].ampl);
    return sum > 0 && std::isfinite(sum) ? std::clamp(150 / sum, 30.0, 600.0) : 30.0;
}

double Predicted(std::int64_t t) { return PortHeight(static_cast<double>(t)); }
// No height where no record was read: the stand-in series of zeros is no measurement.
double Source(std::int64_t t)
{
    return RecordSeries.Placeholder ? std::nan("") : SourceHeight(static_cast<double>(t), 0);
}

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

// The step of the height axis: the smallest of 1, 2 or 5 times a power of
// ten that puts labels at least LABEL_ROWS pixels apart.
constexpr int LABEL_ROWS = 24;
double HeightStep(double pixelsPerMetre)
{
    for (double decade = 0.01;; decade *= 10)
        for (double m : {1.0, 2.0, 5.0})
            if (m * decade * pixelsPerMetre >= LABEL_ROWS)
                return m * decade;
}

// A mark and a label at every step of height that the chart's rows show,
// each where the curves put that height.
void DrawHeightAxis(Canvas* canvas)
{
    SelectPen(canvas, PenBlack);
    const double scale = HeightPixelsPerMetre();
    const double step = HeightStep(scale);
    const double top = WaveSet.MeanLevel + (210 - 20) / scale;
    const double bottom = WaveSet.MeanLevel - (380 - 210) / scale;
    if (!std::isfinite(top) || !std::isfinite(bottom))
        return;
    // Counted in steps: far from zero a height plus a step can be the height.
    const double first = std::ceil(bottom / step);
    const double steps = std::min((top - bottom) / step, 100.0);
    for (int k = 0; k <= steps && (first + k) * step <= top; ++k) {
        const double h = (first + k) * step;
        const int y = ScaleY(h);
        MoveTo(canvas, 0, y);
        LineTo(canvas, 5, y);
        TextOut(canvas, 14, y - 7, ShortDecimal(std::fabs(h) < step / 2 ? 0 : h) + " m");
    }
}

// Which curve is which, at the top right: a stroke of its colour and its name.
void DrawLegend(Canvas* canvas, int curves)
{
    struct Entry { bool shown; Color pen; const char* name; };
    const Entry entries[] = {{curves == 1 || curves == 3, PenBlue, "prédite"},
                             {curves == 2 || curves == 3, PenGreen, "relevée"},
                             {curves == 3, PenRed, "différence"}};
    int y = 24;
    for (const Entry& e : entries) {
        if (!e.shown)
            continue;
        SelectPen(canvas, e.pen);
        MoveTo(canvas, 520, y + 7);
        LineTo(canvas, 545, y + 7);
        TextOut(canvas, 550, y, e.name);
        y += 16;
    }
}

std::tm LocalTimeOfModel(std::int64_t t)
{
    return LocalTimeOf(Header.Time_of_debut + t);
}

// ---- One-day chart -----------------------------------------------------------------

void DrawOneDayCurve(Canvas* canvas)
{
    SelectPen(canvas, PenBlue);
    const auto rowAt = [](int x) { return ScaleY(Predicted(OneDayColumnTime(x) + Options.YearOffset)); };
    MoveTo(canvas, 0, rowAt(0));
    for (int x = 1; x <= ONE_DAY_LAST_COLUMN; ++x)
        LineTo(canvas, x, rowAt(x));
}

void DrawOneDayTicks(Canvas* canvas, std::int64_t dayStart)
{
    SelectPen(canvas, PenBlack);
    for (std::int64_t t = dayStart; t < dayStart + 86535; t += 60)
        DrawTick(canvas, t, static_cast<int>((t - dayStart) / 135), TickKinds{true, true});
}

// The hours under their marks, every three.
void DrawOneDayHours(Canvas* canvas)
{
    for (int hour = 3; hour < 24; hour += 3)
        TextOut(canvas, hour * 3600 / 135 - 10, 404, Format("%ih", hour));
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
            int y = PixelOf(460 - ((cur - WaveSet.MeanLevel) * HeightPixelsPerMetre() + 250) + below);
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
    if (Options.ShowTimeAxis) {
        DrawDateHeader(canvas, dayStart);
        DrawOneDayHours(canvas);
    }
    if (Options.ShowTimesOfTide)
        DrawTimesOfTide(canvas, dayStart + Options.YearOffset);
}

// ---- Multi-day chart ---------------------------------------------------------------

// A curve through the columns; a height that is NaN (an hour the record
// does not have) leaves a gap, and the curve starts again at the next
// column that has one.
void DrawColumns(Canvas* canvas, double (*height)(std::int64_t), int (*rowOf)(double))
{
    bool gap = true;  // the curve starts at its first height
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
    return 460 - PixelOf(d * HeightPixelsPerMetre() + 250);
}

void DrawDifference(Canvas* canvas)
{
    SelectPen(canvas, PenRed);
    DrawColumns(canvas, Difference, DifferenceRow);
    // The line of no difference.
    MoveTo(canvas, 0, DifferenceRow(0));
    LineTo(canvas, MULTI_DAY_LAST_COLUMN, DifferenceRow(0));
}

// The day of the month under day marks, as many as leave room for them.
void DrawDayLabels(Canvas* canvas, std::int64_t first, int zoom)
{
    if (zoom <= 0)
        return;
    const std::int64_t daysApart = std::max<std::int64_t>(1, (60LL * zoom + DAY_SECONDS - 1) / DAY_SECONDS);
    const std::int64_t firstDay = (first + DAY_SECONDS - 1) / DAY_SECONDS;
    for (std::int64_t day = firstDay; (day * DAY_SECONDS - first) / zoom <= MULTI_DAY_LAST_COLUMN; ++day) {
        if (day % daysApart != 0)
            continue;
        const std::tm date = LocalTimeOfModel(Options.YearOffset + day * DAY_SECONDS);
        TextOut(canvas, static_cast<int>((day * DAY_SECONDS - first) / zoom) - 10, 404,
                Format("%i/%02i", date.tm_mday, date.tm_mon + 1));
    }
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
    DrawDayLabels(canvas, first, zoom);
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
    DrawLegend(canvas, curves);
    SetScrollPage(ScrollBar::Horizontal, static_cast<int>(MultiDayViewPositions()));
}

// ---- Scan graph and dispatch -------------------------------------------------------

// The sweep's amplitude (60 px a metre, 0 at y = 380) against its period,
// the band spread over the columns, with both axes labelled.
void DrawScanGraph(Canvas* canvas)
{
    for (int i = 0; i < SCAN_GRAPH_WIDTH; ++i)
        LineTo(canvas, i, ScanGraph[i]);
    SelectPen(canvas, PenBlack);
    MoveTo(canvas, 0, 380);
    LineTo(canvas, SCAN_GRAPH_WIDTH, 380);
    for (int cm = 0; cm <= 500; cm += 50) {
        const int y = 380 - cm * 60 / 100;
        MoveTo(canvas, 0, y);
        LineTo(canvas, 5, y);
        if (cm % 100 == 0)
            TextOut(canvas, 8, y - 7, Format("%i m", cm / 100));
    }
    const double from = Options.PeriodMin, to = Options.PeriodMax;
    for (int i = 0; i <= 4; ++i) {
        const int x = i * (SCAN_GRAPH_WIDTH - 1) / 4;
        MoveTo(canvas, x, 380);
        LineTo(canvas, x, 386);
        TextOut(canvas, x - 12, 390, ShortDecimal(from + (to - from) * i / 4) + " h");
    }
    TextOut(canvas, 250, 420, "période (h) ; amplitude (m)");
}

// What the window shows before there is anything to draw: how to begin.
void DrawHowToBegin(Canvas* canvas)
{
    const char* lines[] = {"Pas de relevé horaire ni d'ondes.", "Pour commencer, menu Fichier :",
                           "  Importer des mesures…", "  Importer un enregistrement…",
                           "  Ouvrir un fichier d'ondes…", "  Ouvrir une station…",
                           "  Ouvrir le port d'exemple"};
    int y = 110;
    for (const char* line : lines) {
        TextOut(canvas, 150, y, line);
        y += 32;
    }
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

void ScrollChartTo(std::int64_t t)
{
    if (Options.CurveSelection == 0)
        return SetScrollPos(ScrollBar::Horizontal, static_cast<int>(t / DAY_SECONDS));
    const double range = static_cast<double>(RecordSpan() - 620 * GetScrollPos(ScrollBar::Vertical)) * 0.0001;
    if (range > 0)
        SetScrollPos(ScrollBar::Horizontal, static_cast<int>(std::min(10000.0, static_cast<double>(t) / range)));
}

int ScaleY(double heightM)
{
    return 460 - PixelOf((heightM - WaveSet.MeanLevel) * HeightPixelsPerMetre() + 250);
}

void OnPaint(Canvas* canvas)
{
    FillWhite(canvas);
    if (RecordSeries.Placeholder && WaveSet.count == 0 && Options.DisplayMode != 0) {
        DrawHowToBegin(canvas);
    } else if (Options.DisplayMode == 0) {
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

namespace {

bool MultiDayPlace(ScrollBar bar)
{
    return bar == ScrollBar::Horizontal && Options.DisplayMode != 0 && Options.CurveSelection != 0;
}

// On the multi-day chart a line is a tenth of the view, a page the view;
// elsewhere a line is one, a page thirty (days of the one-day chart).
std::int64_t LineStep(ScrollBar bar)
{
    return MultiDayPlace(bar) ? std::max<std::int64_t>(1, std::llround(MultiDayViewPositions() / 10)) : 1;
}

std::int64_t PageStep(ScrollBar bar)
{
    return MultiDayPlace(bar) ? std::max<std::int64_t>(1, std::llround(MultiDayViewPositions())) : 30;
}

}  // namespace

double MultiDayViewPositions()
{
    const double zoom = GetScrollPos(ScrollBar::Vertical);
    const double rest = static_cast<double>(RecordSpan()) - 620 * zoom;
    if (!(rest > 0))
        return 10000;
    return std::min(10000.0, 620 * zoom / rest * 10000);
}

void OnScroll(ScrollBar bar, ScrollRequest request, int thumbPosition)
{
    const std::int64_t current = GetScrollPos(bar);
    std::int64_t next = current;
    switch (request) {
    case ScrollRequest::LineUp: next = current - LineStep(bar); break;
    case ScrollRequest::LineDown: next = current + LineStep(bar); break;
    case ScrollRequest::PageUp: next = current - PageStep(bar); break;
    case ScrollRequest::PageDown: next = current + PageStep(bar); break;
    case ScrollRequest::ThumbPosition:
    case ScrollRequest::ThumbTrack: next = thumbPosition; break;
    case ScrollRequest::Top: next = 0; break;
    case ScrollRequest::Bottom: next = 10000; break;
    case ScrollRequest::EndScroll: break;
    }
    SetScrollPos(bar, static_cast<int>(Clamp(next, INT32_MIN, INT32_MAX)));
    Repaint();
}
