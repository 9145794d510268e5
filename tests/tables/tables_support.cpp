#include "tests/tables/tables_support.h"

#include <cmath>

#include "model/record.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tables/tidetimes.h"
#include "tests/support/program_test.h"

std::string RunTideTimes(const std::string& year, int month, bool exportable)
{
    using Action = headless::DialogAction;
    headless::QueueDialogAction(Action::TypeInto(TIDE_YEAR_ID, year));
    headless::QueueDialogAction(Action::Choose(TIDE_MONTH_ID, month));
    if (exportable)
        headless::QueueDialogAction(Action::TickBox(TIDE_EXPORTABLE_ID));
    headless::QueueDialogAction(Action::Press(TIDE_COMPUTE_ID));
    headless::QueueDialogAction(Action::Press(ID_OK));
    OpenTideTimes();
    return headless::Dialogs().back().finalTexts.at(TIDE_REPORT_ID);
}

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        end = end == std::string::npos ? text.size() : end + 2;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

long UtcTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return static_cast<long>(timegm(&t));
}

std::tm ClockAt(long t)
{
    std::time_t when = t;
    std::tm clock{};
    localtime_r(&when, &clock);
    return clock;
}

void SetPureWave(double periodHours, double ampl, double meanLevel, long highAt)
{
    WaveSet.count = 0;
    WaveSet.MeanLevel = meanLevel;
    Wave w = WaveOf(periodHours, ampl, 0);
    w.etab = w.speed * static_cast<double>(highAt - Header.Time_of_debut);
    AppendWave(w);
}

std::vector<ClockTide> PureWaveTides(double periodHours, long highAt, long from, long to)
{
    const double half = periodHours * 3600 / 2;
    std::vector<ClockTide> tides;
    for (long k = static_cast<long>(std::floor((static_cast<double>(from - highAt)) / half)) - 1;; ++k) {
        double at = static_cast<double>(highAt) + static_cast<double>(k) * half;
        if (at >= static_cast<double>(to))
            break;
        if (at < static_cast<double>(from))
            continue;
        ClockTide tide;
        tide.at = static_cast<long>(std::floor(at));
        tide.high = k % 2 == 0;
        tide.clock = ClockAt(tide.at);
        tides.push_back(tide);
    }
    return tides;
}
