// haliome: the desktop program, in the working directory.
#include "platform/qt/qt_platform.h"
#include "shell/app.h"

int main(int argc, char** argv)
{
    StartQtPlatform(argc, argv);
    return RunProgram();
}
