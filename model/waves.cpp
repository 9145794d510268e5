#include "model/waves.h"

#include <cassert>
#include <cmath>

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

double PredictHeight(double t, int first)
{
    double h = WaveSet.MeanLevel;
    for (int i = first; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        h += w.ampl * std::cos(w.speed * t - w.etab);
    }
    return h;
}

double PredictHeightRate(double t, int first)
{
    double rate = 0;
    for (int i = first; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        rate -= w.speed * w.ampl * std::sin(w.speed * t - w.etab);
    }
    return rate;
}

double PredictHeightAccel(double t, int first)
{
    double accel = 0;
    for (int i = first; i < WaveSet.count; ++i) {
        const Wave& w = WaveSet.waves[i];
        accel -= w.speed * w.speed * w.ampl * std::cos(w.speed * t - w.etab);
    }
    return accel;
}
