// The program's state for tests, whatever the backend: the start values of
// all state, a temporary working directory, files and the log. What builds
// a model is in model_state.h, what fits one in analysis_state.h.
#pragma once

#include <string>

// Every piece of process-wide state that the test program can see (its
// layer and those below it) back to its start value, and the log closed.
// The backend is left as it is.
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

// The folder of the real hourly records beside the project, and that of the
// gauge files in the formats people download.
std::string RecordsDir();
std::string FormatsDir();

// Release builds go through every case of the long identity tables; the
// sanitizer build, several times slower, through a sample (every stride-th).
int IdentityStride(int releaseStride = 1);
// The example port's hourly record (Vlissingen 2009).
std::string ExamplePortRecord();
