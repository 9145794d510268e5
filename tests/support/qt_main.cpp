// The tests of real Qt widgets: offscreen whatever the desktop, in the Paris
// time zone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/qt/qt_platform.h"
#include "tests/support/leak_suppressions.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    StartQtPlatform(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
