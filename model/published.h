// Published harmonic constants as waves: a station's amplitudes and
// Greenwich phase lags describe no particular year, so each constituent is
// given the equilibrium argument and the nodal factor of the year shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "model/waves.h"

struct PublishedConstituent {
    std::string name;     // as the table spells it
    double amplitude = 0; // m
    double phase = 0;     // Greenwich phase lag g, degrees on UTC
};

struct PublishedWaves {
    std::vector<Wave> waves;           // in the order of the constants, named by their constituent
    std::vector<std::string> unknown;  // the names no constituent answers to, left out
};

// The waves of year, whose 1 January at 00:00 is calendar time origin: each
// constituent at its speed, of amplitude f·A and of phase V(origin) + u − g
// (etab = g − V − u, in [0, 2π)), with f and u of the middle of the year,
// from where the nodal corrections carry a wave to each day.
PublishedWaves WavesOfPublishedConstants(const std::vector<PublishedConstituent>& constants, CalendarTime origin,
                                         std::int32_t year);
