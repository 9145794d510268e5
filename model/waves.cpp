#include "model/waves.h"

#include <cassert>
#include <cmath>
#include <limits>
#include <vector>

#include "base/options.h"
#include "model/astronomy.h"
#include "model/modeloptions.h"
#include "model/modelstamp.h"
#include "model/port.h"
#include "model/record.h"
#include "model/units.h"

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
    NoteWavesChanged();
}

void NoteWavesChanged()
{
    ++WaveSet.revision;
}

int WaveBeyondTideRange(const Wave* waves, int count)
{
    double sum = 0;  // m
    for (int i = 0; i < count; ++i)
        if ((sum += std::fabs(waves[i].ampl)) > MAX_TIDE_RANGE_M)
            return i;
    return -1;
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
    NoteWavesChanged();
}

void RemoveWave(int i)
{
    assert(i >= 0 && i < WaveSet.count);
    for (int k = i; k + 1 < WaveSet.count; ++k)
        WaveSet.waves[k] = WaveSet.waves[k + 1];
    --WaveSet.count;
    NoteWavesChanged();
}

// ---- Nodal corrections ---------------------------------------------------------------

double MiddleOfYear(CalendarTime origin, std::int32_t year)
{
    const double days = IsLeapYear(year) ? 366 : 365;
    return static_cast<double>(origin) + DAY_SECONDS / 2 * days;
}

namespace {

// Beyond this the model day would not fit its integer; no date there is a
// date of the tide.
constexpr double LARGEST_CORRECTED_TIME = 1e15;

// The angles the waves are carried with, for the time origin and the year
// they were taken at: the middle of the wave set's year, and the middle of
// each day, kept for the days of a century from the origin on (2 MB) since a
// fit carries each wave to every day of the record. Each thread its own.
struct CalendarAngles {
    ModelStamp stamp;  // of CALENDAR_PART
    NodalAngles year;
    std::vector<NodalAngles> days;
    std::vector<char> known;
};
thread_local CalendarAngles KeptAngles;
constexpr std::int64_t DAYS_KEPT = 36525;

CalendarAngles& CurrentAngles()
{
    CalendarAngles& kept = KeptAngles;
    if (!IsCurrent(kept.stamp))
        kept = CalendarAngles{CurrentModelStamp(CALENDAR_PART),
                              NodalAnglesAt(MiddleOfYear(Header.Time_of_debut, Header.StartYear)), {}, {}};
    return kept;
}

NodalAngles AnglesOfDayAt(std::int64_t day)
{
    return NodalAnglesAt(static_cast<double>(Header.Time_of_debut) + DAY_SECONDS * static_cast<double>(day) +
                         DAY_SECONDS / 2);
}

NodalAngles AnglesOfDay(CalendarAngles& kept, std::int64_t day)
{
    if (day < 0 || day >= DAYS_KEPT)
        return AnglesOfDayAt(day);
    const auto d = static_cast<std::size_t>(day);
    if (d >= kept.known.size()) {
        kept.days.resize(d + 1);
        kept.known.resize(d + 1, 0);
    }
    if (!kept.known[d]) {
        kept.days[d] = AnglesOfDayAt(day);
        kept.known[d] = 1;
    }
    return kept.days[d];
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

// The waves of one day, kept with the stamp of what they were carried from,
// and what does not change from day to day: each wave's constituent and
// its factor of the year, as Carried finds them.
struct DayWaves {
    ModelStamp stamp;  // of CALENDAR_PART | WAVES_PART
    std::int64_t day = 0;
    std::vector<Wave> waves;  // as carried to the day
    std::vector<int> constituents;       // NO_CONSTITUENT for a wave carried as it is
    std::vector<NodalFactor> yearFactors;
};

void CarryToDay(DayWaves& c, std::int64_t day)
{
    CalendarAngles& angles = CurrentAngles();
    const NodalAngles dayAngles = AnglesOfDay(angles, day);
    if (!IsCurrent(c.stamp)) {
        c.constituents.clear();
        c.yearFactors.clear();
        for (int j = 0; j < WaveSet.count; ++j) {
            const int k = ConstituentOfSpeed(WaveSet.waves[j].speed);
            const bool carried = k != NO_CONSTITUENT && IsNodallyModulated(k);
            c.constituents.push_back(carried ? k : NO_CONSTITUENT);
            c.yearFactors.push_back(carried ? NodalFactorOf(k, angles.year) : NodalFactor{});
        }
        c.stamp = CurrentModelStamp(CALENDAR_PART | WAVES_PART);
    }
    c.day = day;
    c.waves.clear();
    for (int j = 0; j < WaveSet.count; ++j) {
        const Wave& w = WaveSet.waves[j];
        Wave out{w.speed, w.ampl, w.etab, ""};
        if (const int k = c.constituents[static_cast<std::size_t>(j)]; k != NO_CONSTITUENT) {
            const NodalFactor now = NodalFactorOf(k, dayAngles);
            const NodalFactor& then = c.yearFactors[static_cast<std::size_t>(j)];
            out.ampl = w.ampl * (now.f / then.f);
            out.etab = w.etab - (now.u - then.u);
        }
        c.waves.push_back(out);
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
    CalendarAngles& angles = CurrentAngles();
    return Carried(w, AnglesOfDay(angles, day), angles.year);
}

Wave WaveOfAnotherYear(const Wave& w, CalendarTime fromOrigin, std::int32_t fromYear, CalendarTime toOrigin,
                       std::int32_t toYear)
{
    if (!Model.NodalCorrections)
        return Wave{w.speed, w.ampl, w.etab, ""};
    return Carried(w, NodalAnglesAt(MiddleOfYear(toOrigin, toYear)), NodalAnglesAt(MiddleOfYear(fromOrigin, fromYear)));
}

void MoveTimeOrigin(CalendarTime start, std::int32_t year)
{
    const CalendarTime from = Header.Time_of_debut;
    const std::int32_t fromYear = Header.StartYear;
    Header.Time_of_debut = start;
    Header.StartYear = year;
    if (start == from && year == fromYear)
        return;
    const auto shiftS = static_cast<double>(start - from);
    for (int i = 0; i < WaveSet.count; ++i) {
        Wave& w = WaveSet.waves[i];
        const Wave carried = WaveOfAnotherYear(w, from, fromYear, start, year);
        w.ampl = carried.ampl;
        w.etab = std::remainder(carried.etab - w.speed * shiftS, TWO_PI);
    }
}

const Wave* WavesInForceAt(double t)
{
    if (!CorrectsAt(t))
        return WaveSet.waves;
    const std::int64_t day = ModelDayOf(t);
    if (CurrentDay.day != day || !IsCurrent(CurrentDay.stamp))
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

double SourceHeight(double t, int first)
{
    auto wholeMinute = [](double s) { return 60.0 * static_cast<std::int64_t>(s * INV_60); };
    switch (Options.SourceMode) {
    case 0: return ObservedHeight(t);
    case 1: return PredictHeight(t, 0);
    case 2: return PredictHeight(t, first);
    case 3: return PredictHeight(wholeMinute(t), 0);
    case 4: return PredictHeight(wholeMinute(t), first);
    }
    return ObservedHeight(t);
}
