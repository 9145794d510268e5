#include "tests/tables/tables_support.h"

#include <algorithm>
#include <cmath>

#include "base/calendar.h"
#include "base/log.h"
#include "model/port.h"
#include "model/waves.h"
#include "platform/headless/headless.h"
#include "tables/tidetimes.h"

void TideTimesTest::SetUp()
{
    ProgramTest::SetUp();
    Header.StartYear = 2004;
    Header.Time_of_debut = *YearStartTime(2004);
    OpenLog();
}

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
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
    t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
    return static_cast<long>(timegm(&t));
}

std::tm ClockAt(long t)
{
    const std::time_t when = t;
    std::tm clock{};
    return *localtime_r(&when, &clock);
}

double ClosedForm::Height(double t) const
{
    double h = meanLevel;
    for (const Term& w : terms)
        h += w.ampl * std::cos(w.Omega() * t - w.etab);
    return h;
}

void ClosedForm::Install() const
{
    WaveSet.count = 0;
    WaveSet.MeanLevel = meanLevel;
    for (const Term& w : terms)
        AppendWave(WaveOf(w.periodHours, w.ampl, w.etab));
}

std::vector<Extreme> ClosedForm::Extremes(double from, double to) const
{
    auto rising = [this](double t) {
        double slope = 0;
        for (const Term& w : terms)
            slope -= w.Omega() * w.ampl * std::sin(w.Omega() * t - w.etab);
        return slope > 0;
    };
    std::vector<Extreme> extremes;
    for (double a = from; a < to; a += 600) {
        double lo = a, hi = std::min(a + 600, to);
        const bool up = rising(lo);
        if (up == rising(hi))
            continue;
        while (hi - lo > 1e-3) {
            const double mid = (lo + hi) / 2;
            (rising(mid) == up ? lo : hi) = mid;
        }
        extremes.push_back({lo, Height(lo), up});
    }
    return extremes;
}

ClosedForm PureWave(double periodHours, double ampl, double meanLevel, long highAt)
{
    const double etab = 2 * M_PI / (periodHours * 3600) * static_cast<double>(highAt - Header.Time_of_debut);
    return ClosedForm{meanLevel, {{periodHours, ampl, etab}}};
}
