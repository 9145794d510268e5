// What the tide-times tests share: running the dialog as the user would,
// and models whose extremes are known in closed form.
#pragma once

#include <ctime>
#include <string>
#include <vector>

// Opens the tide-times dialog, types the year, picks the month, ticks
// "Exportable" when asked, presses "Calcul" then "Fermeture", and returns
// what the report box showed.
std::string RunTideTimes(const std::string& year, int month, bool exportable);

// The lines of a text, each with its "\r\n".
std::vector<std::string> LinesOf(const std::string& text);

// Calendar time (s) of a UTC date and time, without the program's own
// conversions.
long UtcTime(int year, int month, int day, int hour, int minute, int second);

// The local clock at calendar time t (s), without the program's own conversions.
std::tm ClockAt(long t);

// One pure wave as the whole model: period (h), amplitude (m) around
// meanLevel (m), with a high water at calendar time highAt (s).
void SetPureWave(double periodHours, double ampl, double meanLevel, long highAt);

// A high or low water of the pure wave, on the local clock.
struct ClockTide {
    long at = 0;  // calendar time of the true extreme, s, truncated
    bool high = false;
    std::tm clock{};
};

// The pure wave's extremes whose calendar time lies in [from, to).
std::vector<ClockTide> PureWaveTides(double periodHours, long highAt, long from, long to);

