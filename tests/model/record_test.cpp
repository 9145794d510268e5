#include <gtest/gtest.h>

#include <cmath>

#include "base/calendar.h"
#include "base/options.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"
#include "tests/support/program_test.h"
#include "tests/support/model_state.h"

namespace {

using RecordTest = ProgramTest;

TEST_F(RecordTest, ObservedHeightInterpolatesBetweenHoursAndIsTheNearestValueOutside)
{
    std::vector<std::int32_t> values(25, 0);
    values[0] = 100;
    values[1] = 300;
    values[2] = -50;
    values[23] = 412;
    InstallRecord(1, values);
    struct Case { double t, metres; const char* what; };
    const Case cases[] = {
        {0, 1.0, "hour 0"}, {7200, -0.5, "hour 2"}, {1800, 2.0, "half-way"},
        {4500, 2.125, "a quarter past hour 1: 3 × 0.75 − 0.5 × 0.25"},
        {23 * 3600.0 + 1800, 4.12, "after the last hour: the spare entry repeats it"},
        {-1e300, 1.0, "before the start"}, {std::nan(""), 1.0, "NaN"}, {1e300, 4.12, "after the end"},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ObservedHeight(c.t), c.metres, 1e-15) << c.what << " (t = " << c.t << " s)";
    InstallRecord(0, std::vector<std::int32_t>(1, 0));
    EXPECT_EQ(ObservedHeight(5000), 0) << "an empty record";
}

TEST_F(RecordTest, SourceHeightFollowsTheSourceMode)
{
    InstallRecordOf(1, 2.0, {});
    WaveSet.MeanLevel = 3.0;
    AppendWave(WaveOf(5.0 / 60, 1.0, 0));  // five minutes: every minute of it has its own height
    const double t = 119.9;
    EXPECT_NEAR(SourceHeight(t, 0), 2.0, 1e-15) << "mode 0: the record";
    for (int mode : {1, 2, 3, 4}) {
        Options.SourceMode = mode;
        const bool wholeMinute = mode >= 3;  // t′ truncated toward zero, not down
        EXPECT_EQ(SourceHeight(t, 0), PredictHeight(wholeMinute ? 60 : t, 0)) << mode;
        EXPECT_EQ(SourceHeight(-30, 0), PredictHeight(wholeMinute ? 0 : -30, 0)) << mode;
        EXPECT_EQ(SourceHeight(t, 1), mode % 2 ? PredictHeight(wholeMinute ? 60 : t, 0) : 3.0) << mode;
    }
}

TEST_F(RecordTest, AnHourThatWasNotMeasuredGivesNoHeightWhereverItEntersWithAWeight)
{
    std::vector<std::int32_t> values(25, 100);
    values[3] = MISSING_HEIGHT_CM;
    values[23] = MISSING_HEIGHT_CM;
    InstallRecord(1, values);
    EXPECT_EQ(RecordSeries.MissingHours, 2);
    EXPECT_EQ(MeasuredHoursBefore(3), 3);
    EXPECT_EQ(MeasuredHoursBefore(4), 3);
    EXPECT_EQ(MeasuredHoursBefore(100), 22);
    struct Case { double t; bool measured; const char* what; };
    const Case cases[] = {
        {2 * 3600.0, true, "hour 2: hour 3 enters with weight 0"},
        {2.5 * 3600, false, "between hours 2 and 3"},
        {3 * 3600.0, false, "hour 3"},
        {3.5 * 3600, false, "between hours 3 and 4"},
        {4 * 3600.0, true, "hour 4"},
        {22.5 * 3600, false, "between hours 22 and the last"},
        {1e300, false, "after the end: the spare repeats the last hour, missing"},
        {-5, true, "before the start"},
    };
    for (const Case& c : cases) {
        const double h = ObservedHeight(c.t);
        if (c.measured)
            EXPECT_EQ(h, 1.0) << c.what;
        else
            EXPECT_TRUE(std::isnan(h)) << c.what << ": " << h;
        Options.SourceMode = 0;
        EXPECT_EQ(std::isnan(SourceHeight(c.t, 0)), !c.measured) << c.what;
        Options.SourceMode = 1;
        EXPECT_EQ(SourceHeight(c.t, 0), WaveSet.MeanLevel) << c.what << ": the prediction has no gap";
    }
}

// Three years apart, with a wave as slow as Sa and one as fast as M4: the
// heights at the same dates agree to far below a micrometre, where phases
// left as they were would be off by metres. With the nodal corrections on,
// the lunar waves also become waves of the new year.
TEST_F(RecordTest, MovingTheTimeOriginKeepsThePredictionAtEveryDateAndThePhasesWithinOneTurn)
{
    const CalendarTime from = *YearStartTime(2009), to = *YearStartTime(2012);
    for (int nodal : {0, 1}) {
        Model.NodalCorrections = nodal;
        Header.Time_of_debut = from;
        Header.StartYear = 2009;
        WaveSet.count = 0;
        WaveSet.MeanLevel = 3.0;
        for (const Wave& w : {WaveOf(12.4206012, 1.75, 2.5), WaveOf(25.8193417, 0.1, -3.0),
                              WaveOf(8765.82109, 0.1, 1.0), WaveOf(6.21030061, 0.13, 40.0)})
            AppendWave(w);
        std::vector<double> before;
        for (CalendarTime c = from - 86400; c < to + 3 * 31536000L; c += 7919)
            before.push_back(PredictHeight(static_cast<double>(c - from), 0));
        MoveTimeOrigin(to, 2012);
        EXPECT_EQ(std::make_pair(Header.Time_of_debut, Header.StartYear), std::make_pair(to, 2012));
        std::size_t i = 0;
        for (CalendarTime c = from - 86400; c < to + 3 * 31536000L; c += 7919, ++i)
            ASSERT_NEAR(PredictHeight(static_cast<double>(c - to), 0), before[i], 1e-9)
                << "at calendar time " << c << ", nodal corrections " << nodal;
        EXPECT_EQ(WaveSet.waves[0].ampl != 1.75, nodal == 1) << "M2's amplitude is that of 2012 with the corrections";
        for (int k = 0; k < WaveSet.count; ++k)
            EXPECT_LE(std::fabs(WaveSet.waves[k].etab), M_PI) << k;
        const Wave kept = WaveSet.waves[3];
        MoveTimeOrigin(to, 2012);
        EXPECT_EQ(WaveSet.waves[3].etab, kept.etab) << "no move, no change";
    }
}

}  // namespace
