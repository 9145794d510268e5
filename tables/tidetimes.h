// Tide times of a month: every high and low water that the model predicts,
// with a tide coefficient for each high water, as a plain report (one
// sentence per tide) or an exportable one (one line per day, fixed columns),
// and the dialog "Calculer les horaires de Marées" (template 102) that asks
// for the month and shows the report.
//
// Only the prediction over all waves enters (PredictHeight and
// PredictHeightRate with first = 0, MeanLevel); the hourly record and the
// source mode do not.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "platform/platform.h"

// Controls of the tide-times dialog. "Calcul" is the default button, which
// Enter presses; "Fermeture" is ID_OK; Escape and the close box send
// ID_CANCEL.
inline constexpr int TIDE_REPORT_ID = 101;      // the report: multi-line, read-only
inline constexpr int TIDE_YEAR_ID = 102;        // the year, a whole number
inline constexpr int TIDE_MONTH_ID = 103;       // MonthChoice of each C month, in order
inline constexpr int TIDE_EXPORTABLE_ID = 104;  // ticked: one line per day
inline constexpr int TIDE_COMPUTE_ID = 111;     // "Calcul"

inline constexpr long SCAN_STEP = 30;              // s between two rate evaluations
inline constexpr long SCAN_MARGIN_AFTER = DAY_SECONDS;        // s scanned after the month's end
inline constexpr long SCAN_MARGIN_BEFORE = DAY_SECONDS + 10;  // s: the scan runs while t > start − this
// Coefficient = trunc((high water − following low water) × factor). One unit
// in the last place above 1/0.0601: coefficients have always used this value.
inline constexpr double CoefficientFactor = 16.63893510815308;
// A year entry above this is a full year; otherwise it counts from 1900.
inline constexpr long FULL_YEAR_THRESHOLD = 1000;

// The month entry of the dialog for a C month: its name capitalised,
// "Aout" without accent.
std::string MonthChoice(int month);

extern const DialogTemplate TideTimesTemplate;

// One calendar month in model time (s from Time_of_debut).
struct MonthBounds {
    long start = 0;   // 00:00 on the 1st, on the local clock
    long end = 0;     // 00:00 on the 1st of the next month, on the local clock
    int month = 0;    // C month, January = 0
    int year = 0;     // full year, as the local time of the start gives it
    int lastDay = 0;  // day of month of the month's last day
};

// The bounds of month (0 to 11) of a full year. Nothing when the C library
// cannot convert one of them.
std::optional<MonthBounds> MonthBoundsOf(long year, int month);

// The full year that a year entry means, a whole number in decimal digits
// (ParseTypedWhole): above FULL_YEAR_THRESHOLD it is the year itself,
// otherwise years since 1900 ("104" is 2004). Nothing when the entry is not
// a whole number.
std::optional<long> YearOfEntry(const std::string& entry);

// A high or low water: the rate changes sign between t and t + SCAN_STEP.
struct TurningPoint {
    long t = 0;           // s, model time of the scan point before the true extreme (a secondary port's: moved)
    double height = 0;    // m, PredictHeight at t (a secondary port's: ShiftedHeight of it)
    bool high = false;    // a maximum of the curve, whatever its height
    int coefficient = 0;  // high water only: against the next low water after it
};

// A maximum and the minimum next to it that differ by less than this (m)
// are a ripple on the curve, not two tides: both are left out.
inline constexpr double RIPPLE = 0.01;

// Scans from one day after the month's end back to one day before its start,
// every SCAN_STEP seconds on a grid aligned on the month's end. Returns the
// tides before the month's end, latest first, ripples left out; the later
// ones only serve as the following low water of the last high waters. For a
// secondary port (Header.Offsets) these are its reference's tides moved and
// scaled there, with their coefficients; a month that is not one of the
// calendar's (any start and end in model time) is scanned the same way.
std::vector<TurningPoint> ScanMonth(const MonthBounds& month);
// The same scan with PredictHeightRate at every scan time: the definition
// that ScanMonth is checked against.
std::vector<TurningPoint> ScanMonthDirect(const MonthBounds& month);

// The report of a month in the order it is computed: for a month outside
// the wave set's year (Header.StartYear) NodalCorrectionsLine(), then the
// tide or day lines from the latest to the earliest, then (exportable) the
// column header, then for a secondary port OffsetsNote(), then for a port
// with a zone or a datum set apart from the record's zero (or while the
// computer's zone is unknown) ClockLine(), then the title. Each line ends
// with "\r\n". Heights are above the port's datum; the coefficient is left
// out when the port turns it off.
std::vector<std::string> MonthReportLines(const MonthBounds& month, bool exportable);

// Which clock and which zero the report is on: "Heure : Europe/Amsterdam ;
// hauteurs au-dessus de NAP."
std::string ClockLine();

// Whether the waves were carried to the date by the nodal corrections, and
// the year they describe: "Corrections nodales : non (ondes de 2009).".
std::string NodalCorrectionsLine();

// Prédiction > "&Horaires de marées.": runs the dialog modally, owned by the
// main window, and returns when it closes.
void OpenTideTimes();

// The dialog procedure. Only plain clicks count: "Calcul" computes,
// "Fermeture" and Escape end the dialog with 0. "Exportable" opens as the
// user left it, in this run or a run before (KeepSetting).
void TideTimesDialog(Window dialog, DialogEvent event, int id, int notification);

// "Calcul": reads the year, the month and "Exportable" as they stand, and
// replaces the report box by the month's report, which is also appended to
// the log in the order computed. A year or month that cannot be converted is
// said in the report box, and nothing else is done.
void ComputeMonthTides(Window dialog);
