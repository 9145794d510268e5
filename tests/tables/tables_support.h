// What the tide-times tests share: the model time and time zone they run in,
// the dialog run as the user would, and models in closed form whose extremes
// are found here, independently of the program's scan.
#pragma once

#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "tests/support/program_test.h"

// Model time from 00:00 on 1 January 2004 in Paris (every test runs with
// TZ=Europe/Paris), the log open.
class TideTimesTest : public ProgramTest {
protected:
    void SetUp() override;
};

// Opens the tide-times dialog, types the year, picks the month, ticks
// "Exportable" when asked, presses "Calcul" then "Fermeture", and returns
// what the report box showed.
std::string RunTideTimes(const std::string& year, int month, bool exportable);

// The lines of a text, each with its "\r\n".
std::vector<std::string> LinesOf(const std::string& text);

// Calendar time (s) of a UTC date and time, and the local clock at calendar
// time t, without the program's own conversions.
long UtcTime(int year, int month, int day, int hour, int minute, int second);
std::tm ClockAt(long t);

// meanLevel + Σ ampl·cos(2π·t / period − etab), t in model time (s).
struct Term {
    double periodHours, ampl, etab;
    double Omega() const { return 2 * M_PI / (periodHours * 3600); }
};
struct Extreme { double t; double height; bool high; };  // high: a maximum
struct ClosedForm {
    double meanLevel = 0;
    std::vector<Term> terms;
    double Height(double t) const;
    void Install() const;  // as the program's whole model
    // Sign changes of the analytic derivative in [from, to), bracketed every
    // 10 minutes, then bisected to a millisecond.
    std::vector<Extreme> Extremes(double from, double to) const;
};

// One wave of period (h) and amplitude (m) around meanLevel, with a high
// water at calendar time highAt (s).
ClosedForm PureWave(double periodHours, double ampl, double meanLevel, long highAt);
