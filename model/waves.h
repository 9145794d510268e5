// The tide model: a table of waves (harmonic constituents) plus a mean
// level, and the predicted height with its first two time derivatives.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "base/calendar.h"

// How closely the record fixes a wave, as the joint analysis finds it: the
// half-widths of the 95 % confidence intervals of its amplitude and phase,
// and its signal-to-noise ratio. NaN where not known: a wave fitted alone,
// read from a file or edited by hand.
struct WaveUncertainty {
    double ampl95 = std::numeric_limits<double>::quiet_NaN();  // m
    double etab95 = std::numeric_limits<double>::quiet_NaN();  // rad
    double snr = std::numeric_limits<double>::quiet_NaN();     // ampl² over the amplitude's variance
};

struct Wave {
    double speed = 0;   // rad/s; the term is ampl·cos(speed·t − etab)
    double ampl = 0;    // m
    double etab = 0;    // rad; the wave peaks at t = etab/speed (modulo one period)
    std::string name;   // UTF-8 designation
    WaveUncertainty uncertainty = {};
};

inline constexpr int WAVE_CAPACITY = 100;

struct WaveTable {
    Wave waves[WAVE_CAPACITY];  // entries 0 … count − 1 are active; the rest keep what they last held
    std::int32_t count = 0;
    double MeanLevel = 0;       // m, the constant term of the prediction
    // One more at every change of the active waves or of the mean level: what
    // was saved or opened is told from what is in memory by it.
    std::uint64_t revision = 0;
};

// Whoever writes into WaveSet's waves, count or mean level but through the
// functions below says so here.
void NoteWavesChanged();

// Writes the five default waves into entries 0 to 4 without making them
// active (count becomes 0) and sets the mean level to 6.02 m.
void SetDefaultWaves();

// No tide comes near: waves whose amplitudes add up beyond it are a
// mistake, and their heights, tables and coefficients would be nonsense.
inline constexpr double MAX_TIDE_RANGE_M = 100;

// The first of the count waves with which the sum of the amplitudes passes
// MAX_TIDE_RANGE_M (the highest height they can predict above the mean
// level); -1 when they stay within it.
int WaveBeyondTideRange(const Wave* waves, int count);

// True when there is room for one more wave.
bool WaveSetHasRoom();

// Stores w at index count and makes it active. The caller has checked
// WaveSetHasRoom().
void AppendWave(const Wave& w);

// Removes wave i (0 … count − 1); the later waves move down one place,
// keeping their order.
void RemoveWave(int i);

// At model time t (s), over the waves first … count − 1 as WavesInForceAt(t)
// gives them:
double PredictHeight(double t, int first);       // m, MeanLevel included
double PredictHeightRate(double t, int first);   // m/s; MeanLevel does not enter
double PredictHeightAccel(double t, int first);  // m/s²

// m: the record or the prediction, as Options.SourceMode says; NaN where
// the record was not measured.
double SourceHeight(double t, int first);

// Nodal corrections. With Model.NodalCorrections, a wave whose speed is a
// lunar constituent's (model/astronomy.h) describes the tide of the wave
// set's year (Header.StartYear, the year its phases refer to) and is carried
// from the middle of that year to the middle of each day: its amplitude is
// multiplied by f/f₀ and its argument gains u − u₀ (etab lessened by it).
// Other waves, and every wave with the option off, are summed as they are.

// Calendar time (s) of the middle of year, whose 1 January at 00:00 is
// origin: the date a wave of that year describes.
double MiddleOfYear(CalendarTime origin, std::int32_t year);

// Model day of t (s): day d holds d·DAY_SECONDS ≤ t < (d + 1)·DAY_SECONDS. |t| < 1e15.
std::int64_t ModelDayOf(double t);

// w as the prediction sums it on model day `day`: speed as w's, amplitude and
// phase carried, name empty.
Wave WaveOnDay(const Wave& w, std::int64_t day);

// w, a wave of the year fromYear whose 1 January at 00:00 is calendar time
// fromOrigin, as a wave of toYear (starting at toOrigin): with the option on
// a lunar constituent is carried from the middle of one year to the middle
// of the other, so that the corrected prediction stays the same; otherwise w
// as it is. Its phase still refers to fromOrigin.
Wave WaveOfAnotherYear(const Wave& w, CalendarTime fromOrigin, std::int32_t fromYear, CalendarTime toOrigin,
                       std::int32_t toYear);

// Moves the time origin (Header.Time_of_debut) to start, calendar s, 1 January
// of year (Header.StartYear), and turns the phase of every active wave by what
// its speed covers in the shift, so that the height predicted at each calendar
// instant stays the same; with the nodal corrections on, the waves also become
// waves of the new year (WaveOfAnotherYear). The phases come out in [−π, π].
// Nothing changes when start and year are the origin already.
void MoveTimeOrigin(CalendarTime start, std::int32_t year);

// The active waves as the prediction sums them at t: WaveSet.waves itself
// with the option off (or t beyond a million centuries), otherwise
// WaveOnDay of each for t's day, kept until this thread's next call.
const Wave* WavesInForceAt(double t);

// The model times (s) from which and to which the waves of WavesInForceAt(t)
// stay the same: t's day, or the whole line with the option off.
double WavesInForceFrom(double t);
double WavesInForceUntil(double t);

extern WaveTable WaveSet;
