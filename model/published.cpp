#include "model/published.h"

#include <cmath>

#include "model/astronomy.h"
#include "model/units.h"

PublishedWaves WavesOfPublishedConstants(const std::vector<PublishedConstituent>& constants, CalendarTime origin,
                                         std::int32_t year)
{
    PublishedWaves out;
    const NodalAngles middle = NodalAnglesAt(MiddleOfYear(origin, year));
    for (const PublishedConstituent& k : constants) {
        const int c = ConstituentOfCatalogueName(k.name);
        if (c == NO_CONSTITUENT) {
            out.unknown.push_back(k.name);
            continue;
        }
        const NodalFactor nodal = NodalFactorOf(c, middle);
        const double V = EquilibriumArgument(c, static_cast<double>(origin));
        double etab = std::fmod(k.phase * (M_PI / 180) - V - nodal.u, TWO_PI);
        if (etab < 0)
            etab += TWO_PI;
        out.waves.push_back(Wave{ConstituentSpeed(c), k.amplitude * nodal.f, etab, ConstituentName(c)});
    }
    return out;
}
