// The tests of real Qt widgets: offscreen whatever the desktop, in the Paris
// time zone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/qt/qt_platform.h"

// Read by LeakSanitizer at exit in the sanitizer build. fontconfig keeps a
// font pattern it never frees once Qt has asked for the default font; the
// blocks are allocated and lost inside libfontconfig itself.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    StartQtPlatform(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
