#include "tables/tidetimes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <ctime>

#include "base/calendar.h"
#include "base/computation.h"
#include "base/fields.h"
#include "base/log.h"
#include "base/text.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/predictionwalk.h"
#include "model/waves.h"

std::string MonthChoice(int month)
{
    return month == 7 ? "Aout" : Capitalised(MonthName(month));  // the list has always written August so
}

// Wide enough for a plain report's lines, some 80 characters of the fixed
// font, which is wider than the dialog's.
const DialogTemplate TideTimesTemplate{"Calculer les horaires de Marées", 400, 260, {
    {ControlKind::CentredLabel, NO_ID, "Calcul des Horaires de Marées", 7, 6, 386, 10},
    {ControlKind::Label, NO_ID, "Année :", 7, 22, 28, 10},
    {ControlKind::Edit, TIDE_YEAR_ID, "", 36, 20, 40, 13},
    {ControlKind::Label, NO_ID, "Mois :", 92, 22, 24, 10},
    {ControlKind::DropDownList, TIDE_MONTH_ID, "", 117, 20, 70, 14},
    {ControlKind::CheckBox, TIDE_EXPORTABLE_ID, "Exportable", 205, 21, 60, 10},
    {ControlKind::ReportEdit, TIDE_REPORT_ID, "", 7, 38, 386, 196},
    {ControlKind::PushButton, ID_OK, "Fermeture", 135, 238, 55, 19},
    {ControlKind::DefaultPushButton, TIDE_COMPUTE_ID, "Calcul", 210, 238, 55, 19},
}};

// ---- Month bounds ------------------------------------------------------------

std::optional<MonthBounds> MonthBoundsOf(long year, int month)
{
    std::optional<CalendarTime> start = MonthStartTime(year, month);
    if (!start)
        return std::nullopt;
    std::optional<CalendarTime> end = month == 11 ? MonthStartTime(year + 1, 0) : MonthStartTime(year, month + 1);
    if (!end)
        return std::nullopt;
    MonthBounds bounds;
    bounds.start = *start - Header.Time_of_debut;
    bounds.end = *end - Header.Time_of_debut;
    bounds.month = month;
    bounds.year = LocalTimeOf(*start).tm_year + 1900;
    bounds.lastDay = LocalTimeOf(*end - 10).tm_mday;
    return bounds;
}

std::optional<long> YearOfEntry(const std::string& entry)
{
    const std::optional<long> value = ParseTypedWhole(entry);
    if (!value)
        return std::nullopt;
    return *value > FULL_YEAR_THRESHOLD ? *value : *value + 1900;
}

// ---- The scan ------------------------------------------------------------------

namespace {

std::tm LocalTimeAt(long t)
{
    return LocalTimeOf(t + Header.Time_of_debut);
}

int CoefficientOf(double highWater, double followingLowWater)
{
    double c = std::trunc((highWater - followingLowWater) * CoefficientFactor);
    // Only an absurd model (heights of millions of metres) comes near these.
    if (!(c > INT_MIN && c < INT_MAX))
        return c > 0 ? INT_MAX : INT_MIN;
    return static_cast<int>(c);
}

// The turning point at t: a maximum when the curve rises at t, whatever its
// height against the mean level.
TurningPoint TurningPointAt(long t, bool rising)
{
    TurningPoint point;
    point.t = t;
    point.height = PredictHeight(static_cast<double>(t), 0);
    point.high = rising;
    return point;
}

// A secondary port's tides: its reference's, each moved and scaled by the
// offsets. The coefficient stays the reference's, as published tables give
// it; the order is the scan's again, latest first.
void MoveToSecondaryPort(std::vector<TurningPoint>& points, const TideOffsets& offsets)
{
    for (TurningPoint& p : points) {
        const TideShift& shift = p.high ? offsets.high : offsets.low;
        p.t += 60L * shift.minutes;
        p.height = ShiftedHeight(shift, p.height);
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const TurningPoint& a, const TurningPoint& b) { return a.t > b.t; });
}

// The tides among the turning points of the scan (latest first): ripples
// dropped, then each high water's coefficient against the next low water
// after it, then for a secondary port moved there. Only those before the
// month's end are kept.
std::vector<TurningPoint> TidesOfScan(const std::vector<TurningPoint>& scanned, const MonthBounds& month)
{
    // In time order, as a reader of the curve meets them; turning points
    // alternate, and dropping a pair keeps them alternating.
    std::vector<TurningPoint> kept;
    for (auto p = scanned.rbegin(); p != scanned.rend(); ++p) {
        if (!kept.empty() && std::fabs(kept.back().height - p->height) < RIPPLE)
            kept.pop_back();
        else
            kept.push_back(*p);
    }
    std::reverse(kept.begin(), kept.end());
    double lastLow = WaveSet.MeanLevel;
    for (TurningPoint& p : kept) {
        if (p.high)
            p.coefficient = CoefficientOf(p.height, lastLow);
        else
            lastLow = p.height;
    }
    if (Header.Offsets)
        MoveToSecondaryPort(kept, *Header.Offsets);
    std::erase_if(kept, [&month](const TurningPoint& p) { return p.t >= month.end; });
    return kept;
}

}  // namespace

std::vector<TurningPoint> ScanMonthDirect(const MonthBounds& month)
{
    std::vector<TurningPoint> points;
    const long first = month.end + SCAN_MARGIN_AFTER;
    double previousRate = PredictHeightRate(static_cast<double>(first), 0);
    for (long t = first; t > month.start - SCAN_MARGIN_BEFORE; t -= SCAN_STEP) {
        double rate = PredictHeightRate(static_cast<double>(t), 0);
        if (rate * previousRate < 0)  // a zero product is no turning point
            points.push_back(TurningPointAt(t, rate > 0));
        previousRate = rate;
    }
    return TidesOfScan(points, month);
}

namespace {

// What the fast scan knows of PredictHeightRate at a scan time: its exact
// value, or a value whose sign is certainly the exact value's sign, with a
// magnitude of at least RATE_FLOOR.
struct RateKnown {
    long t = 0;
    double value = 0;
    bool exact = false;
};

// Rates of at least this size have a product that is not rounded to zero,
// so their signs alone say whether the product is negative.
constexpr double RATE_FLOOR = 1e-100;

// The bounds that stay the same over the whole scan.
struct ScanBounds {
    double rounding = 0;  // m/s: PredictHeightRate against the true rate
    double jerk = 0;      // m/s³: bound on the change of the true rate's slope
};

RateKnown RateAt(const PredictionWalk& walk, const ScanBounds& bounds, long t, double& margin)
{
    const double approx = WalkRate(walk);
    margin = std::fabs(approx) - WalkRateError(walk) - bounds.rounding - RATE_FLOOR;
    if (margin > 0)
        return {t, approx, false};
    return {t, PredictHeightRate(static_cast<double>(t), 0), true};
}

double ExactValue(const RateKnown& r)
{
    return r.exact ? r.value : PredictHeightRate(static_cast<double>(r.t), 0);
}

// The straightforward scan's test, rate × previous rate < 0, from what is known.
bool SignChanges(const RateKnown& previous, const RateKnown& current)
{
    auto large = [](const RateKnown& r) { return !r.exact || std::fabs(r.value) >= RATE_FLOOR; };
    if (large(previous) && large(current))
        return (previous.value < 0) != (current.value < 0);
    return ExactValue(previous) * ExactValue(current) < 0;
}

// Whole scan steps on from the walk's time over which the true rate keeps
// farther than margin (m/s) from the neighbourhood of zero, so that every
// exact rate keeps the sign it has now. Going back in time by Δ, |rate|
// changes by at least g·Δ − jerk·Δ²/2, where g bounds from below the growth
// of |rate| given by the slope at the walk's time.
long StepsOfSameSign(const PredictionWalk& walk, const ScanBounds& bounds, double rate, double margin)
{
    const double slope = WalkAccel(walk);  // d rate / dt
    // In long double: the squares of a model's huge rates would overflow a double.
    const long double growth = (rate > 0 ? slope : -slope) * (walk.step < 0 ? -1 : 1) - WalkAccelError(walk);
    const long double jerk = bounds.jerk;
    const long double root = std::sqrt(growth * growth + 2 * jerk * margin);
    // The positive root of jerk·Δ²/2 − g·Δ − margin, written to avoid cancelling.
    const long double reach =
        growth > 0 ? (jerk > 0 ? (growth + root) / jerk : HUGE_VALL) : 2 * margin / (root - growth);
    if (!(reach >= 2 * SCAN_STEP))
        return 0;
    const long double steps = reach / SCAN_STEP;
    return static_cast<long>(steps < 1e6L ? steps : 1e6L) - 1;  // one step short: the bound is not strict
}

}  // namespace

namespace {

// A walk from t with the waves in force there, and the bounds they give.
void StartScanWalk(PredictionWalk& walk, ScanBounds& bounds, long t, double farthest)
{
    StartWalk(walk, static_cast<double>(t), -static_cast<double>(SCAN_STEP), 10);
    bounds.rounding = RateRoundingBound(walk, farthest);
    bounds.jerk = walk.sumJerk * 1.001;
}

// Whole scan steps back from t that stay with the walk's waves.
long StepsWithinWalk(const PredictionWalk& walk, long t)
{
    const double steps = std::floor((static_cast<double>(t) - walk.from) / SCAN_STEP);
    return steps < static_cast<double>(LONG_MAX) ? static_cast<long>(steps) : LONG_MAX;
}

}  // namespace

// The same turning points as ScanMonthDirect without a sine per wave and
// scan time: the walk's rates decide the sign wherever their bound allows,
// and long stretches where the sign cannot change are stepped over. With
// the nodal corrections each day has its own waves, so its own walk.
std::vector<TurningPoint> ScanMonth(const MonthBounds& month)
{
    const long first = month.end + SCAN_MARGIN_AFTER;
    const long stop = month.start - SCAN_MARGIN_BEFORE;  // the scan runs while t > stop
    if (!Computation.fastPaths)
        return ScanMonthDirect(month);
    const double farthest = std::fmax(std::fabs(static_cast<double>(first)), std::fabs(static_cast<double>(stop)));
    PredictionWalk walk;
    ScanBounds bounds;
    StartScanWalk(walk, bounds, first, farthest);
    if (!walk.usable)
        return ScanMonthDirect(month);

    std::vector<TurningPoint> points;
    double margin = 0;
    RateKnown previous = RateAt(walk, bounds, first, margin);
    long t = first;
    for (;;) {
        // Skip while the sign cannot change; the previous rate then keeps its
        // sign. A skip stays with the walk's waves; one step past them starts
        // a new walk.
        long steps = 1 + (margin > 0 ? StepsOfSameSign(walk, bounds, previous.value, margin) : 0);
        steps = std::min(steps, (t - stop - 1) / SCAN_STEP);
        const long within = StepsWithinWalk(walk, t);
        steps = std::min(steps, std::max(within, 1L));
        if (steps <= 0)
            break;
        if (steps > 1)
            previous.t = t - (steps - 1) * SCAN_STEP;
        t -= steps * SCAN_STEP;
        if (steps <= within) {
            WalkSteps(walk, steps);
        } else {
            StartScanWalk(walk, bounds, t, farthest);
            if (!walk.usable)
                return ScanMonthDirect(month);
        }
        const RateKnown current = RateAt(walk, bounds, t, margin);
        if (SignChanges(previous, current))  // the sign of an inexact rate is certain
            points.push_back(TurningPointAt(t, current.value > 0));
        previous = current;
    }
    return TidesOfScan(points, month);
}

// ---- Plain report ----------------------------------------------------------------

namespace {

std::string PlainLine(const TurningPoint& point)
{
    const std::tm local = LocalTimeAt(point.t);
    const std::string& day = DayNameAligned(local.tm_wday);
    const std::string& month = MonthName(local.tm_mon);
    const int year = local.tm_year + 1900;
    const double height = HeightAboveDatum(point.height);
    if (point.high && Header.ShowCoefficient)
        return Format("Haute  Mer le   %s%i %s \t%i   à %2i:%02i.     %.1Lf m.    Coef %i\r\n", day.c_str(),
                      local.tm_mday, month.c_str(), year, local.tm_hour, local.tm_min, Lf(height),
                      point.coefficient);
    return Format("%s%s%i %s \t%i   à %2i:%02i.     %.1Lf m.\r\n", point.high ? "Haute  Mer le   " : "Basse Mer le    ",
                  day.c_str(), local.tm_mday, month.c_str(), year, local.tm_hour, local.tm_min, Lf(height));
}

std::vector<std::string> PlainLines(const MonthBounds& month, const std::vector<TurningPoint>& points)
{
    std::vector<std::string> lines;
    // A tide in the first 30 s of the month is found at its start, and the
    // month before stops short of it: it belongs here.
    for (const TurningPoint& point : points)
        if (point.t >= month.start)
            lines.push_back(PlainLine(point));
    return lines;
}

// ---- Exportable report -------------------------------------------------------------

// One day of the exportable report. The scan meets a day's tides latest
// first, so the first high (low) water met goes to the afternoon column and
// any other to the morning one, whatever the clock says.
struct DayCells {
    int day = 0;
    int weekday = 0;  // C weekday of day
    std::string highMorning = "      ";
    std::string highAfternoon = "      ";
    std::string coefMorning = "   ";  // "%3i", or "  -" without a high water
    std::string coefAfternoon = "   ";
    std::string lowMorning = "      ";
    std::string lowAfternoon = "      ";
    bool highAfternoonSeen = false;
    bool lowAfternoonSeen = false;
};

std::string DayLine(const DayCells& c)
{
    const std::string coefficients =
        Header.ShowCoefficient ? "  " + c.coefMorning + "  " + c.coefAfternoon : std::string();
    return Format("%s      %i\t%s  %s%s  %s  %s\r\n", DayName(c.weekday).c_str(), c.day, c.highMorning.c_str(),
                  c.highAfternoon.c_str(), coefficients.c_str(), c.lowMorning.c_str(), c.lowAfternoon.c_str());
}

DayCells EmptyDay(const std::tm& local)
{
    DayCells cells;
    cells.day = local.tm_mday;
    cells.weekday = local.tm_wday;
    cells.highMorning = cells.highAfternoon = cells.lowMorning = cells.lowAfternoon = "-----";
    cells.coefMorning = cells.coefAfternoon = "  -";
    return cells;
}

void PutInCells(DayCells& cells, const TurningPoint& point, const std::tm& local)
{
    std::string time = Format("%2i:%02i", local.tm_hour, local.tm_min);
    if (point.high && !cells.highAfternoonSeen) {
        cells.highAfternoonSeen = true;
        cells.highAfternoon = time;
        cells.coefAfternoon = Format("%3i", point.coefficient);
    } else if (point.high) {
        cells.highMorning = time;
        cells.coefMorning = Format("%3i", point.coefficient);
    } else if (!cells.lowAfternoonSeen) {
        cells.lowAfternoonSeen = true;
        cells.lowAfternoon = time;
    } else {
        cells.lowMorning = time;
    }
}

// A day's line is written when the scan meets a tide of an earlier day, so
// the 1st is written at the first tide of the day before, whose own line
// never is. Cells of the last day that no tide fills keep their blanks.
std::vector<std::string> ExportableLines(const MonthBounds& month, const std::vector<TurningPoint>& points)
{
    std::vector<std::string> lines;
    DayCells cells;
    cells.day = month.lastDay;
    cells.weekday = LocalTimeAt(month.end - 10).tm_wday;
    for (const TurningPoint& point : points) {
        const std::tm local = LocalTimeAt(point.t);
        if (local.tm_mday != cells.day) {
            lines.push_back(DayLine(cells));
            cells = EmptyDay(local);
        }
        PutInCells(cells, point, local);
    }
    return lines;
}

}  // namespace

std::string NodalCorrectionsLine()
{
    return Format("Corrections nodales : %s (ondes de %i).\r\n", Model.NodalCorrections ? "oui" : "non",
                  Header.StartYear);
}

std::vector<std::string> MonthReportLines(const MonthBounds& month, bool exportable)
{
    const std::vector<TurningPoint> points = ScanMonth(month);
    std::vector<std::string> lines;
    if (month.year != Header.StartYear)
        lines.push_back(NodalCorrectionsLine());  // computed first: the box's last line
    const std::vector<std::string> tides = exportable ? ExportableLines(month, points) : PlainLines(month, points);
    lines.insert(lines.end(), tides.begin(), tides.end());
    if (exportable)
        lines.push_back(Header.ShowCoefficient ? "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\r\n"
                                               : "Jour;HMmatin;HM AM;BMmatin;BM AM\r\n");
    if (Header.Offsets)
        lines.push_back(OffsetsNote() + ".\r\n");
    if (!Header.TimeZone.empty() || Header.DatumOffset || !ComputerZoneKnown())
        lines.push_back(ClockLine());
    lines.push_back(Format("Détermination des horaires de marée du mois de  %s %i\r\n",
                           MonthName(month.month).c_str(), month.year));
    return lines;
}

std::string ClockLine()
{
    return "Heure : " + ClockDescription() + " ; hauteurs " + HeightsReference() + ".\r\n";
}

// ---- The dialog -------------------------------------------------------------------

namespace {

void SayInReport(Window dialog, const std::string& text)
{
    SetControlText(dialog, TIDE_REPORT_ID, text);
}

// The month the dialog asks for. When it has none, the report box says why.
std::optional<MonthBounds> AskedMonthOrSay(Window dialog)
{
    const std::string entry = FirstChars(GetControlText(dialog, TIDE_YEAR_ID), 99);
    std::optional<long> year = YearOfEntry(entry);
    if (!year) {
        const bool blank = entry.find_first_not_of(" \t") == std::string::npos;
        SayInReport(dialog, blank ? "Tapez l'année en chiffres, par exemple 2004.\r\n"
                                  : Format("L'année « %s » n'est pas un nombre entier : tapez-la en chiffres, "
                                           "par exemple 2004.\r\n",
                                           entry.c_str()));
        return std::nullopt;
    }
    const int month = SelectedItem(dialog, TIDE_MONTH_ID);
    if (month < 0 || month > 11) {
        SayInReport(dialog, "Choisissez un mois dans la liste.\r\n");
        return std::nullopt;
    }
    std::optional<MonthBounds> bounds = MonthBoundsOf(*year, month);
    if (!bounds)
        SayInReport(dialog, Format("Le mois de %s %li ne peut pas être converti en date : choisissez une autre "
                                   "année.\r\n",
                                   MonthName(month).c_str(), *year));
    return bounds;
}

// Before a tab, a plain line holds 30 to 38 characters (day name, date and
// month name) and an exportable one 12 to 16 (day name and date): a stop
// every 20 characters puts each column at one place.
constexpr int REPORT_TAB_CHARS = 20;

// "Exportable" as it was left, in this run or one before.
constexpr const char* EXPORTABLE_SETTING = "exportable";

void FillTideTimesDialog(Window dialog)
{
    SetTabStops(dialog, TIDE_REPORT_ID, REPORT_TAB_CHARS);
    SetChecked(dialog, TIDE_EXPORTABLE_ID, KeptSetting(EXPORTABLE_SETTING) == "1");
    ClearItems(dialog, TIDE_MONTH_ID);
    for (int month = 0; month < 12; ++month)
        AddItem(dialog, TIDE_MONTH_ID, MonthChoice(month));
    const std::tm today = LocalTimeNow();
    SetControlText(dialog, TIDE_YEAR_ID, Format("%i", today.tm_year + 1900));
    SelectItem(dialog, TIDE_MONTH_ID, today.tm_mon);
}

}  // namespace

void ComputeMonthTides(Window dialog)
{
    std::optional<MonthBounds> month = AskedMonthOrSay(dialog);
    if (!month)
        return;
    const bool exportable = IsChecked(dialog, TIDE_EXPORTABLE_ID);
    SetControlText(dialog, TIDE_REPORT_ID, "");
    for (const std::string& line : MonthReportLines(*month, exportable)) {
        LogText(line);
        InsertTextAtStart(dialog, TIDE_REPORT_ID, line);
    }
}

void TideTimesDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        return FillTideTimesDialog(dialog);
    if (id == TIDE_EXPORTABLE_ID && notification == NOTIFY_CLICKED)
        KeepSetting(EXPORTABLE_SETTING, IsChecked(dialog, TIDE_EXPORTABLE_ID) ? "1" : "0");
    if ((id == ID_OK || id == ID_CANCEL) && notification == NOTIFY_CLICKED)
        EndDialog(dialog, 0);
    else if (id == TIDE_COMPUTE_ID && notification == NOTIFY_CLICKED)
        ComputeMonthTides(dialog);
}

void OpenTideTimes()
{
    RunModalDialog(MainWindow, TideTimesTemplate, TideTimesDialog);
}
