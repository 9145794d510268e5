// Units of the model: time in seconds from the record's start, speeds in
// rad/s, heights and amplitudes in metres, phases in radians. The constants
// are spelled once, here, as the doubles the program has always used.
#pragma once

inline constexpr double TWO_PI = 6.283185307179586;
inline constexpr double INV_3600 = 0.0002777777777777778;  // multiply, not divide: the last bit matters
inline constexpr double INV_60 = 0.016666666666666666;
inline constexpr double METRES_PER_CM = 0.01;

// Period in hours of a wave of this angular speed: 2π / speed × (1/3600).
inline double PeriodHoursFromSpeed(double speedRadPerS) { return TWO_PI / speedRadPerS * INV_3600; }
