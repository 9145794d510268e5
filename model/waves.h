// The tide model: a table of waves (harmonic constituents) plus a mean
// level, and the predicted height with its first two time derivatives.
#pragma once

#include <cstdint>
#include <string>

struct Wave {
    double speed = 0;   // rad/s; the term is ampl·cos(speed·t − etab)
    double ampl = 0;    // m
    double etab = 0;    // rad; the wave peaks at t = etab/speed (modulo one period)
    std::string name;   // UTF-8 designation
};

inline constexpr int WAVE_CAPACITY = 100;

struct WaveTable {
    Wave waves[WAVE_CAPACITY];  // entries 0 … count − 1 are active; the rest keep what they last held
    std::int32_t count = 0;
    double MeanLevel = 0;       // m, the constant term of the prediction
};

// Writes the five default waves into entries 0 to 4 without making them
// active (count becomes 0) and sets the mean level to 6.02 m.
void SetDefaultWaves();

// True when there is room for one more wave.
bool WaveSetHasRoom();

// Stores w at index count and makes it active. The caller has checked
// WaveSetHasRoom().
void AppendWave(const Wave& w);

// Removes wave i (0 … count − 1); the later waves move down one place,
// keeping their order.
void RemoveWave(int i);

// At model time t (s), over the waves first … count − 1:
double PredictHeight(double t, int first);       // m, MeanLevel included
double PredictHeightRate(double t, int first);   // m/s; MeanLevel does not enter
double PredictHeightAccel(double t, int first);  // m/s²

extern WaveTable WaveSet;
