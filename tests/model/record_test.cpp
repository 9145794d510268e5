#include <gtest/gtest.h>

#include <cmath>

#include "base/options.h"
#include "model/record.h"
#include "model/waves.h"
#include "tests/support/program_test.h"

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

}  // namespace
