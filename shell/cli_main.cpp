// haliome-cli: see shell/cli.h.
#include <iostream>

#include "shell/cli.h"

int main(int argc, char** argv)
{
    return RunCli(argc, argv, std::cout, std::cerr);
}
