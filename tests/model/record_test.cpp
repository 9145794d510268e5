#include <gtest/gtest.h>

#include <cmath>

#include "base/options.h"
#include "model/record.h"
#include "model/waves.h"
#include "tests/support/program_test.h"

namespace {

using RecordTest = ProgramTest;

TEST_F(RecordTest, ObservedHeightInterpolatesBetweenWholeHours)
{
    InstallRecord(1, std::vector<std::int32_t>{100, 300, -50, 7, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 412, 0});
    EXPECT_NEAR(ObservedHeight(0), 1.0, 1e-15);
    EXPECT_NEAR(ObservedHeight(3600), 3.0, 1e-15);
    EXPECT_NEAR(ObservedHeight(7200), -0.5, 1e-15);
    EXPECT_NEAR(ObservedHeight(1800), 2.0, 1e-15);
    EXPECT_NEAR(ObservedHeight(3600 + 900), 3.0 * 0.75 - 0.5 * 0.25, 1e-15);
}

TEST_F(RecordTest, TheSpareEntryRepeatsTheLastValueSoTheLastHourStaysFlat)
{
    std::vector<std::int32_t> values(25, 0);
    values[23] = 412;
    InstallRecord(1, values);
    EXPECT_EQ(RecordSeries.RecordCount, 24);
    EXPECT_EQ(RecordSeries.RecordValues.size(), 25u);
    EXPECT_EQ(RecordSeries.RecordValues[24], 412);
    EXPECT_NEAR(ObservedHeight(23 * 3600.0), 4.12, 1e-15);
    EXPECT_NEAR(ObservedHeight(23 * 3600.0 + 1800), 4.12, 1e-15);
}

TEST_F(RecordTest, OutsideTheRecordTheNearestStoredValueIsReturned)
{
    std::vector<std::int32_t> values(25, 50);
    values[0] = 120;
    values[23] = 80;
    InstallRecord(1, values);
    EXPECT_NEAR(ObservedHeight(-1), 1.2, 1e-15);
    EXPECT_NEAR(ObservedHeight(-1e300), 1.2, 1e-15);
    EXPECT_NEAR(ObservedHeight(24 * 3600.0), 0.8, 1e-15);
    EXPECT_NEAR(ObservedHeight(1e300), 0.8, 1e-15);
    EXPECT_NEAR(ObservedHeight(std::nan("")), 1.2, 1e-15);

    InstallRecord(0, std::vector<std::int32_t>(1, 0));
    EXPECT_EQ(ObservedHeight(0), 0);
    EXPECT_EQ(ObservedHeight(5000), 0);
}

TEST_F(RecordTest, SourceHeightFollowsTheSourceMode)
{
    InstallRecordOf(1, 2.0, {});
    WaveSet.MeanLevel = 3.0;
    AppendWave(WaveOf(5.0 / 60, 1.0, 0));  // five minutes: every minute of it has its own height
    const double t = 119.9;
    Options.SourceMode = 0;
    EXPECT_NEAR(SourceHeight(t, 0), 2.0, 1e-15);
    for (int mode : {1, 2}) {
        Options.SourceMode = mode;
        EXPECT_EQ(SourceHeight(t, 0), PredictHeight(t, 0)) << mode;
    }
    for (int mode : {3, 4}) {
        Options.SourceMode = mode;
        EXPECT_EQ(SourceHeight(t, 0), PredictHeight(60, 0)) << mode;   // brought down to 60 s
        EXPECT_EQ(SourceHeight(-30, 0), PredictHeight(0, 0)) << mode;  // toward zero, not down
    }
    Options.SourceMode = 2;
    EXPECT_EQ(SourceHeight(t, 1), WaveSet.MeanLevel);  // the rectified modes pass first on
}

}  // namespace
