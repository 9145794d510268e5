// Astronomy of the tide: the constituents of the harmonic method, their
// speeds from the motions of the Moon and the Sun, and the nodal factor f
// and nodal angle u by which the turning of the Moon's node (18.61 years)
// and, for L2 and M1, of its perigee (8.85 years) modulate the lunar ones:
// a constituent of amplitude H and phase g contributes f·H·cos(V + u − g).
//
// Formulas from P. Schureman, "Manual of Harmonic Analysis and Prediction of
// Tides", U.S. Coast and Geodetic Survey, Special Publication No. 98 (revised
// edition 1940, reprinted 1958): the mean longitudes of the Moon's node and
// perigee of its Table 1, the angles I, ν, ξ, ν′ and 2ν″ of the Moon's orbit
// against the equator, the node factors of its Table 2, and the terms Ra, R
// (for L2) and Qa, Q (for M1). A compound (shallow-water) constituent takes
// the product of the factors and the sum of the angles of its parts.
//
// This is knowledge of constituents and dates only: it knows nothing of the
// wave table or of the prediction.
#pragma once

#include <string_view>

// The state of the Moon's orbit at a date, in radians.
struct NodalAngles {
    double I = 0;            // inclination of the Moon's orbit to the equator
    double nu = 0;           // ν: right ascension of the orbit's intersection with the equator
    double xi = 0;           // ξ: longitude in the orbit of that intersection
    double nuPrime = 0;      // ν′, of the lunisolar K1
    double twoNuSecond = 0;  // 2ν″, of the lunisolar K2
    double P = 0;            // p − ξ: the lunar perigee's mean longitude p from that intersection
};

// At calendar time tSeconds (s since 1970-01-01 00:00 UTC).
NodalAngles NodalAnglesAt(double tSeconds);

struct NodalFactor {
    double f = 1;  // amplitude factor
    double u = 0;  // rad, added to the argument
};

inline constexpr int NO_CONSTITUENT = -1;

// The constituent whose speed lies within one part in a million of
// speedRadPerS, or NO_CONSTITUENT. Two constituents of the same speed (MO3 is
// 2MK3's speed) are one: the first of the table.
int ConstituentOfSpeed(double speedRadPerS);

// Name ("M2", "2MK3", …) and speed (rad/s) of a constituent.
const char* ConstituentName(int constituent);
double ConstituentSpeed(int constituent);

// The constituent of this name, or NO_CONSTITUENT.
int ConstituentNamed(const char* name);

// False for the purely solar constituents, whose f is always 1 and u 0.
bool IsNodallyModulated(int constituent);

// f and u of a constituent in the state a. For L2 and M1, whose factor also
// follows the perigee, only the ratio of f at two dates is meaningful.
NodalFactor NodalFactorOf(int constituent, const NodalAngles& a);

// The equilibrium argument V of a constituent at calendar time tSeconds, in
// radians in [−π, π]: its multiples of Table 1's mean longitudes at that
// instant (the hour angle of the mean Sun from the time of day, UTC) and its
// constant of Table 2. A published constituent of Greenwich phase lag g
// contributes f·H·cos(V + u − g).
double EquilibriumArgument(int constituent, double tSeconds);

// The constituent a published table names so, or NO_CONSTITUENT: any case
// (Mm, MM, mu2), the spellings LAM2, RHO, SIGMA1, EPS2, M(KS)2 and ALPHA1,
// and a `_KV` suffix taken as the line itself. MO3 is 2MK3's line and NO1
// M1's: they take those lines' node factors.
int ConstituentOfCatalogueName(std::string_view name);
