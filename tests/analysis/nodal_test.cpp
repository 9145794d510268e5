#include <cmath>
#include <cstdio>

#include "analysis/knownwaves.h"
#include "base/computation.h"
#include "model/astronomy.h"
#include "tests/analysis/analysis_test.h"

namespace {

using NodalTest = AnalysisTest;

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

TEST_F(NodalTest, Explore)
{
    const Hours y2012 = HoursOf("VLISSINGEN2012.TXT");
    for (int nodal : {0, 1}) {
        for (int shallow = 0; shallow <= SHALLOW_WAVE_COUNT; ++shallow) {
            Options.NodalCorrections = nodal;
            const Hours y2009 = HoursOf("VLISSINGEN2009.TXT");
            FitWavesUpTo(5);
            AddAllKnownWaves();
            for (int r = 0; r < shallow; ++r)
                AddShallowWaterWave(r);
            std::printf("nodal %d shallow %2d (%s): 2009 %.2f cm, 2012 %.2f cm\n", nodal, shallow,
                        shallow ? ShallowWaterWaves[shallow - 1].label : "-", RmsCm(y2009), RmsCm(y2012));
        }
    }
}

}  // namespace
namespace {
TEST_F(NodalTest, ExploreAmplitudes)
{
    for (const char* f : {"VLISSINGEN2009.TXT", "VLISSINGEN2012.TXT"}) {
        LoadRealRecord(f);
        FitWavesUpTo(5);
        AddAllKnownWaves();
        for (int i = 0; i < 12; ++i)
            std::printf("%s %-40.40s %.4f\n", f, WaveSet.waves[i].name.c_str(), WaveSet.waves[i].ampl);
        const Wave unit{WaveSet.waves[0].speed, 1, 0, ""};
        Options.NodalCorrections = 1;
        std::printf("F M2 at 2012 mid from 2009: %.5f  K1 %.5f O1 %.5f\n", WaveOnDay(unit, 1095 + 182).ampl,
                    WaveOnDay(Wave{WaveSet.waves[4].speed, 1, 0, ""}, 1095 + 182).ampl,
                    WaveOnDay(Wave{WaveSet.waves[3].speed, 1, 0, ""}, 1095 + 182).ampl);
        Options.NodalCorrections = 0;
    }
}
}
namespace {
TEST_F(NodalTest, ExplorePhases)
{
    std::vector<Wave> w[2];
    CalendarTime origin[2];
    int k = 0;
    for (const char* f : {"VLISSINGEN2009.TXT", "VLISSINGEN2012.TXT"}) {
        LoadRealRecord(f);
        FitWavesUpTo(5);
        AddAllKnownWaves();
        for (int r = 0; r < 7; ++r) AddShallowWaterWave(r);
        w[k].assign(WaveSet.waves, WaveSet.waves + WaveSet.count);
        origin[k++] = Header.Time_of_debut;
    }
    LoadRealRecord("VLISSINGEN2009.TXT");
    Options.NodalCorrections = 1;
    const double delta = static_cast<double>(origin[1] - origin[0]);
    for (std::size_t i = 0; i < 5; ++i) {
        const Wave& a = w[0][i];
        const Wave& b = w[1][i];
        const double bRef = b.etab + b.speed * delta;
        const Wave unit{a.speed, 1, 0, ""};
        const Wave c = WaveOnDay(unit, 1095 + 182);
        std::printf("%-6.6s ampl %.4f -> %.4f ratio %.3f (f %.3f)  dphase %7.2f deg (-du %7.2f)\n", a.name.c_str(), a.ampl, b.ampl,
                    b.ampl / a.ampl, c.ampl, std::remainder(bRef - a.etab, 2 * M_PI) * 180 / M_PI, c.etab * 180 / M_PI);
    }
}
}
