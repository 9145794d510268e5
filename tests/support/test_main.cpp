// Every test runs in the Paris time zone, and any question of the program
// that the test did not answer fails it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/headless/headless.h"
#include "tests/support/leak_suppressions.h"

int main(int argc, char** argv)
{
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    headless::SetUnansweredHandler([](const std::string& what) { ADD_FAILURE() << "unanswered: " << what; });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
