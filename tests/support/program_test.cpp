#include "tests/support/program_test.h"

#include "base/log.h"
#include "platform/headless/headless.h"

void ProgramTest::SetUp()
{
    ResetProgramState();
    headless::Reset();
    folder = std::make_unique<ScopedWorkDir>();
    workDir = folder->path();
}

void ProgramTest::TearDown()
{
    headless::ExpectQueuesEmpty();
    CloseLog();
    folder.reset();
}
