// Included once, by the main of each test program.
#pragma once

// Read by LeakSanitizer at exit in the sanitizer build. fontconfig keeps a
// font pattern it never frees once Qt has asked for a font (the window's,
// or the printed tables'); the blocks are allocated and lost inside
// libfontconfig itself.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
