// What every test of the program on the headless backend shares.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/program_state.h"

// Runs each test in an empty temporary working directory, from the start
// values of all state and an empty headless backend; fails the test if queued
// answers were left unused.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string workDir;

private:
    std::unique_ptr<ScopedWorkDir> folder;
};
