#include "model/astronomy.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/calendar.h"

namespace {

constexpr double DEGREE = 0.017453292519943295;  // rad

// ---- Mean motions (Schureman, Table 1) ---------------------------------------------------

// Julian centuries of 36525 days from Greenwich mean noon, 31 December 1899.
double CenturiesSince1900(double tSeconds)
{
    const double julianDay = tSeconds / DAY_SECONDS + 2440587.5;
    return (julianDay - 2415020.0) / 36525.0;
}

// The speeds (degrees per mean solar hour) of the hour angle of the mean Sun
// (T) and of the mean longitudes of the Moon (s), the Sun (h), the lunar
// perigee (p) and the solar perigee (p1): the first-order terms of Table 1.
constexpr double HOURS_PER_CENTURY = 876600.0;
constexpr double SPEED_T = 15.0;
constexpr double SPEED_S = 481267.892 / HOURS_PER_CENTURY;
constexpr double SPEED_H = 36000.768925 / HOURS_PER_CENTURY;
constexpr double SPEED_P = 4069.032206 / HOURS_PER_CENTURY;
constexpr double SPEED_P1 = 1.719175 / HOURS_PER_CENTURY;

// Obliquity of the ecliptic and inclination of the Moon's orbit to it, as
// the constants of the node factors were computed with.
constexpr double OBLIQUITY = 23.452294 * DEGREE;
constexpr double INCLINATION = 5.145376 * DEGREE;

// ---- The constituents (Schureman, Table 2) ----------------------------------------------

enum class Modulation { None, M2, O1, K1, K2, Mf, Mm, J1, OO1, M3, L2, M1 };

// A constituent of the tide-generating force: its argument V's multiples of
// T, s, h, p and p1, the constant it adds (degrees), and the form of its
// node factor. T is the hour angle of the mean Sun, 180° at 00:00 UTC. The
// constants are Schureman's, but for M3 (+180°, as the international list
// has it) and M1 (+180° on the line of p): with them the predictions
// published beside the station catalogue come out from its constants.
struct Basic {
    const char* name;
    int T, s, h, p, p1;
    int degrees;
    Modulation modulation;
};

// The table's first part, then the lines that published constants also
// use; the order of the first part is the order of the constituents'
// numbers and stays.
const Basic BASICS[] = {
    {"Sa", 0, 0, 1, 0, 0, 0, Modulation::None},        {"Ssa", 0, 0, 2, 0, 0, 0, Modulation::None},
    {"Mm", 0, 1, 0, -1, 0, 0, Modulation::Mm},         {"Mf", 0, 2, 0, 0, 0, 0, Modulation::Mf},
    {"2Q1", 1, -4, 1, 2, 0, 90, Modulation::O1},       {"Q1", 1, -3, 1, 1, 0, 90, Modulation::O1},
    {"RHO1", 1, -3, 3, -1, 0, 90, Modulation::O1},     {"O1", 1, -2, 1, 0, 0, 90, Modulation::O1},
    {"M1", 1, -1, 1, 1, 0, 180, Modulation::M1},       {"P1", 1, 0, -1, 0, 0, 90, Modulation::None},
    {"S1", 1, 0, 0, 0, 0, 0, Modulation::None},      {"K1", 1, 0, 1, 0, 0, -90, Modulation::K1},
    {"J1", 1, 1, 1, -1, 0, -90, Modulation::J1},       {"OO1", 1, 2, 1, 0, 0, -90, Modulation::OO1},
    {"2N2", 2, -4, 2, 2, 0, 0, Modulation::M2},        {"MU2", 2, -4, 4, 0, 0, 0, Modulation::M2},
    {"N2", 2, -3, 2, 1, 0, 0, Modulation::M2},         {"NU2", 2, -3, 4, -1, 0, 0, Modulation::M2},
    {"M2", 2, -2, 2, 0, 0, 0, Modulation::M2},         {"LAMBDA2", 2, -1, 0, 1, 0, 180, Modulation::M2},
    {"L2", 2, -1, 2, -1, 0, 180, Modulation::L2},      {"T2", 2, 0, -1, 0, 1, 0, Modulation::None},
    {"S2", 2, 0, 0, 0, 0, 0, Modulation::None},        {"R2", 2, 0, 1, 0, -1, 180, Modulation::None},
    {"K2", 2, 0, 2, 0, 0, 0, Modulation::K2},          {"M3", 3, -3, 3, 0, 0, 180, Modulation::M3},
    // The lines of the elliptic and evectional series and the small solar
    // ones that published constants add; the lunar ones take the factor of
    // the main constituent of their species.
    {"MTM", 0, 3, 0, -1, 0, 0, Modulation::Mf},        {"MSQM", 0, 4, -2, 0, 0, 0, Modulation::Mf},
    {"ALP1", 1, -5, 3, 1, 0, 90, Modulation::O1},      {"SGM", 1, -4, 3, 0, 0, 90, Modulation::O1},
    {"PI1", 1, 0, -2, 0, 1, 90, Modulation::None},     {"PSI1", 1, 0, 2, 0, -1, -90, Modulation::None},
    {"PHI1", 1, 0, 3, 0, 0, -90, Modulation::None},    {"TAU1", 1, -2, 3, 0, 0, -90, Modulation::None},
    {"THETA1", 1, 1, -1, 1, 0, -90, Modulation::J1},   {"3N2", 2, -5, 2, 3, 0, 0, Modulation::M2},
    {"EP2", 2, -5, 4, 1, 0, 0, Modulation::M2},        {"MA2", 2, -2, 1, 0, 0, 0, Modulation::M2},
    {"MB2", 2, -2, 3, 0, 0, 0, Modulation::M2},        {"ETA2", 2, 1, 2, -1, 0, 0, Modulation::M2},
    {"3L2", 2, 1, 2, -3, 0, 180, Modulation::M2},      {"T3", 3, 0, -1, 0, 0, 0, Modulation::None},
    {"S3", 3, 0, 0, 0, 0, 0, Modulation::None},        {"R3", 3, 0, 1, 0, 0, 0, Modulation::None},
};
constexpr int FIRST_PART_BASICS = 26;

// A shallow-water or compound constituent: the sum of multiples of others.
struct Part {
    const char* name;
    int times;
};
struct Compound {
    const char* name;
    Part parts[3];
};

// 2MK3 (2M2 − K1) and MO3 (M2 + O1) are one line, 3T − 4s + 3h: the
// catalogue has always called it 2MK3, and so does the table.
const Compound COMPOUNDS[] = {
    {"MSF", {{"S2", 1}, {"M2", -1}}},
    {"2SM2", {{"S2", 2}, {"M2", -1}}},
    {"MSN2", {{"M2", 1}, {"S2", 1}, {"N2", -1}}},
    {"MNS2", {{"M2", 1}, {"N2", 1}, {"S2", -1}}},
    {"MKS2", {{"M2", 1}, {"K2", 1}, {"S2", -1}}},
    {"MK3", {{"M2", 1}, {"K1", 1}}},
    {"2MK3", {{"M2", 2}, {"K1", -1}}},
    {"M4", {{"M2", 2}}},
    {"MN4", {{"M2", 1}, {"N2", 1}}},
    {"MS4", {{"M2", 1}, {"S2", 1}}},
    {"MK4", {{"M2", 1}, {"K2", 1}}},
    {"S4", {{"S2", 2}}},
    {"M6", {{"M2", 3}}},
    {"2MN6", {{"M2", 2}, {"N2", 1}}},
    {"2MS6", {{"M2", 2}, {"S2", 1}}},
    {"2MK6", {{"M2", 2}, {"K2", 1}}},
    {"MSN6", {{"M2", 1}, {"S2", 1}, {"N2", 1}}},
    {"2SM6", {{"S2", 2}, {"M2", 1}}},
    {"MSK6", {{"M2", 1}, {"S2", 1}, {"K2", 1}}},
    {"S6", {{"S2", 3}}},
    {"M8", {{"M2", 4}}},
    {"3MN8", {{"M2", 3}, {"N2", 1}}},
    {"3MS8", {{"M2", 3}, {"S2", 1}}},
    {"2MS8", {{"M2", 2}, {"S2", 2}}},
    {"2MSN8", {{"M2", 2}, {"S2", 1}, {"N2", 1}}},
    {"4MS10", {{"M2", 4}, {"S2", 1}}},
    {"M10", {{"M2", 5}}},
    {"4MN10", {{"M2", 4}, {"N2", 1}}},
    {"3M2S10", {{"M2", 3}, {"S2", 2}}},
    {"M12", {{"M2", 6}}},
    {"5MN12", {{"M2", 5}, {"N2", 1}}},
    {"5MS12", {{"M2", 5}, {"S2", 1}}},
    {"4M2S12", {{"M2", 4}, {"S2", 2}}},
};

// Compounds that published constants also use, after the first part.
const Compound MORE_COMPOUNDS[] = {
    {"N4", {{"N2", 2}}},
    {"SN4", {{"S2", 1}, {"N2", 1}}},
    {"SK4", {{"S2", 1}, {"K2", 1}}},
    {"SK3", {{"S2", 1}, {"K1", 1}}},
    {"SO3", {{"S2", 1}, {"O1", 1}}},
    {"SO1", {{"S2", 1}, {"O1", -1}}},
    {"OQ2", {{"O1", 1}, {"Q1", 1}}},
    {"2MK5", {{"M2", 2}, {"K1", 1}}},
    {"2MO5", {{"M2", 2}, {"O1", 1}}},
    {"2SK5", {{"S2", 2}, {"K1", 1}}},
    {"3MK7", {{"M2", 3}, {"K1", 1}}},
};

constexpr int BASIC_COUNT = static_cast<int>(sizeof BASICS / sizeof BASICS[0]);

int BasicNamed(const char* name)
{
    for (int b = 0; b < BASIC_COUNT; ++b)
        if (std::strcmp(BASICS[b].name, name) == 0)
            return b;
    return NO_CONSTITUENT;
}

double BasicSpeedDegreesPerHour(const Basic& b)
{
    return b.T * SPEED_T + b.s * SPEED_S + b.h * SPEED_H + b.p * SPEED_P + b.p1 * SPEED_P1;
}

// Every constituent as multiples of the basic ones, its parts looked up once.
struct Resolved {
    const char* name;
    std::vector<std::pair<int, int>> parts;  // basic constituent, times
    double degreesPerHour = 0;
    bool modulated = false;
};

std::vector<Resolved> ResolveTable()
{
    std::vector<Resolved> table;
    const auto addCompound = [&table](const Compound& c) {
        Resolved r{c.name, {}, 0, false};
        for (const Part& part : c.parts)
            if (part.name)
                r.parts.emplace_back(BasicNamed(part.name), part.times);
        table.push_back(r);
    };
    for (int b = 0; b < FIRST_PART_BASICS; ++b)
        table.push_back({BASICS[b].name, {{b, 1}}, 0, false});
    for (const Compound& c : COMPOUNDS)
        addCompound(c);
    for (int b = FIRST_PART_BASICS; b < BASIC_COUNT; ++b)
        table.push_back({BASICS[b].name, {{b, 1}}, 0, false});
    for (const Compound& c : MORE_COMPOUNDS)
        addCompound(c);
    for (Resolved& r : table) {
        for (auto [b, times] : r.parts) {
            r.degreesPerHour += times * BasicSpeedDegreesPerHour(BASICS[b]);
            r.modulated = r.modulated || BASICS[b].modulation != Modulation::None;
        }
    }
    return table;
}

const std::vector<Resolved>& Table()
{
    static const std::vector<Resolved> table = ResolveTable();
    return table;
}

// ---- Node factors -----------------------------------------------------------------------

double Square(double x) { return x * x; }

double FactorM2(const NodalAngles& a) { return Square(Square(std::cos(a.I / 2))) / 0.9154; }
double FactorO1(const NodalAngles& a) { return std::sin(a.I) * Square(std::cos(a.I / 2)) / 0.3800; }

// L2 is two lines of the elliptic inequality that the perigee beats
// together: 1/Ra and R.
NodalFactor FactorL2(const NodalAngles& a)
{
    const double tan2 = Square(std::tan(a.I / 2));
    const double inverseRa = std::sqrt(1 - 12 * tan2 * std::cos(2 * a.P) + 36 * tan2 * tan2);
    const double R = std::atan2(std::sin(2 * a.P), 1 / (6 * tan2) - std::cos(2 * a.P));
    return {FactorM2(a) * inverseRa, 2 * a.xi - 2 * a.nu - R};
}

// M1 is likewise two lines, of arguments T − s + h ± p: 1/Qa and Q. Its
// angle is taken against the line of p, whose speed the constituent has.
NodalFactor FactorM1(const NodalAngles& a)
{
    const double cosI = std::cos(a.I);
    const double cosHalf2 = Square(std::cos(a.I / 2));
    const double inverseQa =
        std::sqrt(0.25 + 1.5 * cosI * std::cos(2 * a.P) / cosHalf2 + 2.25 * cosI * cosI / (cosHalf2 * cosHalf2));
    const double Q = std::atan2((5 * cosI - 1) * std::sin(a.P), (7 * cosI + 1) * std::cos(a.P));
    return {FactorO1(a) * inverseQa, std::remainder(Q - a.P, 2 * M_PI) - a.nu};
}

NodalFactor FactorOf(Modulation m, const NodalAngles& a)
{
    const double sinI = std::sin(a.I);
    switch (m) {
    case Modulation::None: return {1, 0};
    case Modulation::M2: return {FactorM2(a), 2 * a.xi - 2 * a.nu};
    case Modulation::O1: return {FactorO1(a), 2 * a.xi - a.nu};
    case Modulation::K1: {
        const double sin2I = std::sin(2 * a.I);
        return {std::sqrt(0.8965 * sin2I * sin2I + 0.6001 * sin2I * std::cos(a.nu) + 0.1006), -a.nuPrime};
    }
    case Modulation::K2: {
        const double sin2 = sinI * sinI;
        return {std::sqrt(19.0444 * sin2 * sin2 + 2.7702 * sin2 * std::cos(2 * a.nu) + 0.0981), -a.twoNuSecond};
    }
    case Modulation::Mf: return {sinI * sinI / 0.1578, -2 * a.xi};
    case Modulation::Mm: return {(2.0 / 3.0 - sinI * sinI) / 0.5021, 0};
    case Modulation::J1: return {std::sin(2 * a.I) / 0.7214, -a.nu};
    case Modulation::OO1: return {sinI * Square(std::sin(a.I / 2)) / 0.01640, -2 * a.xi - a.nu};
    case Modulation::M3: return {std::pow(std::cos(a.I / 2), 6.0) / 0.8758, 3 * a.xi - 3 * a.nu};
    case Modulation::L2: return FactorL2(a);
    case Modulation::M1: return FactorM1(a);
    }
    return {1, 0};
}

}  // namespace

double EquilibriumArgument(int constituent, double tSeconds)
{
    const double T = CenturiesSince1900(tSeconds);
    // Table 1's mean longitudes of the Moon, the Sun, the lunar perigee and
    // the solar perigee, and the hour angle of the mean Sun from the time of day.
    const double s = 270.434164 + 481267.8831 * T - 0.001133 * T * T + 0.0000019 * T * T * T;
    const double h = 279.696678 + 36000.768925 * T + 0.000303 * T * T;
    const double p = 334.328019 + 4069.032206 * T - 0.010344 * T * T;
    const double p1 = 281.220833 + 1.719175 * T + 0.000453 * T * T;
    const double hourAngle = 180 + 15 * (tSeconds - DAY_SECONDS * std::floor(tSeconds / DAY_SECONDS)) / 3600;
    double V = 0;
    for (auto [b, times] : Table().at(static_cast<std::size_t>(constituent)).parts) {
        const Basic& c = BASICS[b];
        const double one = c.T * hourAngle + std::remainder(c.s * s, 360) + std::remainder(c.h * h, 360) +
                           std::remainder(c.p * p, 360) + std::remainder(c.p1 * p1, 360) + c.degrees;
        V += times * one;
    }
    return std::remainder(V, 360) * DEGREE;
}

int ConstituentOfCatalogueName(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // The Norwegian service's own definitions of these lines are taken as
    // the lines themselves.
    if (upper.size() > 3 && upper.ends_with("_KV"))
        upper.resize(upper.size() - 3);
    const struct { const char* spelling; const char* name; } variants[] = {
        {"LAM2", "LAMBDA2"}, {"RHO", "RHO1"}, {"SIGMA1", "SGM"}, {"EPS2", "EP2"}, {"M(KS)2", "MKS2"},
        {"ALPHA1", "ALP1"}, {"MO3", "2MK3"}, {"NO1", "M1"},
    };
    for (const auto& v : variants)
        if (upper == v.spelling)
            upper = v.name;
    const std::vector<Resolved>& table = Table();
    for (std::size_t c = 0; c < table.size(); ++c) {
        std::string candidate = table[c].name;
        for (char& ch : candidate)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (candidate == upper)
            return static_cast<int>(c);
    }
    return NO_CONSTITUENT;
}

NodalAngles NodalAnglesAt(double tSeconds)
{
    const double T = CenturiesSince1900(tSeconds);
    const double N = std::remainder((259.182533 - 1934.142397 * T + 0.002106 * T * T) * DEGREE, 2 * M_PI);
    const double p = std::remainder((334.328019 + 4069.032206 * T - 0.010344 * T * T) * DEGREE, 2 * M_PI);
    NodalAngles a;
    a.I = std::acos(std::cos(OBLIQUITY) * std::cos(INCLINATION) -
                    std::sin(OBLIQUITY) * std::sin(INCLINATION) * std::cos(N));
    // Napier's analogies in the triangle of the equator, the ecliptic and the
    // Moon's orbit give ½(N − ξ + ν) and ½(N − ξ − ν); with N in (−π, π] both
    // lie within a quarter turn of ½N.
    const double sum = std::atan2(std::cos((OBLIQUITY - INCLINATION) / 2) / std::cos((OBLIQUITY + INCLINATION) / 2) *
                                      std::sin(N / 2),
                                  std::cos(N / 2));
    const double difference =
        std::atan2(std::sin((OBLIQUITY - INCLINATION) / 2) / std::sin((OBLIQUITY + INCLINATION) / 2) *
                       std::sin(N / 2),
                   std::cos(N / 2));
    a.nu = sum - difference;
    a.xi = N - (sum + difference);
    const double sin2I = std::sin(2 * a.I);
    a.nuPrime = std::atan2(sin2I * std::sin(a.nu), sin2I * std::cos(a.nu) + 0.3347);
    const double sinI2 = Square(std::sin(a.I));
    a.twoNuSecond = std::atan2(sinI2 * std::sin(2 * a.nu), sinI2 * std::cos(2 * a.nu) + 0.0727);
    a.P = std::remainder(p - a.xi, 2 * M_PI);
    return a;
}

int ConstituentOfSpeed(double speedRadPerS)
{
    const double degreesPerHour = speedRadPerS / DEGREE * 3600;
    const std::vector<Resolved>& table = Table();
    for (std::size_t c = 0; c < table.size(); ++c) {
        const double speed = table[c].degreesPerHour;
        if (std::fabs(degreesPerHour - speed) <= 1e-6 * speed)
            return static_cast<int>(c);
    }
    return NO_CONSTITUENT;
}

const char* ConstituentName(int constituent)
{
    return Table().at(static_cast<std::size_t>(constituent)).name;
}

double ConstituentSpeed(int constituent)
{
    return Table().at(static_cast<std::size_t>(constituent)).degreesPerHour * DEGREE / 3600;
}

int ConstituentNamed(const char* name)
{
    const std::vector<Resolved>& table = Table();
    for (std::size_t c = 0; c < table.size(); ++c)
        if (std::strcmp(table[c].name, name) == 0)
            return static_cast<int>(c);
    return NO_CONSTITUENT;
}

bool IsNodallyModulated(int constituent)
{
    return Table().at(static_cast<std::size_t>(constituent)).modulated;
}

NodalFactor NodalFactorOf(int constituent, const NodalAngles& a)
{
    NodalFactor total;
    for (auto [b, times] : Table().at(static_cast<std::size_t>(constituent)).parts) {
        const NodalFactor one = FactorOf(BASICS[b].modulation, a);
        for (int k = 0; k < std::abs(times); ++k)
            total.f *= one.f;
        total.u += times * one.u;
    }
    return total;
}
