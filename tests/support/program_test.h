// What every test of the program shares: the start values of all state, a
// fresh working directory, and helpers to build records and read the log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/waves.h"

// Every piece of process-wide state back to its start value, the log closed,
// and the headless backend emptied with its main window in place.
void ResetProgramState();

// Runs each test in an empty temporary working directory, from the start
// values of all state; fails the test if queued answers were left unused.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string workDir;

private:
    std::string previousDir;
};

// The log so far, with CR LF shown as LF.
std::string LogContents();
// The log so far, as bytes.
std::string LogBytes();

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// A cosine wave of period (h), amplitude (m) and phase (rad).
Wave WaveOf(double periodHours, double ampl, double etab, const std::string& name = "");

// Installs a record of days whose hour i holds, in whole centimetres rounded
// to nearest, meanLevel + Σ ampl·cos(speed·3600·i − etab).
void InstallRecordOf(int days, double meanLevel, const std::vector<Wave>& waves);

// The folder of the real hourly records beside the project.
std::string RecordsDir();
// The example port's hourly record (Vlissingen 2009).
std::string ExamplePortRecord();
