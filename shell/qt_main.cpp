// haliome: the desktop program, in the working directory.
#include <cstdio>
#include <new>

#include "platform/qt/qt_platform.h"
#include "shell/app.h"

int main(int argc, char** argv)
{
    StartQtPlatform(argc, argv);
    // Each command stops on its own when memory runs out; what is left is the
    // window system's own work.
    try {
        return RunProgram();
    } catch (const std::bad_alloc&) {
        std::fputs("haliome : la mémoire manque, le programme s'arrête.\n", stderr);
        return 1;
    }
}
