// What the tests of the analyses share: the log open from the start, and
// records built from known waves.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/fitting.h"
#include "base/log.h"
#include "base/options.h"
#include "base/text.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "tests/support/analysis_state.h"
#include "tests/support/program_test.h"

class AnalysisTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        OpenLog();
        welcome = LogBytes().size();
    }
    // What the test wrote after the welcome text: as bytes, and as a text-mode read sees it.
    std::string NewLogBytes() { return LogBytes().substr(welcome); }
    std::string NewLog() { return WithoutCr(NewLogBytes()); }
    std::size_t welcome = 0;
};

// A record of these waves with its mean level determined, as before a fit.
inline void InstallLevelledRecord(int days, double meanLevel, const std::vector<Wave>& waves)
{
    InstallRecordOf(days, meanLevel, waves);
    DetermineMeanLevel(1);
}

inline const Wave M2_TRUTH = WaveOf(12.4206012, 1.5, 1.0);
inline const Wave S2_TRUTH = WaveOf(12.0, 0.5, 2.0);

// 415 days of M2, S2 and N2 around a mean level of 3 m. The 413 days that the
// fits use hold nearly whole numbers of the M2–S2 beat (28 × 14.77 d) and of
// the M2–N2 beat (15 × 27.55 d), so that a fit at the period of one wave is
// not pulled by the others; over a plain year that pull reaches a centimetre.
inline void InstallSemiDiurnalRecord()
{
    InstallLevelledRecord(415, 3.0, {M2_TRUTH, S2_TRUTH, WaveOf(12.6583482, 0.35, -0.5)});
}

// Takes a third of the record's hours out, in blocks of one to fourteen days
// between measured stretches twice as long, and every 97th hour besides when
// lone hours are asked for; the mean level is then taken again.
inline void RemoveAThirdInBlocks(bool loneHoursToo = false)
{
    std::vector<std::int32_t> values = RecordSeries.RecordValues;
    const std::size_t count = static_cast<std::size_t>(RecordSeries.RecordCount);
    const std::size_t blockDays[] = {1, 5, 2, 14, 3, 8};
    std::size_t i = 0;
    for (std::size_t k = 0; i < count; ++k) {
        const std::size_t block = 24 * blockDays[k % 6];
        for (std::size_t j = i + 2 * block; j < std::min(i + 3 * block, count); ++j)
            values[j] = MISSING_HEIGHT_CM;
        i += 3 * block;
    }
    for (std::size_t j = 50; loneHoursToo && j < count; j += 97)
        values[j] = MISSING_HEIGHT_CM;
    InstallRecord(RecordSeries.RecordDays, std::move(values));
    DetermineMeanLevel(1);
}

// A wave found without being told its period, against the one the record was
// built from: period within 1e-3 h, amplitude within 5 mm, phase within 0.01 rad.
inline void ExpectFound(const Wave& w, const Wave& truth, const char* what)
{
    EXPECT_NEAR(2 * M_PI / w.speed / 3600, 2 * M_PI / truth.speed / 3600, 1e-3) << what << ": period (h)";
    EXPECT_NEAR(w.ampl, truth.ampl, 0.005) << what << ": amplitude (m)";
    EXPECT_NEAR(std::remainder(w.etab - truth.etab, 2 * M_PI), 0, 0.01) << what << ": phase gap (rad)";
    EXPECT_EQ(w.name, Format("Onde déterminée de période %.6f", 2 * M_PI / w.speed / 3600)) << what;
}

