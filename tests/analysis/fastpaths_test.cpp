// The fast fits, sweeps, known waves and FFT detection against the
// straightforward definitions they stand for, to the last bit, on the real
// records, with every vector variant this processor runs and with one and
// two threads.
#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#include "analysis/demodulation.h"
#include "analysis/fftdetect.h"
#include "analysis/knownwaves.h"
#include "analysis/residual.h"
#include "analysis/scan.h"
#include "base/computation.h"
#include "model/units.h"
#include "tests/analysis/analysis_test.h"

namespace {

using FastPathsTest = AnalysisTest;

std::string Hex(double v) { return Format("%a", v); }

::testing::AssertionResult SameWave(const Wave& fast, const Wave& direct)
{
    if (std::bit_cast<std::uint64_t>(fast.speed) == std::bit_cast<std::uint64_t>(direct.speed) &&
        std::bit_cast<std::uint64_t>(fast.ampl) == std::bit_cast<std::uint64_t>(direct.ampl) &&
        std::bit_cast<std::uint64_t>(fast.etab) == std::bit_cast<std::uint64_t>(direct.etab) &&
        fast.name == direct.name)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "fast " << Hex(fast.speed) << " " << Hex(fast.ampl) << " " << Hex(fast.etab)
                                         << " " << fast.name << "\ndirect " << Hex(direct.speed) << " "
                                         << Hex(direct.ampl) << " " << Hex(direct.etab) << " " << direct.name;
}

bool SameFloats(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

std::vector<VectorCode> RunnableCodes()
{
    std::vector<VectorCode> codes;
    for (VectorCode code : VECTOR_CODES)
        if (CanRun(code))
            codes.push_back(code);
    return codes;
}

// The presets of "Détermination des périodes", in seconds.
struct Band { int lo, hi; };
constexpr Band PRESETS[] = {{42300, 46800}, {82800, 90000}, {18000, 133200}, {10800, 180000}};

std::vector<double> SweptPeriods(Band band)
{
    const int step = std::clamp((band.hi - band.lo) / SCAN_GRAPH_WIDTH, 1, 10);
    std::vector<double> periods;
    for (int T = band.lo; T < band.hi; T += step)
        periods.push_back(T);
    return periods;
}

// Each real record, then the four-year one, with the start-up's five waves
// and with 42 (the sanitizer build takes the first only).
void ForEachModel(const std::function<void(const std::string&)>& check)
{
    for (int record = 0; record <= 3; record += IdentityStride()) {
        for (int waves : {5, 42}) {
            if (waves == 42 && IdentityStride() > 1)
                continue;
            if (record < 3)
                LoadRealRecord(REAL_RECORDS[record]);
            else
                LoadFourYearRecord();
            FitWavesUpTo(waves);
            check(Format("%s, %i waves", record < 3 ? REAL_RECORDS[record] : "four years", waves));
        }
    }
}

TEST_F(FastPathsTest, TheKeptResidualFollowsEveryChangeOfTheModel)
{
    auto check = [](const char* what) { EXPECT_TRUE(SameFloats(HourlyResidual(), HourlyResidualDirect())) << what; };
    LoadRealRecord(REAL_RECORDS[0]);
    check("no wave");
    for (int row = 0; row < MENU_WAVE_COUNT; ++row) {
        AddMenuWave(row);
        check(Format("menu wave %i appended", row).c_str());
    }
    AddAllKnownWaves();
    check("the known waves appended");
    RemoveWave(3);
    check("a wave removed");
    WaveSet.waves[7].etab += 1e-9;
    check("a phase edited");
    WaveSet.MeanLevel += 0.01;
    check("the mean level changed");
    LoadRealRecord(REAL_RECORDS[2]);
    check("another record");
    WaveSet.count = 0;
    check("the waves reset");
}

// Every trial period of every preset, in every vector variant: what the
// lanes sum is what the single fit sums.
TEST_F(FastPathsTest, EveryVectorVariantFitsEveryPresetPeriodWithTheSingleFitsBits)
{
    ForEachModel([](const std::string& model) {
        const std::vector<float> residual = HourlyResidualDirect();
        for (Band band : PRESETS) {
            std::vector<double> periods = SweptPeriods(band);
            std::vector<ComplexF> turns, direct;
            for (std::size_t i = 0; i < periods.size(); i += static_cast<std::size_t>(IdentityStride())) {
                turns.push_back(UnitOf(3600 * (TWO_PI / periods[i])));
                direct.push_back(DemodulateOne(residual.data(), residual.size(), turns.back()));
            }
            for (VectorCode code : RunnableCodes()) {
                Computation.vectorCode = code;
                std::vector<ComplexF> fast(turns.size());
                DemodulateLanes(residual.data(), residual.size(), turns.data(), turns.size(), fast.data());
                EXPECT_EQ(std::memcmp(fast.data(), direct.data(), fast.size() * sizeof(ComplexF)), 0)
                    << model << ", band " << band.lo << " … " << band.hi << " s, vector code "
                    << static_cast<int>(code);
            }
        }
    });
}

// What a sweep leaves: the graph, the log, the boxes and the wave appended.
struct SweepOutcome {
    std::vector<std::int32_t> graph;
    std::string log;
    std::vector<std::string> boxes;
    Wave wave;
};

class SweepTest : public FastPathsTest {
protected:
    SweepOutcome Sweep(Band band)
    {
        const int count = WaveSet.count;
        const std::size_t logged = NewLogBytes().size();
        const std::size_t shown = headless::Messages().size();
        ScanPeriods(band.lo, band.hi);
        SweepOutcome out;
        out.graph.assign(ScanGraph, ScanGraph + SCAN_GRAPH_WIDTH);
        out.log = NewLogBytes().substr(logged);
        for (std::size_t i = shown; i < headless::Messages().size(); ++i)
            out.boxes.push_back(headless::Messages()[i].text);
        out.wave = WaveSet.count > count ? WaveSet.waves[count] : Wave{};
        WaveSet.count = count;
        return out;
    }

    void ExpectSameSweep(Band band, const std::string& model)
    {
        Computation.fastPaths = false;
        const SweepOutcome direct = Sweep(band);
        Computation.fastPaths = true;
        for (unsigned threads : {1u, 2u}) {
            Computation.threads = threads;
            const SweepOutcome fast = Sweep(band);
            const std::string what =
                Format("%s, band %i … %i s, %u thread(s)", model.c_str(), band.lo, band.hi, threads);
            EXPECT_EQ(fast.graph, direct.graph) << what;
            EXPECT_EQ(fast.log, direct.log) << what;
            EXPECT_EQ(fast.boxes, direct.boxes) << what;
            EXPECT_TRUE(SameWave(fast.wave, direct.wave)) << what;
        }
    }
};

// The narrow presets on every model; the wide ones, whose straightforward
// sweeps take seconds, on the example year with five waves (each of their
// periods is checked above).
TEST_F(SweepTest, SweepsAppendLogAndDrawWhatTheStraightforwardSweepsDo)
{
    ForEachModel([this](const std::string& model) {
        ExpectSameSweep(PRESETS[0], model);
        if (IdentityStride() == 1)
            ExpectSameSweep(PRESETS[1], model);
    });
    LoadRealRecord(REAL_RECORDS[0]);
    FitWavesUpTo(5);
    for (Band band : {PRESETS[2], PRESETS[3]})
        if (IdentityStride() == 1)
            ExpectSameSweep(band, "example year, 5 waves");
}

TEST_F(FastPathsTest, FftDetectionAndKnownWavesGiveTheStraightforwardWaves)
{
    ForEachModel([](const std::string& model) {
        const std::uint32_t n = FftLength(RecordSeries.RecordCount);
        std::vector<float> direct(n), fast(n);
        FillResidualDirect(direct.data(), n);
        for (VectorCode code : RunnableCodes()) {
            Computation.vectorCode = code;
            FillResidual(fast.data(), n);
            EXPECT_TRUE(SameFloats(fast, direct)) << model << ", vector code " << static_cast<int>(code);
        }
        Computation.fastPaths = false;
        const Wave directWave = DetectWaveByFft();
        Computation.fastPaths = true;
        EXPECT_TRUE(SameWave(DetectWaveByFft(), directWave)) << model;
    });
    for (int r = 0; r < 3; r += IdentityStride()) {
        const char* record = REAL_RECORDS[r];
        std::vector<Wave> waves[2];
        for (bool fast : {false, true}) {
            Computation.fastPaths = fast;
            LoadRealRecord(record);
            FitWavesUpTo(5);
            AddAllKnownWaves();
            waves[fast].assign(WaveSet.waves, WaveSet.waves + WaveSet.count);
        }
        ASSERT_EQ(waves[1].size(), waves[0].size()) << record;
        for (std::size_t i = 0; i < waves[0].size(); ++i)
            EXPECT_TRUE(SameWave(waves[1][i], waves[0][i])) << record << ", wave " << i;
    }
}

}  // namespace
