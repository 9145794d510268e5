// Every scenario of tests/scenarios/ in the desktop program's real window,
// which must give the transcript of the headless backend.
#include <gtest/gtest.h>

#include "tests/support/scenario.h"

namespace {

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, GivesTheTranscriptOfTheHeadlessBackend)
{
    if (IsHeadlessOnly(GetParam()))
        GTEST_SKIP() << "played on the headless backend only";
    if (CatalogueMissingFor(GetParam()))
        GTEST_SKIP() << "the station catalogue is not installed";
    const ScenarioOutcome outcome = PlayScenario(GetParam());
    EXPECT_TRUE(outcome.actual == outcome.expected) << TranscriptDifference(outcome.expected, outcome.actual);
}

INSTANTIATE_TEST_SUITE_P(Qt, Scenario, ::testing::ValuesIn(ScenarioFiles()),
                         [](const auto& test) { return ScenarioTestName(test.param); });

}  // namespace
