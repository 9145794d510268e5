// Every scenario of tests/scenarios/ on the headless backend, as the batch
// program plays it.
#include <gtest/gtest.h>

#include "tests/support/scenario.h"

namespace {

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, GivesItsTranscript)
{
    if (CatalogueMissingFor(GetParam()))
        GTEST_SKIP() << "the station catalogue is not installed";
    const ScenarioOutcome outcome = PlayScenario(GetParam());
    if (BlessingAsked())
        return BlessScenario(GetParam(), outcome.actual);
    EXPECT_TRUE(outcome.actual == outcome.expected) << TranscriptDifference(outcome.expected, outcome.actual);
}

INSTANTIATE_TEST_SUITE_P(Headless, Scenario, ::testing::ValuesIn(ScenarioFiles()),
                         [](const auto& test) { return ScenarioTestName(test.param); });

}  // namespace
