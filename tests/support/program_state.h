// The program's state for tests, whatever the backend: the start values of
// all state, a temporary working directory, and helpers to build records and
// read files and the log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/waves.h"

// Every piece of process-wide state of the program back to its start value,
// and the log closed. The backend is left as it is.
void ResetProgramState();

// An empty temporary folder as working directory, for the life of the object.
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
    const std::string& path() const { return dir; }

private:
    std::string dir;
    std::string previous;
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
