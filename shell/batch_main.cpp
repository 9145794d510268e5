// haliome-batch SCRIPT: the program on the headless backend, in the working
// directory, acted on by the user actions of a script (see shell/script.h).
// Without a script it starts and then quits as the user would.
#include <cstdio>
#include <iostream>
#include <new>

#include "base/text.h"
#include "shell/script.h"

// Far more lines than a session of a user: a larger file is not a script.
constexpr std::size_t MAX_SCRIPT_BYTES = std::size_t{16} << 20;

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: haliome-batch [SCRIPT]\n");
        return 2;
    }
    std::string script;
    if (argc == 2) {
        std::optional<std::string> bytes = ReadFileBytes(argv[1], MAX_SCRIPT_BYTES);
        if (!bytes) {
            std::fprintf(stderr, "haliome-batch: cannot read %s\n", argv[1]);
            return 2;
        }
        if (bytes->size() > MAX_SCRIPT_BYTES) {
            std::fprintf(stderr, "haliome-batch: %s is larger than a script can be (%zu MiB)\n", argv[1],
                         MAX_SCRIPT_BYTES >> 20);
            return 2;
        }
        script = *bytes;
    }
    try {
        return RunScript(script, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "haliome-batch: the memory ran out; the script was stopped\n");
        return 1;
    }
}
