// The predicted height and its rate along a grid of times without a cosine or
// a sine per wave and time: each wave's (cos, sin) pair is turned from one
// time to the next by a rotation. Every value comes with a bound on its
// distance to what PredictHeight or PredictHeightRate return at the same
// time, so that a caller can take the fast value wherever the bound decides
// what it needs (a sign, a float) and call the exact function elsewhere.
//
// The bounds hold for any waves with finite values; a walk over waves with a
// value that is not finite is not usable (WalkUsable) and the caller must
// use the exact functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PredictionWalk {
    double t = 0;      // s, model time reached
    double step = 0;   // s, the grid step (negative: a walk back in time)
    double drift = 0;  // bound on the Euclidean distance of each (cos, sin) pair to the exact one
    // Per active wave, from index 0, padded with waves of amplitude 0 to a
    // whole number of vectors:
    std::vector<double> speed, ampl, etab;  // rad/s, m, rad
    std::vector<double> rateCoef;           // speed·ampl (m/s)
    std::vector<double> accelCoef;          // speed²·ampl (m/s²)
    std::vector<double> cosAt, sinAt;       // of speed·t − etab at t
    // Rotation of every wave by step·2^level, for level 0 … levels − 1, with
    // its length in seconds and what one such rotation adds to drift:
    std::vector<std::vector<double>> turnCos, turnSin;
    std::vector<double> turnSeconds, turnDrift;
    std::size_t waves = 0;  // active waves, before the padding
    double meanLevel = 0;  // m
    // Sums over the waves of |ampl|·|speed|^k for k = 0 … 3, of |ampl·etab|
    // and |speed·ampl·etab|; the largest |speed| and |etab|:
    double sumAmpl = 0, sumRate = 0, sumAccel = 0, sumJerk = 0;
    double sumAmplEtab = 0, sumRateEtab = 0, maxSpeed = 0, maxEtab = 0;
    bool usable = false;  // every value finite: the bounds hold
};

// A walk over the active waves of the set from model time t (s), with grid
// step step (s, nonzero, a whole number of seconds) and rotations for up to
// 2^levels − 1 steps at once.
void StartWalk(PredictionWalk& walk, double t, double step, int levels);

// Moves the walk on by steps grid steps (steps ≥ 0).
void WalkSteps(PredictionWalk& walk, std::int64_t steps);

// At the walk's time t, each value with a bound on its distance to the true
// function of the waves (real arithmetic on their doubles):
double WalkHeight(const PredictionWalk& walk);       // m
double WalkHeightError(const PredictionWalk& walk);  // m
double WalkRate(const PredictionWalk& walk);         // m/s
double WalkRateError(const PredictionWalk& walk);    // m/s
double WalkAccel(const PredictionWalk& walk);        // m/s²
double WalkAccelError(const PredictionWalk& walk);   // m/s²

// Bounds on the distance of PredictHeight(t, 0) and PredictHeightRate(t, 0)
// to the true functions, for every |t| ≤ tAbsMax (s): the rounding of their
// arguments grows with t.
double HeightRoundingBound(const PredictionWalk& walk, double tAbsMax);  // m
double RateRoundingBound(const PredictionWalk& walk, double tAbsMax);    // m/s
