// The tests of real Qt widgets: offscreen whatever the desktop, in the Paris
// time zone, with settings of their own that no other run sees.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/qt/qt_platform.h"
#include "tests/support/leak_suppressions.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char settings[] = "/tmp/haliome-qt-settings-XXXXXX";
    if (mkdtemp(settings))
        setenv("XDG_CONFIG_HOME", settings, 1);
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    StartQtPlatform(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    std::filesystem::remove_all(settings);
    return status;
}
