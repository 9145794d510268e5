#include "model/waves.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <limits>
#include <vector>

#include "model/astronomy.h"
#include "model/modeloptions.h"
#include "model/record.h"

WaveTable WaveSet;

void SetDefaultWaves()
{
    // Doubles as the program has always had them; the comments give the
    // period and the phase in degrees for reading only.
    const Wave defaults[5] = {
        {0.00014051890250864362, 2.06, 1.7278759594743864, "Onde lunaire semi-diurne."},            // 12.4206 h, 99°
        {0.0001454441043328608, 0.75, 2.426007660272118, "Onde solaire semi-diurne."},               // 12 h, 139°
        {0.00013787969948654463, 0.42, 1.3962634015954636, "Onde lunaire elliptique semi-diurne."},  // 12.6583 h, 80°
        {6.759774415077308e-05, 0.07, 5.654866776461628, "Onde lunaire diurne."},                    // 25.8193 h, 324°
        {7.27220521664304e-05, 0.06, 1.2042771838760873, "Onde solaire diurne."},                    // 24 h, 69°
    };
    for (int i = 0; i < 5; ++i)
        WaveSet.waves[i] = defaults[i];
    WaveSet.MeanLevel = 6.02;
    WaveSet.count = 0;
}

bool WaveSetHasRoom()
{
    return WaveSet.count < WAVE_CAPACITY;
}

void AppendWave(const Wave& w)
{
    assert(WaveSetHasRoom());
    WaveSet.waves[WaveSet.count] = w;
    ++WaveSet.count;
}

void RemoveWave(int i)
{
    assert(i >= 0 && i < WaveSet.count);
    for (int k = i; k + 1 < WaveSet.count; ++k)
        WaveSet.waves[k] = WaveSet.waves[k + 1];
    --WaveSet.count;
}

// ---- Nodal corrections ---------------------------------------------------------------

namespace {

// Beyond this the model day would not fit its integer; no date there is a
// date of the tide.
constexpr double LARGEST_CORRECTED_TIME = 1e15;

// The angles of the middle of each day, kept for the days of a century from
// the origin on (2 MB): a fit carries each wave to every day of the record.
// Each thread its own.
struct DayAngles {
    CalendarTime origin = 0;
    std::vector<NodalAngles> angles;
    std::vector<char> known;
};
thread_local DayAngles KnownDays;
constexpr std::int64_t DAYS_KEPT = 36525;

NodalAngles AnglesOfDayAt(std::int64_t day)
{
    return NodalAnglesAt(static_cast<double>(Header.Time_of_debut) + DAY_SECONDS * static_cast<double>(day) +
                         DAY_SECONDS / 2);
}

NodalAngles AnglesOfDay(std::int64_t day)
{
    DayAngles& kept = KnownDays;
    if (day < 0 || day >= DAYS_KEPT)
        return AnglesOfDayAt(day);
    if (kept.origin != Header.Time_of_debut)
        kept = DayAngles{Header.Time_of_debut, {}, {}};
    const auto d = static_cast<std::size_t>(day);
    if (d >= kept.known.size()) {
        kept.angles.resize(d + 1);
        kept.known.resize(d + 1, 0);
    }
    if (!kept.known[d]) {
        kept.angles[d] = AnglesOfDayAt(day);
        kept.known[d] = 1;
    }
    return kept.angles[d];
}

// The angles of the middle of the waves' year, as last asked. Each thread its own.
struct AnglesMemo {
    bool valid = false;
    double t = 0;
    NodalAngles angles;
};
thread_local AnglesMemo YearMemo;

// Calendar time (s) of the middle of year, whose 1 January at 00:00 is origin.
double MiddleOfYear(CalendarTime origin, std::int32_t year)
{
    const double days = IsLeapYear(year) ? 366 : 365;
    return static_cast<double>(origin) + DAY_SECONDS / 2 * days;
}

// The middle of the year whose 1 January at 00:00 is model time 0.
const NodalAngles& AnglesOfYear()
{
    const double t = MiddleOfYear(Header.Time_of_debut, Header.StartYear);
    AnglesMemo& memo = YearMemo;
    if (!memo.valid || memo.t != t)
        memo = {true, t, NodalAnglesAt(t)};
    return memo.angles;
}

Wave Carried(const Wave& w, const NodalAngles& day, const NodalAngles& year)
{
    Wave out;
    out.speed = w.speed;
    out.ampl = w.ampl;
    out.etab = w.etab;
    const int c = ConstituentOfSpeed(w.speed);
    if (c == NO_CONSTITUENT || !IsNodallyModulated(c))
        return out;
    const NodalFactor now = NodalFactorOf(c, day);
    const NodalFactor then = NodalFactorOf(c, year);
    out.ampl = w.ampl * (now.f / then.f);
    out.etab = w.etab - (now.u - then.u);
    return out;
}

bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The waves of one day, kept with everything they were carried from.
struct DayWaves {
    bool valid = false;
    std::int64_t day = 0;
    CalendarTime origin = 0;
    std::int32_t year = 0;
    std::vector<Wave> from;   // speed, ampl and etab of the active waves
    std::vector<Wave> waves;  // as carried to the day
};

bool StillCurrent(const DayWaves& c, std::int64_t day)
{
    if (!c.valid || c.day != day || c.origin != Header.Time_of_debut || c.year != Header.StartYear ||
        c.from.size() != static_cast<std::size_t>(WaveSet.count))
        return false;
    for (std::size_t j = 0; j < c.from.size(); ++j) {
        const Wave& a = c.from[j];
        const Wave& b = WaveSet.waves[j];
        if (!SameBits(a.speed, b.speed) || !SameBits(a.ampl, b.ampl) || !SameBits(a.etab, b.etab))
            return false;
    }
    return true;
}

void CarryToDay(DayWaves& c, std::int64_t day)
{
    const NodalAngles dayAngles = AnglesOfDay(day);
    const NodalAngles& yearAngles = AnglesOfYear();
    c.valid = true;
    c.day = day;
    c.origin = Header.Time_of_debut;
    c.year = Header.StartYear;
    c.from.clear();
    c.waves.clear();
    for (int j = 0; j < WaveSet.count; ++j) {
        const Wave& w = WaveSet.waves[j];
        c.from.push_back(Wave{w.speed, w.ampl, w.etab, ""});
        c.waves.push_back(Carried(w, dayAngles, yearAngles));
    }
}

// Each thread its own: the scans of several months may run side by side.
thread_local DayWaves CurrentDay;

bool CorrectsAt(double t)
{
    return Model.NodalCorrections && std::fabs(t) < LARGEST_CORRECTED_TIME;
}

}  // namespace

std::int64_t ModelDayOf(double t)
{
    return static_cast<std::int64_t>(std::floor(t / DAY_SECONDS));
}

Wave WaveOnDay(const Wave& w, std::int64_t day)
{
    if (!Model.NodalCorrections)
        return Wave{w.speed, w.ampl, w.etab, ""};
    return Carried(w, AnglesOfDay(day), AnglesOfYear());
}

Wave WaveOfAnotherYear(const Wave& w, CalendarTime fromOrigin, std::int32_t fromYear, CalendarTime toOrigin,
                       std::int32_t toYear)
{
    if (!Model.NodalCorrections)
        return Wave{w.speed, w.ampl, w.etab, ""};
    return Carried(w, NodalAnglesAt(MiddleOfYear(toOrigin, toYear)), NodalAnglesAt(MiddleOfYear(fromOrigin, fromYear)));
}

const Wave* WavesInForceAt(double t)
{
    if (!CorrectsAt(t))
        return WaveSet.waves;
    const std::int64_t day = ModelDayOf(t);
    if (!StillCurrent(CurrentDay, day))
        CarryToDay(CurrentDay, day);
    return CurrentDay.waves.data();
}

double WavesInForceFrom(double t)
{
    if (!CorrectsAt(t))
        return -std::numeric_limits<double>::infinity();
    return DAY_SECONDS * static_cast<double>(ModelDayOf(t));
}

double WavesInForceUntil(double t)
{
    if (!CorrectsAt(t))
        return std::numeric_limits<double>::infinity();
    return DAY_SECONDS * static_cast<double>(ModelDayOf(t) + 1);
}

// ---- Prediction --------------------------------------------------------------------------

double PredictHeight(double t, int first)
{
    const Wave* waves = WavesInForceAt(t);
    double h = WaveSet.MeanLevel;
    for (int i = first; i < WaveSet.count; ++i) {
        const Wave& w = waves[i];
        h += w.ampl * std::cos(w.speed * t - w.etab);
    }
    return h;
}

double PredictHeightRate(double t, int first)
{
    const Wave* waves = WavesInForceAt(t);
    double rate = 0;
    for (int i = first; i < WaveSet.count; ++i) {
        const Wave& w = waves[i];
        rate -= w.speed * w.ampl * std::sin(w.speed * t - w.etab);
    }
    return rate;
}

double PredictHeightAccel(double t, int first)
{
    const Wave* waves = WavesInForceAt(t);
    double accel = 0;
    for (int i = first; i < WaveSet.count; ++i) {
        const Wave& w = waves[i];
        accel -= w.speed * w.speed * w.ampl * std::cos(w.speed * t - w.etab);
    }
    return accel;
}
