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
#include "analysis/jointfit.h"
#include "analysis/knownwaves.h"
#include "analysis/residual.h"
#include "analysis/scan.h"
#include "base/computation.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/units.h"
#include "tests/analysis/analysis_test.h"
#include "tests/support/computation_choice.h"

namespace {

using FastPathsTest = AnalysisTest;

std::string Hex(double v) { return Format("%a", v); }

::testing::AssertionResult SameWave(const Wave& fast, const Wave& direct)
{
    if (SameBits(fast.speed, direct.speed) && SameBits(fast.ampl, direct.ampl) && SameBits(fast.etab, direct.etab) &&
        fast.name == direct.name)
        return ::testing::AssertionSuccess();
    auto text = [](const Wave& w) { return Hex(w.speed) + " " + Hex(w.ampl) + " " + Hex(w.etab) + " " + w.name; };
    return ::testing::AssertionFailure() << "fast " << text(fast) << "\ndirect " << text(direct);
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

// Record 0 … 4: each real record, the four-year one, the example year with
// a third of its hours missing, in blocks and alone.
const char* ModelName(int record)
{
    return record < 3 ? REAL_RECORDS[record] : record == 3 ? "four years" : "2009 with gaps";
}

const char* LoadModelRecord(int record)
{
    if (record < 3)
        LoadRealRecord(REAL_RECORDS[record]);
    else if (record == 3)
        LoadFourYearRecord();
    else {
        LoadRealRecord(REAL_RECORDS[0]);
        RemoveAThirdInBlocks(true);
    }
    return ModelName(record);
}

// Each record with the start-up's five waves and with 42 (the sanitizer
// build takes the record with gaps and five waves only).
void ForEachModel(const std::function<void(const std::string&)>& check)
{
    for (int record = IdentityStride() > 1 ? 4 : 0; record <= 4; ++record) {
        for (int waves : {5, 42}) {
            if (waves == 42 && IdentityStride() > 1)
                continue;
            const char* name = LoadModelRecord(record);
            FitWavesUpTo(waves);
            check(Format("%s, %i waves", name, waves));
        }
    }
}

// The start-up's five fits and the catalogue's waves (and the shallow-water
// ones), appended the straightforward way then the fast way; the fast
// model stays loaded.
void ExpectSameAppendedWaves(int record, bool shallowToo)
{
    const char* model = ModelName(record);
    std::vector<Wave> waves[2];
    for (bool fast : {false, true}) {
        UseComputation({.fastPaths = fast});
        LoadModelRecord(record);
        FitWavesUpTo(5);
        AddAllKnownWaves();
        if (shallowToo)
            AddAllShallowWaterWaves();
        waves[fast].assign(WaveSet.waves, WaveSet.waves + WaveSet.count);
    }
    ASSERT_EQ(waves[1].size(), waves[0].size()) << model;
    for (std::size_t i = 0; i < waves[0].size(); ++i)
        EXPECT_TRUE(SameWave(waves[1][i], waves[0][i])) << model << ", wave " << i;
}

// The FFT's input in every vector variant, and the wave it detects when asked.
void ExpectSameFftInputAndWave(const std::string& model, bool wave)
{
    const std::uint32_t n = FftLength(RecordSeries.RecordCount);
    std::vector<float> direct(n), fast(n);
    FillResidualDirect(direct.data(), n);
    ForEveryVectorVariant([&](const std::string& variant) {
        FillResidual(fast.data(), n);
        EXPECT_TRUE(SameBits(fast, direct)) << model << ", " << variant;
    });
    if (!wave)
        return;
    UseComputation({.fastPaths = false});
    const Wave directWave = DetectWaveByFft();
    UseComputation({.fastPaths = true});
    EXPECT_TRUE(SameWave(DetectWaveByFft(), directWave)) << model;
}

TEST_F(FastPathsTest, TheKeptResidualFollowsEveryChangeOfTheModel)
{
    auto check = [](const char* what) { EXPECT_TRUE(SameBits(HourlyResidual(), HourlyResidualDirect())) << what; };
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
    Model.NodalCorrections = 1;
    check("the corrections on");
    AddMenuWave(0);
    check("a wave appended with the corrections");
    Header.StartYear = 2012;
    Header.Time_of_debut = *YearStartTime(2012);
    check("the waves of another year");
    Model.NodalCorrections = 0;
    check("the corrections off");
    LoadRealRecord(REAL_RECORDS[2]);
    check("another record");
    RemoveAThirdInBlocks(true);
    check("hours taken out of the record");
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
            ForEveryVectorVariant([&](const std::string& variant) {
                std::vector<ComplexF> fast(turns.size());
                DemodulateLanes(residual.data(), residual.size(), turns.data(), turns.size(), fast.data());
                EXPECT_TRUE(SameBits(fast, direct)) << model << ", band " << band.lo << " … " << band.hi << " s, "
                                                    << variant;
            });
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
        UseComputation({.fastPaths = false});
        const SweepOutcome direct = Sweep(band);
        UseComputation({.fastPaths = true});
        for (unsigned threads : {1u, 2u}) {
            UseComputation({.threads = threads});
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
    ForEachModel([](const std::string& model) { ExpectSameFftInputAndWave(model, true); });
    for (int r = IdentityStride() > 1 ? 4 : 0; r <= 4; r += r == 2 ? 2 : 1)
        ExpectSameAppendedWaves(r, false);
}

// With the corrections, the lunar constituents are fitted against their
// modulated form and every prediction carries the waves to its day: the
// known and shallow-water waves, a sweep whose refinement meets M2's period,
// the FFT detection, and all the catalogue's periods at once in every vector
// variant, on the example year, on four years and on the year with gaps.
TEST_F(SweepTest, WithTheCorrectionsTheFastPathsGiveTheStraightforwardResults)
{
    Model.NodalCorrections = 1;
    for (int record : {4, 0, 3}) {
        if (IdentityStride() > 1 && record != 4)
            continue;
        const std::string model = ModelName(record);
        ExpectSameAppendedWaves(record, true);

        std::vector<double> periods;
        for (const KnownWave& k : KnownWaves)
            periods.push_back(k.periodHours * 3600);
        std::vector<Wave> direct(periods.size()), fast(periods.size());
        UseComputation({.fastPaths = false});
        DetermineWaves(periods.data(), periods.size(), direct.data());
        ForEveryVectorVariant([&](const std::string& variant) {
            DetermineWaves(periods.data(), periods.size(), fast.data());
            for (std::size_t i = 0; i < periods.size(); ++i)
                EXPECT_TRUE(SameWave(fast[i], direct[i])) << model << ", " << KnownWaves[i].label << ", " << variant;
        });
        const bool full = record == 0 && IdentityStride() == 1;
        ExpectSameFftInputAndWave(model, full);
        if (full)
            ExpectSameSweep(PRESETS[0], model);
    }
}

// The joint analysis's sums of products in every vector variant, with the
// corrections and without, on the year with gaps, the example year and four years.
TEST_F(FastPathsTest, TheJointSumsAreTheStraightforwardOnesInEveryVectorVariant)
{
    std::vector<double> speeds;
    for (const JointCandidate& c : CandidatesOf(JointSet::KnownAndShallow))
        speeds.push_back(c.speed);
    for (int record : {4, 0, 3}) {
        for (int nodal = 0; nodal < 2 && (IdentityStride() == 1 || record == 4); ++nodal) {
            Model.NodalCorrections = nodal;
            LoadModelRecord(record);
            const JointSums direct = SumJointlyDirect(speeds);
            ForEveryVectorVariant([&](const std::string& variant) {
                JointSums fast;
                ASSERT_TRUE(SumJointly(speeds, fast));
                EXPECT_TRUE(SameBits(fast.products, direct.products)) << ModelName(record) << ", " << variant;
            });
        }
    }
}

}  // namespace
