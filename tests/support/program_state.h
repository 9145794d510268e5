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
// Its three records, and a record of four years made of them one after the
// other (2009, 2012, 2010, 2009 again: long enough for fits on two threads).
extern const char* const REAL_RECORDS[3];
void LoadRealRecord(const std::string& file);
void LoadFourYearRecord();

// The start-up's five waves, then the catalogue's in order, then the
// catalogue's again (each fitted to what the others leave), up to count waves.
void FitWavesUpTo(int count);

// Release builds go through every case of the long identity tables; the
// sanitizer build, several times slower, through a sample (every stride-th).
int IdentityStride(int releaseStride = 1);
// The example port's hourly record (Vlissingen 2009).
std::string ExamplePortRecord();
