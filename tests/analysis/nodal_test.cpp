// Fits and predictions with the nodal corrections: records built from waves
// that follow the nodal factors, over nineteen years and over one, and the
// real records of Vlissingen.
#include <cmath>
#include <functional>

#include "analysis/jointfit.h"
#include "analysis/knownwaves.h"
#include "base/computation.h"
#include "model/astronomy.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "tests/analysis/analysis_test.h"

namespace {

using NodalTest = AnalysisTest;

// A port's waves as they are in the middle of 2000 (Vlissingen's amplitudes).
struct TrueWave {
    const char* constituent;
    double ampl, etab;  // m, rad
};
const TrueWave PORT[] = {
    {"M2", 1.72, 1.1}, {"S2", 0.49, 2.0}, {"N2", 0.27, 0.4}, {"K2", 0.13, 2.5}, {"O1", 0.11, 5.0},
    {"K1", 0.07, 3.3}, {"M4", 0.12, 0.7}, {"MS4", 0.09, 1.9}, {"M6", 0.08, 4.0}, {"MU2", 0.13, 0.2},
};
constexpr double PORT_MEAN = 3.0;  // m

void StartIn2000()
{
    Header.StartYear = 2000;
    Header.Time_of_debut = *YearStartTime(2000);
}

double Speed(const TrueWave& w) { return ConstituentSpeed(ConstituentNamed(w.constituent)); }

// The true height at model time t: each wave carried from the middle of
// 2000 to t itself, not to the middle of t's day.
double TrueHeight(double t)
{
    const double origin = static_cast<double>(Header.Time_of_debut);
    const NodalAngles then = NodalAnglesAt(origin + 183 * 86400.0);
    const NodalAngles now = NodalAnglesAt(origin + t);
    double h = PORT_MEAN;
    for (const TrueWave& w : PORT) {
        const int c = ConstituentNamed(w.constituent);
        const NodalFactor a = NodalFactorOf(c, now), b = NodalFactorOf(c, then);
        h += w.ampl * a.f / b.f * std::cos(Speed(w) * t - w.etab + a.u - b.u);
    }
    return h;
}

void InstallPortRecord(int days)
{
    std::vector<std::int32_t> values(static_cast<std::size_t>(days) * 24 + 1);
    for (std::size_t i = 0; i + 1 < values.size(); ++i)
        values[i] = static_cast<std::int32_t>(std::lround(TrueHeight(3600.0 * static_cast<double>(i)) * 100));
    InstallRecord(days, std::move(values));
    DetermineMeanLevel(1);
}

// Each of the port's waves, then each again on what the first fits left.
void FitPortWaves(int passes)
{
    for (int pass = 0; pass < passes; ++pass)
        for (const TrueWave& w : PORT)
            AppendWave(DetermineWave(2 * M_PI / Speed(w)));
}

// RMS (m) of the prediction against the truth over the hours of the year
// `later` years after 2000.
double RmsErrorYearsLater(int later)
{
    const double start = static_cast<double>(*YearStartTime(2000 + later) - Header.Time_of_debut);
    double sum = 0;
    for (int i = 0; i < 8760; i += 3) {
        const double t = start + 3600.0 * i;
        const double e = PredictHeight(t, 0) - TrueHeight(t);
        sum += e * e;
    }
    return std::sqrt(sum / 2920);
}

::testing::AssertionResult NearWave(const Wave& got, const TrueWave& truth, double amplTol, double etabTol)
{
    const double gap = std::remainder(got.etab - truth.etab, 2 * M_PI);
    if (std::fabs(got.ampl - truth.ampl) <= amplTol && std::fabs(gap) <= etabTol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << truth.constituent << ": ampl " << got.ampl << " for " << truth.ampl
                                         << " (±" << amplTol << "), phase gap " << gap << " (±" << etabTol << ")";
}

// With the corrections, nineteen years of a port that follows them give back
// its waves of 2000, the wave set's year, fitted one after the other or all
// together; without, M2 comes out centimetres smaller, the mean of its
// factor over the years.
TEST_F(NodalTest, ANineteenYearFitRecoversTheWavesOfTheWaveSetsYear)
{
    StartIn2000();
    InstallPortRecord(6940);
    Model.NodalCorrections = 1;
    FitPortWaves(1);
    for (std::size_t k = 0; k < std::size(PORT); ++k)
        EXPECT_TRUE(NearWave(WaveSet.waves[k], PORT[k], 0.001, 0.005));
    std::vector<JointCandidate> candidates;
    for (const TrueWave& w : PORT)
        candidates.push_back({Speed(w), w.constituent});
    const JointResult joint = FitJointly(candidates, DEFAULT_RAYLEIGH);
    for (const TrueWave& w : PORT)
        EXPECT_TRUE(NearWave(*std::find_if(joint.waves.begin(), joint.waves.end(),
                                           [&w](const Wave& j) { return j.name == w.constituent; }),
                             w, 0.0005, 0.002))
            << "jointly";
    Model.NodalCorrections = 0;
    WaveSet.count = 0;
    FitPortWaves(1);
    EXPECT_GT(std::fabs(WaveSet.waves[0].ampl - PORT[0].ampl), 0.01) << "M2 without the corrections";
}

// A year fitted, then its prediction of the years after it. Without the
// corrections the error grows with the node's turn (2.0, 5.6 and 11.6 cm).
TEST_F(NodalTest, AOneYearFitPredictsLaterYearsWithinMillimetresOnlyWithTheCorrections)
{
    StartIn2000();
    InstallPortRecord(366);
    const struct { int later; double offAtLeast; } cases[] = {{1, 0.015}, {3, 0.045}, {9, 0.10}};
    for (int nodal : {1, 0}) {
        Model.NodalCorrections = nodal;
        WaveSet.count = 0;
        FitPortWaves(2);
        for (const auto& c : cases) {
            const double error = RmsErrorYearsLater(c.later);
            if (nodal)
                EXPECT_LT(error, 0.002) << c.later << " years later";
            else
                EXPECT_GT(error, c.offAtLeast) << c.later << " years later, uncorrected";
        }
    }
}

// Within a year the node moves the factors by a few tenths of a per cent and
// the angles by a fraction of a degree: the waves of a year fitted with the
// corrections are today's, on the port of 2000 and on the five waves of the
// start-up on the example year.
TEST_F(NodalTest, AOneYearRecordGivesTodaysWavesWithinAMillimetreAndAHundredthOfARadian)
{
    auto fitBoth = [](const std::function<void()>& fit) {
        std::vector<Wave> waves[2];
        for (int nodal : {0, 1}) {
            Model.NodalCorrections = nodal;
            WaveSet.count = 0;
            fit();
            waves[nodal].assign(WaveSet.waves, WaveSet.waves + WaveSet.count);
        }
        for (std::size_t k = 0; k < waves[0].size(); ++k) {
            EXPECT_NEAR(waves[1][k].ampl, waves[0][k].ampl, 0.001) << k;
            EXPECT_NEAR(std::remainder(waves[1][k].etab - waves[0][k].etab, 2 * M_PI), 0, 0.01) << k;
        }
    };
    StartIn2000();
    InstallPortRecord(366);
    fitBoth([] { FitPortWaves(1); });
    LoadRealRecord(REAL_RECORDS[0]);
    fitBoth([] { FitWavesUpTo(5); });
}

// Hourly heights of a real record, kept apart from the model.
struct Hours {
    CalendarTime start;
    std::vector<std::int32_t> cm;
};

Hours HoursOf(const char* file)
{
    LoadRealRecord(file);
    Hours h{Header.Time_of_debut, RecordSeries.RecordValues};
    h.cm.pop_back();
    return h;
}

// RMS (cm) of the record's hours against the model's prediction at the same
// instants: the weather is in it.
double RmsCm(const Hours& h)
{
    const double offset = static_cast<double>(h.start - Header.Time_of_debut);
    double sum = 0;
    for (std::size_t i = 0; i < h.cm.size(); ++i) {
        const double e = h.cm[i] * 0.01 - PredictHeight(offset + 3600.0 * static_cast<double>(i), 0);
        sum += e * e;
    }
    return 100 * std::sqrt(sum / static_cast<double>(h.cm.size()));
}

// The figures of the README: the start-up's five waves and the known ones
// (42), then 2MS6 and 2MN6, then all the shallow-water ones, fitted on 2009
// with and without the corrections, against 2009 itself and 2012. Today's 42
// waves give 26.4 cm.
TEST_F(NodalTest, VlissingenFittedOn2009PredictsThe2012HoursBelowTwentyFivePointFiveCentimetres)
{
    const Hours y2012 = HoursOf("VLISSINGEN2012.TXT");
    for (int nodal : {0, 1}) {
        Model.NodalCorrections = nodal;
        LoadRealRecord("VLISSINGEN2009.TXT");
        FitWavesUpTo(5);
        AddAllKnownWaves();
        const double known2012 = RmsCm(y2012);
        AddAllShallowWaterWaves();
        const double shallow2012 = RmsCm(y2012);
        EXPECT_LT(shallow2012, 25.5) << "nodal " << nodal;
        EXPECT_LT(shallow2012, known2012 - 1) << "nodal " << nodal;
    }
}

}  // namespace
