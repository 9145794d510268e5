// Scenarios: what a user does, as a batch script and command lines, with the
// transcript it must give, in text files under tests/scenarios/ (their
// README gives the format). The same files are played on the headless
// backend and on the Qt backend.
#pragma once

#include <string>
#include <vector>

// The scenario files, as paths relative to tests/scenarios/, in order.
std::vector<std::string> ScenarioFiles();

// A valid test name made of a scenario's path: "cli/tides.scenario" gives "cli_tides".
std::string ScenarioTestName(const std::string& file);

struct ScenarioOutcome {
    std::string expected;  // the transcript the file holds
    std::string actual;    // the transcript of this run
};

// True for a scenario that the Qt backend cannot play as the headless one
// does: it says so (@headless-only), or it stops long work at a given look,
// which only the headless backend counts.
bool IsHeadlessOnly(const std::string& file);

// True for a scenario on the station catalogue (@catalogue) when the build
// has none: tools/install-deps could not fetch it.
bool CatalogueMissingFor(const std::string& file);

// Plays the scenario in a fresh temporary working directory, from the start
// values of all state for each run of the program.
ScenarioOutcome PlayScenario(const std::string& file);

// Replaces the expected transcript of the file by this one (HALIOME_BLESS=1).
void BlessScenario(const std::string& file, const std::string& transcript);
bool BlessingAsked();

// The first line where two transcripts part, with the lines around it.
std::string TranscriptDifference(const std::string& expected, const std::string& actual);
